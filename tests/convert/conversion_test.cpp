#include "convert/conversion.h"

#include "tests/convert/convertfixtures.h"

#include <gtest/gtest.h>

namespace varnel {
namespace {

using test::Fixture;
using test::Lines;

// A PG2 unit with every byte distinct (offset + 1), no country bit and no switch.
Pg2Unit DistinctPg2Unit() {
    Pg2Unit u;
    for (std::size_t i = 0; i < pg2::kRecordSize; ++i)
        u.record.bytes[i] = static_cast<std::uint8_t>(i + 1);
    for (int m = pg2::CountryMask; m < pg2::CountryMask + 4; ++m)
        u.record[m] = 0;
    u.record[pg2::Special1] = 0; // no switch set
    return u;
}

struct CopyCase {
    const char* name;
    int pg2Offset;
    int pegOffset;
};

class FieldCopy : public ::testing::TestWithParam<CopyCase> {};

TEST_P(FieldCopy, TakesThePg2Value) {
    const Pg2Unit pg2 = DistinctPg2Unit();
    const PegUnit peg = ConvertPg2Unit(pg2);
    EXPECT_EQ(peg.record[GetParam().pegOffset], pg2.record[GetParam().pg2Offset]);
}

INSTANTIATE_TEST_SUITE_P(
    Mapping, FieldCopy,
    ::testing::Values(CopyCase{"CodeLow", pg2::Code, peg::Code},
                      CopyCase{"CodeHigh", pg2::Code + 1, peg::Code + 1},
                      CopyCase{"SoftAtk", pg2::SoftAtk, peg::SoftAtk},
                      CopyCase{"HardAtk", pg2::HardAtk, peg::HardAtk},
                      CopyCase{"AirAtk", pg2::AirAtk, peg::AirAtk},
                      CopyCase{"HeloAtkFromNaval", pg2::NavalAtk, peg::HeloAtk},
                      CopyCase{"GroundDef", pg2::GroundDef, peg::GroundDef},
                      CopyCase{"AirDef", pg2::AirDef, peg::AirDef},
                      CopyCase{"IndirectDefFromRangeDefMod", pg2::RangeDefMod, peg::IndirectDef},
                      CopyCase{"TargetType", pg2::Target, peg::TargetType},
                      CopyCase{"CloseAtkDef", pg2::CloseDef, peg::CloseAtkDef},
                      CopyCase{"Range", pg2::GunRange, peg::Range},
                      CopyCase{"Spotting", pg2::SpotRange, peg::Spotting},
                      CopyCase{"AirUnitFromMoveMode", pg2::MoveMode, peg::AirUnit},
                      CopyCase{"MovType", pg2::MovMethod, peg::MovType},
                      CopyCase{"MovPoints", pg2::MovPoints, peg::MovPoints},
                      CopyCase{"Ammo", pg2::Ammo, peg::Ammo},
                      CopyCase{"Month", pg2::MontAvaible, peg::MonthAvaible},
                      CopyCase{"AttackSound", pg2::atkMel, peg::atkSnd},
                      CopyCase{"MoveSound", pg2::movMel, peg::movSnd},
                      CopyCase{"DieSound", pg2::dieMel, peg::dieSnd}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ConvertPg2Unit, FixedAndDroppedFields) {
    const Pg2Unit pg2 = DistinctPg2Unit();
    const PegUnit peg = ConvertPg2Unit(pg2);
    EXPECT_EQ(peg.record[peg::Profile], 3);
    EXPECT_EQ(peg.record[peg::IconNumber], 0);
    EXPECT_EQ(peg.record[peg::Options1], 1); // bit 0 always, no switch set
    EXPECT_EQ(peg.record[peg::Options2], 0);
    EXPECT_EQ(peg.record[peg::Options3], 0);
    EXPECT_EQ(peg.record[peg::Country], 0);
    // Bytes without a PG2 source stay zero.
    for (int off :
         {peg::byteB22, 29, 30, 31, 32, 33, 40, 41, 42, 43, 44, 46, 48, 50, 51, 52, 53, 54})
        EXPECT_EQ(peg.record[off], 0) << "offset " << off;
    for (int off = 61; off < static_cast<int>(peg::kRecordSize); ++off)
        EXPECT_EQ(peg.record[off], 0) << "offset " << off;
}

struct ValueCase {
    const char* name;
    int pg2Offset;
    std::uint8_t pg2Value;
    int pegOffset;
    std::uint8_t pegValue;
};

class ValueRule : public ::testing::TestWithParam<ValueCase> {};

TEST_P(ValueRule, Converts) {
    const auto& c = GetParam();
    Pg2Unit pg2 = DistinctPg2Unit();
    pg2.record[c.pg2Offset] = c.pg2Value;
    EXPECT_EQ(ConvertPg2Unit(pg2).record[c.pegOffset], c.pegValue);
}

INSTANTIATE_TEST_SUITE_P(
    Mapping, ValueRule,
    ::testing::Values(
        ValueCase{"Cost100", pg2::Cost, 100, peg::Cost, 120},
        ValueCase{"Cost213", pg2::Cost, 213, peg::Cost, 255},
        ValueCase{"Cost214Wraps", pg2::Cost, 214, peg::Cost, 0},
        ValueCase{"Cost255Wraps", pg2::Cost, 255, peg::Cost, 50},
        ValueCase{"Year39", pg2::YearAvaible, 39, peg::YearAvaible, 9},
        ValueCase{"Year10Wraps", pg2::YearAvaible, 10, peg::YearAvaible, 236},
        ValueCase{"TacticalBomberBecomesHelicopter", pg2::Class, 11, peg::Class, 12},
        ValueCase{"LevelBomberStays", pg2::Class, 12, peg::Class, 12},
        ValueCase{"OtherClassKept", pg2::Class, 7, peg::Class, 7},
        ValueCase{"InfantryCloseIs5", pg2::Class, 1, peg::CloseAtkDef, 5},
        ValueCase{"AirAndNavalIsAirMobile", pg2::OrganicTransport, 2, peg::airTransp, 2},
        ValueCase{"AirborneIsNoAirTransport", pg2::OrganicTransport, 3, peg::airTransp, 0},
        ValueCase{"AirborneFlag", pg2::OrganicTransport, 3, peg::Options2, 2},
        ValueCase{"NoTransport", pg2::OrganicTransport, 1, peg::airTransp, 0}),
    [](const auto& info) { return std::string(info.param.name); });

struct SwitchCase {
    const char* name;
    int sw;
    std::uint8_t pg2Class;
    std::uint8_t options1, options2, options3;
};

class SwitchRule : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(SwitchRule, SetsFlags) {
    const auto& c = GetParam();
    Pg2Unit pg2 = DistinctPg2Unit();
    pg2.record[pg2::Class] = c.pg2Class;
    pg2.record[pg2::Special1] = static_cast<std::uint8_t>(1u << c.sw);
    const PegUnit peg = ConvertPg2Unit(pg2);
    EXPECT_EQ(peg.record[peg::Options1], c.options1);
    EXPECT_EQ(peg.record[peg::Options2], c.options2);
    EXPECT_EQ(peg.record[peg::Options3], c.options3);
}

INSTANTIATE_TEST_SUITE_P(Mapping, SwitchRule,
                         ::testing::Values(SwitchCase{"Switch0Dropped", 0, 2, 0x01, 0, 0},
                                           SwitchCase{"Switch1Dropped", 1, 2, 0x01, 0, 0},
                                           SwitchCase{"Engineer", 2, 2, 0x05, 0x80, 0x01},
                                           SwitchCase{"Bridge", 3, 2, 0x09, 0, 0},
                                           SwitchCase{"CantSoftAtk", 4, 2, 0x11, 0, 0},
                                           SwitchCase{"CantHardAtk", 5, 2, 0x21, 0, 0},
                                           SwitchCase{"CantAirAtk", 6, 2, 0x41, 0x04, 0},
                                           SwitchCase{"CantAirAtkAirDefense", 6, 9, 0x01, 0, 0},
                                           SwitchCase{"CantAirAtkFighter", 6, 10, 0x01, 0, 0},
                                           SwitchCase{"Switch7Dropped", 7, 2, 0x01, 0, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ConvertPg2Unit, IconsCopiedUpToTheFirstNul) {
    Pg2Unit pg2 = DistinctPg2Unit();
    const std::uint8_t six[] = {'A', 'B', 'C', 'D', 'E', 'F'};
    std::copy(std::begin(six), std::end(six), pg2.record.bytes.begin() + pg2::Icon);
    PegUnit peg = ConvertPg2Unit(pg2);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(peg.record[peg::UnitIcon + i], six[i]);
        EXPECT_EQ(peg.record[peg::MovIcon + i], six[i]);
    }
    const std::uint8_t shortName[] = {'T', '3', 0, 'X', 'Y', 'Z'};
    std::copy(std::begin(shortName), std::end(shortName), pg2.record.bytes.begin() + pg2::Icon);
    peg = ConvertPg2Unit(pg2);
    const std::uint8_t expected[] = {'T', '3', 0, 0, 0, 0};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(peg.record[peg::UnitIcon + i], expected[i]);
        EXPECT_EQ(peg.record[peg::MovIcon + i], expected[i]);
    }
}

// The PeG country of each PG2 country 0..26.
constexpr int kCountryTable[27] = {0,  15, 2,  17, 20, 20, 6, 7,  3,  9,  10, 11, 20, 5,
                                   20, 14, 16, 20, 18, 19, 4, 20, 20, 13, 1,  12, 8};

class CountryTable : public ::testing::TestWithParam<int> {};

TEST_P(CountryTable, MapsTheSingleBit) {
    const int c = GetParam();
    Pg2UnitRecord r;
    r[pg2::CountryMask + c / 8] = static_cast<std::uint8_t>(128 >> (c % 8));
    EXPECT_EQ(MapPg2Country(r), kCountryTable[c]);
}

INSTANTIATE_TEST_SUITE_P(Pg2Countries, CountryTable, ::testing::Range(0, 27));

struct MaskCase {
    const char* name;
    std::uint8_t b30, b31, b32, b33;
    int peg;
};

class CountryMask : public ::testing::TestWithParam<MaskCase> {};

TEST_P(CountryMask, FirstDecidingByteWins) {
    const auto& c = GetParam();
    Pg2UnitRecord r;
    r[30] = c.b30;
    r[31] = c.b31;
    r[32] = c.b32;
    r[33] = c.b33;
    EXPECT_EQ(MapPg2Country(r), c.peg);
}

INSTANTIATE_TEST_SUITE_P(Pg2Countries, CountryMask,
                         ::testing::Values(MaskCase{"NoBit", 0, 0, 0, 0, 0},
                                           MaskCase{"TwoBitsInByte30ThenByte31", 0x41, 0x40, 0, 0,
                                                    9},
                                           MaskCase{"Country0DecidesAtOnce", 0x80, 0x40, 0, 0, 0},
                                           MaskCase{"Byte33OnlyTopThreeBits", 0, 0, 0, 0x10, 0},
                                           MaskCase{"Byte33Country26", 0, 0, 0, 0x20, 8},
                                           MaskCase{"EveryByteMultiple", 3, 3, 3, 3, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MapPg2Country, ByIndexIsZeroOutsideTheTable) {
    Pg2UnitTable t;
    test::AddPg2Unit(t, 0, 0, "a");
    t.units[0].record[31] = 0x80; // PG2 country 8
    EXPECT_EQ(MapPg2Country(t, 0), 3);
    EXPECT_EQ(MapPg2Country(t, 1), 0);
}

TEST(ConvertTFileBytes, ReplacesTheCountryLinesAndKeepsTheRest) {
    NameTable peg(21);
    peg.setName(0, "None");
    peg.setName(1, "Germany");
    peg.setName(2, "Poland");
    peg.setCount(3);
    const std::string source = "Alpha\r\nBeta\nGamma\r\nDelta";
    const Bytes out = ConvertTFileBytes(
        std::span(reinterpret_cast<const std::uint8_t*>(source.data()), source.size()), peg);
    EXPECT_EQ(std::string(out.begin(), out.end()), "Germany\r\nPoland\r\nGamma\r\nDelta");
}

// The conversion command over a scripted Ui.
class ConvertCommand : public ::testing::Test {
  protected:
    void SetUp() override {
        Pg2UnitTable table;
        for (std::uint16_t i = 0; i < 3; ++i)
            test::AddPg2Unit(table, i, 0, "unit" + std::to_string(i));
        table.units[1].record[pg2::Cost] = 214;
        state().loadTable(std::move(table));
        NameTable names(pg2::kCountryCount);
        for (int m = 0; m < 27; ++m)
            names.setName(m, "PG2 land " + std::to_string(m));
        names.setCount(27);
        state().setCountries(Game::Pg2, std::move(names));
    }
    CVarnelDoc& state() { return f.state; }
    std::string pegTFile() { return f.dir.file("GUI97.txt"); }
    void writePegTFile() {
        std::vector<std::string> lines;
        for (int k = 1; k <= 20; ++k)
            lines.push_back("PeG land " + std::to_string(k));
        lines.push_back("Other text");
        test::WriteFile(pegTFile(), Lines(lines));
    }
    std::string made(const std::string& t) {
        return "Conversion made!\nCreated : " + f.dir.file("PG2_Equip97.EQP") +
               "\n    and : " + f.dir.file("PG2_Equip97.txt") + "\n    and : " + t +
               "\nCheck Efile before saving...";
    }
    Fixture f;
};

TEST(ConvertCommandAlone, NeedsPg2Data) {
    Fixture f;
    f.ui->expectInformation("You better load any PG2 E-File, first!");
    EXPECT_FALSE(ConvertPg2ToPeg(f.state));
    EXPECT_FALSE(f.state.peg());
    EXPECT_FALSE(f.state.isModified());
}

TEST_F(ConvertCommand, TakesOverNamesAndWritesTheConvertedTFile) {
    writePegTFile();
    const std::string target = f.dir.file("PG2_GUI97.txt");
    f.ui->expectQuestion("Do you want to change current Country's names\nas they was in PG2 ?",
                         true)
        .expectFileDialog("Save converted names AS", target)
        .expectInformation(made(target));
    ASSERT_TRUE(ConvertPg2ToPeg(state()));
    ASSERT_EQ(f.ui->fileRequests().size(), 1u);
    EXPECT_FALSE(f.ui->fileRequests()[0].open);
    // The proposed name does not exist yet, so the chooser's chain puts the T-File in use there.
    EXPECT_EQ(f.ui->fileRequests()[0].initialName, pegTFile());

    ASSERT_TRUE(state().peg());
    ASSERT_EQ(state().peg()->count(), 3u);
    EXPECT_EQ(state().peg()->units[1].record[peg::Cost], 0);
    EXPECT_EQ(state().peg()->name(2), "unit2");
    EXPECT_TRUE(state().flag(Game::Peg, ChangeKind::Data));
    EXPECT_TRUE(state().flag(Game::Peg, ChangeKind::Names));
    EXPECT_FALSE(state().flag(Game::Pg2, ChangeKind::Data));
    EXPECT_EQ(state().settings().eFile(Game::Peg), f.dir.file("PG2_Equip97.EQP"));
    EXPECT_EQ(state().settings().tFile(Game::Peg), target);
    EXPECT_EQ(state().countries(Game::Peg).name(3), "PG2 land 8");

    std::vector<std::string> expected;
    const int m[21] = {0, 24, 2, 8, 20, 13, 6, 7, 26, 9, 10, 11, 25, 23, 15, 1, 16, 3, 18, 19, 4};
    for (int k = 1; k <= 20; ++k)
        expected.push_back("PG2 land " + std::to_string(m[k]));
    expected.push_back("Other text");
    EXPECT_EQ(test::ReadText(target), Lines(expected));
    // Nothing of the converted E-File is on disk until the user saves.
    EXPECT_FALSE(std::filesystem::exists(f.dir.file("PG2_Equip97.EQP")));
}

TEST_F(ConvertCommand, NoKeepsThePegNames) {
    writePegTFile();
    f.ui->expectQuestion("Do you want to change current Country's names\nas they was in PG2 ?",
                         false)
        .expectInformation(made(""));
    ASSERT_TRUE(ConvertPg2ToPeg(state()));
    EXPECT_EQ(state().countries(Game::Peg).name(3), "PeG land 3");
    EXPECT_EQ(state().settings().tFile(Game::Peg), pegTFile());
}

TEST_F(ConvertCommand, CancelledChooserShowsTheMarker) {
    writePegTFile();
    f.ui->expectQuestion("Do you want to change current Country's names\nas they was in PG2 ?",
                         true)
        .expectFileDialog("Save converted names AS", std::nullopt)
        .expectInformation(made("-"));
    ASSERT_TRUE(ConvertPg2ToPeg(state()));
    EXPECT_EQ(state().countries(Game::Peg).name(3),
              "PG2 land 8"); // taken over in memory all the same
}

TEST_F(ConvertCommand, NamesAlreadyTakenOverAskNothing) {
    std::vector<std::string> lines(20, "x");
    lines[2] = "PG2 land 8";
    test::WriteFile(pegTFile(), Lines(lines));
    f.ui->expectInformation(made(""));
    ASSERT_TRUE(ConvertPg2ToPeg(state()));
}

TEST_F(ConvertCommand, WithoutPg2CountryNamesNothingIsOffered) {
    writePegTFile();
    state().setCountries(Game::Pg2, NameTable(pg2::kCountryCount));
    ASSERT_EQ(state().countries(Game::Pg2).count(), 0);
    f.ui->expectInformation(made(""));
    ASSERT_TRUE(ConvertPg2ToPeg(state()));
    EXPECT_EQ(state().countries(Game::Peg).name(1), "PeG land 1");
}

TEST_F(ConvertCommand, ChangedPegDataIsOfferedForSavingFirst) {
    writePegTFile();
    PegUnitTable old;
    test::AddPegUnit(old, 0, 9, "old");
    state().loadTable(std::move(old));
    state().settings().eFile(Game::Peg) = f.dir.file("OLD.EQP");
    state().settings().namesEFile(Game::Peg) = f.dir.file("OLD.txt");
    state().markModified(Game::Peg, ChangeKind::Data);
    state().markModified(Game::Peg, ChangeKind::Names);
    state().settings().eFile(Game::Pg2) = f.dir.file("P.EQP");
    state().markModified(Game::Pg2, ChangeKind::Data);
    f.ui->expectQuestion(f.dir.file("P.EQP") + "\nIS modified\n ¿ Save changes ?", false)
        .expectQuestion(f.dir.file("OLD.EQP") + "\nIS modified\n ¿ Save changes ?", true)
        .expectInformation("File " + f.dir.file("OLD.EQP") + " updated")
        .expectQuestion(f.dir.file("OLD.txt") + "\nIS modified\n ¿ Save changes ?", false)
        .expectQuestion("Do you want to change current Country's names\nas they was in PG2 ?",
                        false)
        .expectInformation(made(""));
    ASSERT_TRUE(ConvertPg2ToPeg(state()));
    EXPECT_EQ(test::ReadFile(f.dir.file("OLD.EQP")).size(), 2u + 74u);
    EXPECT_FALSE(std::filesystem::exists(f.dir.file("OLD.txt")));
    EXPECT_EQ(state().peg()->count(), 3u);
    EXPECT_TRUE(state().flag(Game::Pg2, ChangeKind::Data)); // answered No: still to be saved
}

TEST_F(ConvertCommand, EmptyTableConvertsToAnEmptyTable) {
    writePegTFile();
    state().loadTable(Pg2UnitTable());
    f.ui->expectQuestion("Do you want to change current Country's names\nas they was in PG2 ?",
                         false)
        .expectInformation(made(""));
    ASSERT_TRUE(ConvertPg2ToPeg(state()));
    ASSERT_TRUE(state().peg());
    EXPECT_EQ(state().peg()->count(), 0u);
}

TEST(WriteConvertedTFile, MissingSourceAndCancelStopsWithAMessage) {
    Fixture f;
    f.state.settings().tFile(Game::Peg) = f.dir.file("gone.txt");
    const std::string target = f.dir.file("out.txt");
    f.ui->expectFileDialog("Select PeG GUI97.txt", std::nullopt)
        .expectInformation("file [" + f.dir.file("gone.txt") + "]\nnot found!\nNo " + target +
                           " created");
    EXPECT_FALSE(WriteConvertedTFile(f.state, target));
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_EQ(f.state.settings().tFile(Game::Peg), "-");
}

TEST(WriteConvertedTFile, ChosenSourceIsUsed) {
    Fixture f;
    f.state.settings().tFile(Game::Peg) = f.dir.file("gone.txt");
    test::WriteFile(f.dir.file("real.txt"), Lines({"a", "b"}));
    NameTable names(peg::kCountryCount);
    names.setName(1, "Z");
    names.setCount(2);
    f.state.setCountries(Game::Peg, std::move(names));
    f.ui->expectFileDialog("Select PeG GUI97.txt", f.dir.file("real.txt"));
    EXPECT_TRUE(WriteConvertedTFile(f.state, f.dir.file("out.txt")));
    EXPECT_EQ(test::ReadText(f.dir.file("out.txt")), Lines({"Z", "b"}));
    EXPECT_EQ(f.state.settings().tFile(Game::Peg), f.dir.file("out.txt"));
}

TEST(WriteConvertedTFile, UnwritableTargetIsAnError) {
    Fixture f;
    test::WriteFile(f.dir.file("GUI97.txt"), Lines({"a"}));
    f.state.settings().tFile(Game::Peg) = f.dir.file("GUI97.txt");
    const std::string target = f.dir.file("no/such/folder/out.txt");
    f.ui->expectError("Error on creating [" + target + "]\nthe folder does not exist");
    EXPECT_FALSE(WriteConvertedTFile(f.state, target));
    EXPECT_EQ(f.state.settings().tFile(Game::Peg), f.dir.file("GUI97.txt"));
}

} // namespace
} // namespace varnel
