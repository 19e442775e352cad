#include "app/iconload.h"
#include "app/reportcommands.h"
#include "app/unitsound.h"
#include "reports/iconsreport.h"

#include "app/settingsstore.h"
#include "app/varneldoc.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace varnel {
namespace {

std::string text(const Bytes& b) {
    return std::string(b.begin(), b.end());
}

Pg2UnitTable pg2Table(std::initializer_list<const char*> icons) {
    Pg2UnitTable t;
    for (const char* icon : icons) {
        Pg2Unit u;
        u.record.setCode(static_cast<std::uint16_t>(t.units.size()));
        u.record.setIcon(icon);
        t.units.push_back(u);
    }
    return t;
}

PegUnitTable pegTable(std::initializer_list<std::pair<const char*, const char*>> icons) {
    PegUnitTable t;
    for (const auto& [unitIcon, movIcon] : icons) {
        PegUnit u;
        u.record.setUnitIcon(unitIcon);
        u.record.setMovIcon(movIcon);
        t.units.push_back(u);
    }
    return t;
}

std::string listed(const std::vector<IconUse>& items) {
    std::string out;
    for (const auto& i : items)
        out += i.text + "=" + std::to_string(i.count) + " ";
    return out;
}

TEST(UsedIcons, ExampleReportCountsWithoutRegardToCase) {
    // TIGER twice and tiger once are one item spelled as first met.
    const auto items = CollectPg2Icons(pg2Table({"TIGER", "PANTHR", "tiger", "TIGER"}));
    EXPECT_EQ(listed(items), "PANTHR.shp=1 TIGER.shp=3 ");

    const std::vector<IconUse> example = {{"PANTHER.shp", 1}, {"TIGER.shp", 3}};
    EXPECT_EQ(text(WriteIconsReport(example, "C:\\PANZER2\\EQUIP97.EQP", StatInfo)),
              ";This is an index of icons used in C:\\PANZER2\\EQUIP97.EQP\r\n"
              ";(Number of icons used: 2)\r\n"
              "3\r\n"
              "PANTHER.shp    used: 1 times\r\n"
              "TIGER.shp      used: 3 times\r\n");
    EXPECT_EQ(text(WriteIconsReport(items, "C:\\PANZER2\\EQUIP97.EQP", Repack)),
              ";This is an index of icons used in C:\\PANZER2\\EQUIP97.EQP\r\n"
              ";(Number of icons used: 2)\r\n"
              "3\r\n"
              "PANTHR.shp\r\n"
              "TIGER.shp\r\n");
}

struct CollectCase {
    const char* name;
    std::vector<const char*> icons;
    const char* expected;
};

void PrintTo(const CollectCase& c, std::ostream* os) {
    *os << c.name;
}

class CollectPg2 : public ::testing::TestWithParam<CollectCase> {};

TEST_P(CollectPg2, GroupsAndSorts) {
    Pg2UnitTable t;
    for (const char* icon : GetParam().icons) {
        Pg2Unit u;
        u.record.setIcon(icon);
        t.units.push_back(u);
    }
    EXPECT_EQ(listed(CollectPg2Icons(t)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Items, CollectPg2,
    ::testing::Values(
        CollectCase{"FirstSpellingIsKept", {"tiger", "TIGER", "Tiger"}, "tiger.shp=3 "},
        // A prefix search would fold the longer name into the shorter one.
        CollectCase{"PrefixIsAnotherItem",
                    {"TIG", "TIGER", "TIGERB", "tig"},
                    "TIG.shp=2 TIGER.shp=1 TIGERB.shp=1 "},
        // Upper-cased byte order: 'B' (0x42) sorts before '_' (0x5F), which sorts before 'b'.
        CollectCase{"UpperCasedByteOrder",
                    {"a_x", "ab", "AA", "a1"},
                    "a1.shp=1 AA.shp=1 ab.shp=1 a_x.shp=1 "},
        CollectCase{"EmptyNamesAreSkipped", {"", "", "SS"}, "SS.shp=1 "},
        CollectCase{"NothingNamed", {"", ""}, ""},
        // Letters outside ASCII are compared exactly.
        CollectCase{"OnlyAsciiFolds",
                    {"\xe9t\xe9", "\xc9T\xc9", "\xe9T\xe9"},
                    "\xc9T\xc9.shp=1 \xe9t\xe9.shp=2 "}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(UsedIcons, PegCountsBothFieldsOfEveryUnit) {
    const auto t = pegTable({{"T34", "T34"}, {"truck", ""}, {"", "TRUCK"}, {"ABCDEF", "t34"}});
    EXPECT_EQ(listed(CollectPegIcons(t)), "ABCDEF.s16=1 T34.s16=3 truck.s16=2 ");
}

TEST(UsedIcons, ReportPathLiesBesideTheEFile) {
    EXPECT_EQ(IconsReportPath("C:\\PANZER2\\EQUIP97.EQP"), "C:\\PANZER2\\EQUIP97_ICONS.TXT");
    EXPECT_EQ(IconsReportPath("/g/peg/equip.v2.eqp"), "/g/peg/equip.v2_ICONS.TXT");
}

class RunIconsReportTest : public ::testing::Test {
  protected:
    std::unique_ptr<ScriptedUi> ui = test::MakeScriptedUi();
    MemorySettingsBackend store;
    CVarnelDoc state{*ui, store};
    test::TempDir dir;
};

TEST_F(RunIconsReportTest, WritesAnnouncesAndOpens) {
    state.settings().eFile(Game::Peg) = dir.file("EQUIP97.EQP");
    state.settings().editorPath = dir.file("editor");
    test::WriteFile(state.settings().editorPath, std::string("#!/bin/sh\n"));
    state.loadTable(pegTable({{"T34", "TRUCK"}}));
    const std::string path = dir.file("EQUIP97_ICONS.TXT");
    ui->expectInformation("Generated report on file:\n\n " + path + "  \n")
        .expectStart(state.settings().editorPath);
    EXPECT_EQ(RunIconsReport(state, Game::Peg, Repack, true), IconsReportResult::Written);
    EXPECT_EQ(test::ReadText(path), ";This is an index of icons used in " +
                                        state.settings().eFile(Game::Peg) +
                                        "\r\n;(Number of icons used: 2)\r\n3\r\nT34.s16\r\n"
                                        "TRUCK.s16\r\n");
    ASSERT_EQ(ui->starts().size(), 1u);
    EXPECT_EQ(ui->starts()[0].at(1), path);
}

TEST_F(RunIconsReportTest, NoIconsWritesNothingAndSaysNothing) {
    state.settings().eFile(Game::Pg2) = dir.file("EQUIP97.EQP");
    state.loadTable(pg2Table({"", ""}));
    EXPECT_EQ(RunIconsReport(state, Game::Pg2, StatInfo, true), IconsReportResult::Empty);
    // The other game has no table at all.
    EXPECT_EQ(RunIconsReport(state, Game::Peg, StatInfo, true), IconsReportResult::Empty);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST_F(RunIconsReportTest, ReportsAFileThatCannotBeCreated) {
    state.settings().eFile(Game::Pg2) = dir.file("gone/EQUIP97.EQP");
    state.loadTable(pg2Table({"TIGER"}));
    ui->expectError("Error on creating [" + dir.file("gone/EQUIP97_ICONS.TXT") +
                    "]\nthe folder does not exist");
    EXPECT_EQ(RunIconsReport(state, Game::Pg2, StatInfo, true), IconsReportResult::Failed);
    EXPECT_TRUE(ui->starts().empty());
}

} // namespace
} // namespace varnel
