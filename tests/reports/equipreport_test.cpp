#include "app/iconload.h"
#include "app/reportcommands.h"
#include "app/unitsound.h"
#include "reports/equipreport.h"

#include "app/settingsstore.h"
#include "app/varneldoc.h"
#include "base/paths.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace varnel {
namespace {

std::string text(const Bytes& b) {
    return std::string(b.begin(), b.end());
}

// Splits report text into its lines, checking that every line ends in CR LF.
std::vector<std::string> lines(const Bytes& b) {
    std::vector<std::string> out;
    const std::string t = text(b);
    std::size_t pos = 0;
    while (pos < t.size()) {
        const std::size_t end = t.find("\r\n", pos);
        EXPECT_NE(end, std::string::npos) << "line without CR LF at " << pos;
        if (end == std::string::npos)
            break;
        out.push_back(t.substr(pos, end - pos));
        pos = end + 2;
    }
    return out;
}

std::size_t fields(const std::string& line) {
    return static_cast<std::size_t>(std::count(line.begin(), line.end(), ';')) + 1;
}

// Appends a PG2 unit whose record byte k holds k + `base` (wrapping), with code, name, icon and
// country set.
void addPg2Unit(Pg2UnitTable& table, std::uint16_t code, std::string_view name,
                std::uint8_t country, std::string icon, int base = 0) {
    Pg2Unit u;
    for (std::size_t k = 0; k < pg2::kRecordSize; ++k)
        u.record.bytes[k] = static_cast<std::uint8_t>(k + static_cast<std::size_t>(base));
    u.record.setCode(code);
    u.record.setIcon(icon);
    EncodePg2Country(u.record, country);
    table.units.push_back(u);
    table.setName(table.count() - 1, name);
}

void addPegUnit(PegUnitTable& table, std::uint16_t code, std::string_view name,
                std::string unitIcon, std::string movIcon, int base = 0) {
    PegUnit u;
    for (std::size_t k = 0; k < peg::kRecordSize; ++k)
        u.record.bytes[k] = static_cast<std::uint8_t>(k + static_cast<std::size_t>(base));
    u.record.setCode(code);
    u.record.setUnitIcon(unitIcon);
    u.record.setMovIcon(movIcon);
    table.units.push_back(u);
    table.setName(table.count() - 1, name);
}

NameTable pg2Countries() {
    NameTable t(27);
    t.setName(0, "None");
    t.setName(3, "Germany");
    t.setName(5, "France");
    t.setCount(27);
    return t;
}

NameTable pegCountries() {
    NameTable t(21);
    t.setName(0, "None");
    t.setName(4, "Russia");
    t.setCount(21);
    return t;
}

const char* const kPg2BriefHeader =
    "Code;Denomination;Class;SoftAtk;HardAtk;AirAtk;NavalAtk;GroundDef;AirDef;CloseDef;Target;"
    "Initiativa;GunRange;SpotRange;RangeDefMod;MoveMode;MovMethod;MovPoints;Fuel;Ammo;Cost;"
    "MonthExpired;MontAvaible;YearAvaible;YearExpired;Organic Transport;Country;Special1;"
    "Special2;bomberCode;Icon;atkMel;movMel;dieMel";

const char* const kPg2FullHeader =
    "Code;Denomination;Class;SoftAtk;HardAtk;AirAtk;NavalAtk;GroundDef;AirDef;CloseDef;Target;"
    "Initiativa;GunRange;SpotRange;RangeDefMod;MoveMode;MovMethod;MovPoints;Fuel;Ammo;byteB21;"
    "Cost;byteB23;byteB24;byteB25;MonthExpired;MontAvaible;YearAvaible;YearExpired;"
    "Organic Transport;Country;Special1;Special2;byteB37;byteB38;bomberCode;Icon;atkMel;movMel;"
    "dieMel;byte52;byte53;byte54;byte55;byte56;byte57;byte58;byte59;byte60;byte61;byte62;byte63;"
    "byte64;byte65;byte66;byte67;byte68;byte69;byte70;byte71;byte72;byte73";

const char* const kPegBriefHeader =
    "Code;Denomination;Class;SoftAtk;HardAtk;AirAtk;HeloAtk;GroundDef;AirDef;IndirectDef;"
    "TargetType;CloseAtk/Def;Range;Spotting;Profile;AirUnit;MovType;MovPoints;Ammo;Cost;"
    "IconNumber;MonthAvaible;YearAvaible;airTransp;Country;Options1;Options2;Options3;UnitIcon;"
    "atkSnd;movSnd;dieSnd;MovIcon";

const char* const kPegFullHeader =
    "Code;Denomination;Class;SoftAtk;HardAtk;AirAtk;HeloAtk;GroundDef;AirDef;IndirectDef;"
    "TargetType;CloseAtk/Def;Range;Spotting;Profile;AirUnit;MovType;MovPoints;Ammo;Cost;"
    "IconNumber;byteB22;MonthAvaible;YearAvaible;airTransp;Country;Options1;Options2;Options3;"
    "byteB30;byteB31;byteB32;byteB33;byteB34;UnitIcon;byteB41;byteB42;byteB43;byteB44;byteB45;"
    "atkSnd;movSnd;dieSnd;byte52;byte53;byte54;byte55;MovIcon;byte61;byte62;byte63;byte64;byte65;"
    "byte66;byte67;byte68;byte69;byte70;byte71;byte72;byte73;byte74";

TEST(EquipmentReport, Pg2BriefTableHoldsTheNamedFields) {
    Pg2UnitTable table;
    addPg2Unit(table, 0, "Pz IVF2", 3, "PZIVF2");
    addPg2Unit(table, 1, "Char B1", 5, "B1");
    table.units[1].record[pg2::Cost] = 255;
    const std::string expected =
        std::string(kPg2BriefHeader) + "\r\n" +
        "0;Pz IVF2;2;3;4;5;6;7;8;9;10;11;12;13;14;15;16;17;18;19;21;25;26;27;28;29;3;34;35;38;"
        "PZIVF2;45;47;49\r\n"
        "1;Char B1;2;3;4;5;6;7;8;9;10;11;12;13;14;15;16;17;18;19;255;25;26;27;28;29;5;34;35;38;"
        "B1;45;47;49\r\n";
    EXPECT_EQ(text(WritePg2Report(table, pg2Countries(), "C:\\PANZER2\\EQUIP97.EQP", BriefTable)),
              expected);
}

TEST(EquipmentReport, Pg2FullTableHoldsEveryByte) {
    Pg2UnitTable table;
    addPg2Unit(table, 300, "Tiger", 0, "TIGER", 100);
    const auto l = lines(WritePg2Report(table, pg2Countries(), "x.eqp", FullTable));
    ASSERT_EQ(l.size(), 2u);
    EXPECT_EQ(l[0], kPg2FullHeader);
    // Bytes 2..29 hold 102..129; byte 51 (column byte52) holds 151, byte 72 holds 172.
    EXPECT_EQ(l[1], "300;Tiger;102;103;104;105;106;107;108;109;110;111;112;113;114;115;116;117;"
                    "118;119;120;121;122;123;124;125;126;127;128;129;0;134;135;136;137;138;TIGER;"
                    "145;147;149;151;152;153;154;155;156;157;158;159;160;161;162;163;164;165;166;"
                    "167;168;169;170;171;172");
}

TEST(EquipmentReport, PegBriefTableEndsWithTheMoveIcon) {
    PegUnitTable table;
    addPegUnit(table, 7, "T-34/85", "T3485", "TRUCK1");
    const std::string expected =
        std::string(kPegBriefHeader) + "\r\n" +
        "7;T-34/85;2;3;4;5;6;7;8;9;10;11;12;13;14;15;16;17;18;19;20;22;23;24;25;26;27;28;T3485;"
        "45;47;49;TRUCK1\r\n";
    EXPECT_EQ(text(WritePegReport(table, pegCountries(), "x.eqp", BriefTable)), expected);
}

TEST(EquipmentReport, PegFullTableShowsZeroBehindTheRecord) {
    PegUnitTable table;
    addPegUnit(table, 1, "Mi-24", "MI24", "", 150);
    const auto l = lines(WritePegReport(table, pegCountries(), "x.eqp", FullTable));
    ASSERT_EQ(l.size(), 2u);
    EXPECT_EQ(l[0], kPegFullHeader);
    // Bytes wrap past 255: byte k holds (k + 150) mod 256; byte 73 holds 223.
    EXPECT_EQ(l[1], "1;Mi-24;152;153;154;155;156;157;158;159;160;161;162;163;164;165;166;167;168;"
                    "169;170;171;172;173;174;175;176;177;178;179;180;181;182;183;MI24;190;191;"
                    "192;193;194;195;197;199;201;202;203;204;;211;212;213;214;215;216;217;218;"
                    "219;220;221;222;223;0");
}

// Every table line has as many values as its header, for both games and both table formats.
struct ShapeCase {
    const char* name;
    Game game;
    int format;
    std::size_t columns;
};

void PrintTo(const ShapeCase& c, std::ostream* os) {
    *os << c.name;
}

class ReportShape : public ::testing::TestWithParam<ShapeCase> {};

TEST_P(ReportShape, EveryLineHasAValuePerColumn) {
    const auto& c = GetParam();
    Bytes report;
    if (c.game == Game::Pg2) {
        Pg2UnitTable t;
        for (int i = 0; i < 40; ++i)
            addPg2Unit(t, static_cast<std::uint16_t>(i), "Unit " + std::to_string(i),
                       static_cast<std::uint8_t>(i % 27),
                       i % 3 ? "ICON" + std::to_string(i % 10) : "", i * 7);
        report = WritePg2Report(t, pg2Countries(), "x.eqp", c.format);
    } else {
        PegUnitTable t;
        for (int i = 0; i < 40; ++i)
            addPegUnit(t, static_cast<std::uint16_t>(i), "Unit " + std::to_string(i),
                       i % 2 ? "ABCDEF" : "", i % 5 ? "MOV" : "", i * 7);
        report = WritePegReport(t, pegCountries(), "x.eqp", c.format);
    }
    const auto l = lines(report);
    ASSERT_EQ(l.size(), 41u);
    EXPECT_EQ(fields(l[0]), c.columns);
    for (std::size_t i = 1; i < l.size(); ++i)
        EXPECT_EQ(fields(l[i]), c.columns) << "line " << i << ": " << l[i];
}

INSTANTIATE_TEST_SUITE_P(BothGamesBothTables, ReportShape,
                         ::testing::Values(ShapeCase{"Pg2Full", Game::Pg2, FullTable, 62},
                                           ShapeCase{"Pg2Brief", Game::Pg2, BriefTable, 34},
                                           ShapeCase{"PegFull", Game::Peg, FullTable, 62},
                                           ShapeCase{"PegBrief", Game::Peg, BriefTable, 33}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(EquipmentReport, SixCharacterIconsAreWrittenWhole) {
    PegUnitTable table;
    addPegUnit(table, 0, "A", "ABCDEF", "GHIJKL");
    const auto l = lines(WritePegReport(table, pegCountries(), "x.eqp", BriefTable));
    ASSERT_EQ(l.size(), 2u);
    EXPECT_NE(l[1].find(";ABCDEF;"), std::string::npos) << l[1];
    EXPECT_EQ(l[1].substr(l[1].size() - 7), ";GHIJKL");
}

TEST(EquipmentReport, SemicolonInANameIsNotEscaped) {
    Pg2UnitTable table;
    addPg2Unit(table, 0, "Flak 88;36", 0, "FLAK");
    const auto l = lines(WritePg2Report(table, pg2Countries(), "x.eqp", BriefTable));
    ASSERT_EQ(l.size(), 2u);
    EXPECT_EQ(l[1].substr(0, 13), "0;Flak 88;36;");
    EXPECT_EQ(fields(l[1]), fields(l[0]) + 1);
}

TEST(EquipmentReport, SimpleListNamesClassesAndCountries) {
    Pg2UnitTable pg2;
    addPg2Unit(pg2, 0, "Pz IVF2", 3, "PZIV");
    addPg2Unit(pg2, 1234, "Char B1", 5, "B1");
    pg2.units[1].record[pg2::Class] = 12;
    EXPECT_EQ(text(WritePg2Report(pg2, pg2Countries(), "C:\\PANZER2\\EQUIP97.EQP", SimpleList)),
              "EQUIP97\r\n"
              "'    CODE    DENOMINATION\r\n"
              "no:    0    Pz IVF2  [ TK  Germany] \r\n"
              "no: 1234    Char B1  [ LB  France] \r\n"
              "'total: 2 Units\r\n");

    PegUnitTable peg;
    addPegUnit(peg, 65535, "Mi-24", "MI24", "");
    peg.units[0].record[peg::Class] = 12;
    peg.units[0].record[peg::Country] = 4;
    addPegUnit(peg, 2, "Ghost", "", "");
    peg.units[1].record[peg::Class] = 200;   // no such class: empty code
    peg.units[1].record[peg::Country] = 250; // no such country: empty name
    EXPECT_EQ(text(WritePegReport(peg, pegCountries(), "/games/peg/Equip97.eqp", SimpleList)),
              "Equip97\r\n"
              "'    CODE    DENOMINATION\r\n"
              "no: 65535    Mi-24  [HEL  Russia] \r\n"
              "no:    2    Ghost  [  ] \r\n"
              "'total: 2 Units\r\n");
}

TEST(EquipmentReport, EmptyTableGivesTheFrameOnly) {
    const Pg2UnitTable pg2;
    EXPECT_EQ(text(WritePg2Report(pg2, pg2Countries(), "EQUIP97.EQP", BriefTable)),
              std::string(kPg2BriefHeader) + "\r\n");
    const PegUnitTable peg;
    EXPECT_EQ(text(WritePegReport(peg, pegCountries(), "EQUIP97.EQP", FullTable)),
              std::string(kPegFullHeader) + "\r\n");
    EXPECT_EQ(text(WritePegReport(peg, pegCountries(), "EQUIP97.EQP", SimpleList)),
              "EQUIP97\r\n'    CODE    DENOMINATION\r\n'total: 0 Units\r\n");
    EXPECT_TRUE(WritePegReport(peg, pegCountries(), "EQUIP97.EQP", 3).empty());
}

TEST(EquipmentReport, PathLiesBesideTheEFile) {
    EXPECT_EQ(EquipmentReportPath(Game::Pg2, "C:\\PANZER2\\EQUIP97.EQP"),
              "C:\\PANZER2\\PG2_REPORT_EQUIP97.TXT");
    EXPECT_EQ(EquipmentReportPath(Game::Peg, "D:\\PEOPLES\\MyEquip.eqp"),
              "D:\\PEOPLES\\PeG_REPORT_MyEquip.TXT");
    EXPECT_EQ(EquipmentReportPath(Game::Peg, "/home/u/peg/EQUIP97.EQP"),
              "/home/u/peg/PeG_REPORT_EQUIP97.TXT");
}

class RunEquipmentReportTest : public ::testing::Test {
  protected:
    std::unique_ptr<ScriptedUi> ui = test::MakeScriptedUi();
    MemorySettingsBackend store;
    CVarnelDoc state{*ui, store};
    test::TempDir dir;
};

TEST_F(RunEquipmentReportTest, NothingLoadedWritesNothing) {
    state.settings().eFile(Game::Peg) = dir.file("EQUIP97.EQP");
    ui->expectInformation("There is nothing to report, load a file first");
    EXPECT_FALSE(RunEquipmentReport(state, Game::Peg, SimpleList, true));
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST_F(RunEquipmentReportTest, WritesBesideTheEFileAndNamesIt) {
    state.settings().eFile(Game::Pg2) = dir.file("EQUIP97.EQP");
    Pg2UnitTable table;
    addPg2Unit(table, 0, "Pz IVF2", 3, "PZIV");
    state.loadTable(std::move(table));
    state.setCountries(Game::Pg2, pg2Countries());
    const std::string path = dir.file("PG2_REPORT_EQUIP97.TXT");
    test::WriteFile(path, std::string("old report, longer than the new one ........"));
    ui->expectInformation("Generated report on file:\n\n " + path + "  \n");
    EXPECT_TRUE(RunEquipmentReport(state, Game::Pg2, SimpleList, false));
    EXPECT_EQ(test::ReadText(path), "EQUIP97\r\n'    CODE    DENOMINATION\r\n"
                                    "no:    0    Pz IVF2  [ TK  Germany] \r\n'total: 1 Units\r\n");
    EXPECT_FALSE(ui->busy());
}

TEST_F(RunEquipmentReportTest, LaunchesTheEditorOnTheReport) {
    state.settings().eFile(Game::Peg) = dir.file("EQUIP97.EQP");
    state.settings().editorPath = dir.file("editor");
    test::WriteFile(state.settings().editorPath, std::string("#!/bin/sh\n"));
    state.loadTable(PegUnitTable());
    const std::string path = dir.file("PeG_REPORT_EQUIP97.TXT");
    ui->expectStart(state.settings().editorPath);
    EXPECT_TRUE(RunEquipmentReport(state, Game::Peg, FullTable, true));
    ASSERT_EQ(ui->starts().size(), 1u);
    EXPECT_EQ(ui->starts()[0], (std::vector<std::string>{state.settings().editorPath, path}));
    EXPECT_EQ(test::ReadText(path), std::string(kPegFullHeader) + "\r\n");
}

TEST_F(RunEquipmentReportTest, ReportsAFileThatCannotBeCreated) {
    state.settings().eFile(Game::Pg2) = dir.file("missing folder/EQUIP97.EQP");
    state.loadTable(Pg2UnitTable());
    const std::string path = dir.file("missing folder/PG2_REPORT_EQUIP97.TXT");
    ui->expectError("Error on creating [" + path + "]\nthe folder does not exist");
    EXPECT_FALSE(RunEquipmentReport(state, Game::Pg2, BriefTable, true));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "missing folder"));
}

TEST_F(RunEquipmentReportTest, WritesToAGivenPath) {
    state.settings().eFile(Game::Pg2) = dir.file("EQUIP97.EQP");
    state.loadTable(Pg2UnitTable());
    const std::string out = dir.file("elsewhere.txt");
    ui->expectInformation("Generated report on file:\n\n " + out + "  \n");
    EXPECT_TRUE(RunEquipmentReport(state, Game::Pg2, BriefTable, false, out));
    EXPECT_EQ(test::ReadText(out), std::string(kPg2BriefHeader) + "\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "PG2_REPORT_EQUIP97.TXT"));
}

} // namespace
} // namespace varnel
