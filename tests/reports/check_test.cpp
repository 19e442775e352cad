#include "reports/check.h"

#include "app/compareandcheck.h"
#include "app/efileio.h"
#include "app/varneldoc.h"
#include "base/fileio.h"
#include "base/paths.h"
#include "equip/efile.h"
#include "icons/archivewriter.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>

namespace varnel {
namespace {

constexpr std::size_t kUnits = 5;
constexpr std::size_t kUnit = 2;

Pg2UnitTable cleanPg2() {
    Pg2UnitTable t;
    for (std::size_t i = 0; i < kUnits; ++i) {
        Pg2Unit u;
        u.record.setCode(static_cast<std::uint16_t>(i));
        u.record.setIcon("TIGER");
        u.record[pg2::YearAvaible] = 40;
        u.record[pg2::YearExpired] = 45;
        EncodePg2Country(u.record, 3);
        t.units.push_back(u);
        t.setName(i, "Tiger");
    }
    return t;
}

PegUnitTable cleanPeg() {
    PegUnitTable t;
    for (std::size_t i = 0; i < kUnits; ++i) {
        PegUnit u;
        u.record.setCode(static_cast<std::uint16_t>(i));
        u.record.setUnitIcon("ABRAMS");
        u.record.setMovIcon("TRUCK");
        t.units.push_back(u);
        t.setName(i, "Abrams");
    }
    return t;
}

CheckSources allThere() {
    CheckSources s;
    s.nameLines = kUnits;
    s.hasIcon = [](const std::string& key) {
        static const std::set<std::string> keys = {"TIGER", "ABRAMS", "TRUCK"};
        return keys.count(key) != 0;
    };
    s.hasSound = [](int number) { return number % 1000 < 50; };
    return s;
}

struct RuleCase {
    const char* name;
    Game game;
    std::function<void(Pg2Unit&)> pg2;
    std::function<void(PegUnit&)> peg;
    std::function<void(CheckSources&)> sources;
    const char* rule;
    Severity severity;
    bool aboutUnit;
    const char* message;
};

class Rule : public testing::TestWithParam<RuleCase> {};

TEST_P(Rule, FindsTheOneFault) {
    const RuleCase& c = GetParam();
    CheckSources sources = allThere();
    if (c.sources)
        c.sources(sources);
    CheckResult result;
    if (c.game == Game::Pg2) {
        Pg2UnitTable t = cleanPg2();
        EXPECT_TRUE(CheckPg2Table(t, allThere()).findings.empty());
        if (c.pg2)
            c.pg2(t.units[kUnit]);
        result = CheckPg2Table(t, sources);
    } else {
        PegUnitTable t = cleanPeg();
        EXPECT_TRUE(CheckPegTable(t, allThere()).findings.empty());
        if (c.peg)
            c.peg(t.units[kUnit]);
        result = CheckPegTable(t, sources);
    }
    ASSERT_EQ(result.findings.size(), 1u) << CheckText(result);
    const Finding& f = result.findings[0];
    EXPECT_EQ(f.rule, c.rule);
    EXPECT_EQ(f.severity, c.severity);
    EXPECT_EQ(f.unit.has_value(), c.aboutUnit);
    if (c.aboutUnit) {
        EXPECT_EQ(*f.unit, kUnit);
    }
    EXPECT_EQ(f.message, c.message);
    EXPECT_EQ(result.hasErrors(), c.severity == Severity::Error);
}

const RuleCase kRules[] = {
    {"Pg2Code",
     Game::Pg2,
     [](Pg2Unit& u) { u.record.setCode(9); },
     {},
     {},
     "code",
     Severity::Error,
     true,
     "code 9 differs from its position 2"},
    {"PegCodeWarns",
     Game::Peg,
     {},
     [](PegUnit& u) { u.record.setCode(0); },
     {},
     "code",
     Severity::Warning,
     true,
     "code 0 differs from its position 2"},
    {"FewerNameLines",
     Game::Pg2,
     {},
     {},
     [](CheckSources& s) { s.nameLines = 4; },
     "names",
     Severity::Error,
     false,
     "the Names E-File has 4 lines for 5 units"},
    {"MoreNameLines",
     Game::Peg,
     {},
     {},
     [](CheckSources& s) { s.nameLines = 6; },
     "names",
     Severity::Warning,
     false,
     "the Names E-File has 6 lines for 5 units"},
    {"Pg2IconAnyCase",
     Game::Pg2,
     [](Pg2Unit& u) { u.record.setIcon("panthr"); },
     {},
     {},
     "icon",
     Severity::Error,
     true,
     "icon panthr is not in the icon archive"},
    {"PegMoveIcon",
     Game::Peg,
     {},
     [](PegUnit& u) { u.record.setMovIcon("JEEP"); },
     {},
     "icon",
     Severity::Error,
     true,
     "movIcon JEEP is not in the icon archive"},
    {"Pg2Sound",
     Game::Pg2,
     [](Pg2Unit& u) { u.record[pg2::atkMel] = 60; },
     {},
     {},
     "sound",
     Severity::Warning,
     true,
     "attack sound 60: 2060.wav is missing"},
    {"PegSound",
     Game::Peg,
     {},
     [](PegUnit& u) { u.record[peg::dieSnd] = 70; },
     {},
     "sound",
     Severity::Warning,
     true,
     "death sound 70: 3070.wav is missing"},
    {"Pg2Month",
     Game::Pg2,
     [](Pg2Unit& u) { u.record[pg2::MonthExpired] = 13; },
     {},
     {},
     "value",
     Severity::Error,
     true,
     "monthExpired 13 is outside 0..12"},
    {"PegCountry",
     Game::Peg,
     {},
     [](PegUnit& u) { u.record[peg::Country] = 21; },
     {},
     "value",
     Severity::Error,
     true,
     "country 21 is outside 0..20"},
    {"PegIconedOptions",
     Game::Peg,
     {},
     [](PegUnit& u) {
         u.record[peg::Options1] = 0x0C; // ignore entrench, bridge
         u.record[peg::Options2] = 0x62; // airborne, river assault, light infantry
     },
     {},
     "value",
     Severity::Error,
     true,
     "5 iconed options are set, at most 4 are allowed"},
    {"Pg2OddMask",
     Game::Pg2,
     [](Pg2Unit& u) { u.record[pg2::CountryMask] = 0x90; },
     {},
     {},
     "country",
     Severity::Error,
     true,
     "its country mask 90 00 00 00 names no single country"},
    {"Pg2Dates",
     Game::Pg2,
     [](Pg2Unit& u) {
         u.record[pg2::YearAvaible] = 45;
         u.record[pg2::MontAvaible] = 6;
         u.record[pg2::MonthExpired] = 5;
     },
     {},
     {},
     "dates",
     Severity::Warning,
     true,
     "available from 6/1945, after its expiry 5/1945"},
};

INSTANTIATE_TEST_SUITE_P(Rules, Rule, testing::ValuesIn(kRules),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Check, RulesWithoutTheirSourceDoNotRun) {
    Pg2UnitTable t = cleanPg2();
    t.units[1].record.setIcon("GONE");
    t.units[1].record[pg2::movMel] = 99;
    CheckSources none;
    const CheckResult result = CheckPg2Table(t, none);
    EXPECT_TRUE(result.findings.empty()) << CheckText(result);
}

TEST(Check, Text) {
    Pg2UnitTable t = cleanPg2();
    t.units[1].record.setCode(7);
    t.units[3].record[pg2::dieMel] = 77;
    CheckResult result = CheckPg2Table(t, allThere());
    result.skipped.push_back("icon: the icon archive X is missing");
    EXPECT_EQ(CheckText(result),
              "error: unit 1 (code 7) Tiger: code 7 differs from its position 1\n"
              "warning: unit 3 (code 3) Tiger: death sound 77: 3077.wav is "
              "missing\n"
              "1 error, 1 warning\n"
              "skipped: icon: the icon archive X is missing\n");
}

// The document's check finds its sources on disk and says why it skipped a rule.
TEST(CheckCatalogue, FindsItsSourcesOrSaysWhy) {
    test::TempDir dir;
    Pg2UnitTable t = cleanPg2();
    t.units[4].record.setIcon("GONE");
    t.units[4].record[pg2::atkMel] = 3;
    test::WriteFile(dir.file("EQUIP97.EQP"), WritePg2EFile(t));
    test::WriteFile(dir.file("EQUIP97.txt"), std::string("a\r\nb\r\nc\r\nd\r\n"));
    auto ui = test::MakeScriptedUi();
    MemorySettingsBackend store;
    CVarnelDoc doc(*ui, store);
    doc.settings().textSuffix = ".txt";
    doc.settings().dir(Game::Pg2) = dir.dir();
    doc.settings().altDir(Game::Pg2) = dir.dir();
    test::WriteFile(dir.file("GUI97.txt"), std::string("Germany\r\n"));
    ASSERT_TRUE(LoadEFile(doc, Game::Pg2, dir.file("EQUIP97.EQP")));

    const CheckResult bare = CheckCatalogue(doc, Game::Pg2, {"", dir.file("WAVS")});
    ASSERT_EQ(bare.findings.size(), 1u) << CheckText(bare);
    EXPECT_EQ(bare.findings[0].rule, "names");
    ASSERT_EQ(bare.skipped.size(), 2u);
    EXPECT_EQ(bare.skipped[0], "icon: the icon archive " + dir.file("PANZER2.dat") + " is missing");
    EXPECT_EQ(bare.skipped[1],
              "sound: the WAV folder " + dir.file("WAVS") + kNativeSeparator + " is missing");

    std::filesystem::create_directory(dir.path() / "WAVS");
    for (const int n : {1000, 2000, 3000})
        test::WriteFile(dir.file("WAVS/" + std::to_string(n) + ".wav"), std::string("RIFF"));
    test::WriteFile(dir.file("PANZER2.dat"),
                    WriteIconArchive({{"TIGER.SHP", WriteShpEntry(std::vector<ShpView>(9))}}));
    const CheckResult full = CheckCatalogue(doc, Game::Pg2, {"", dir.file("WAVS")});
    EXPECT_TRUE(full.skipped.empty());
    std::vector<std::string> rules;
    for (const Finding& f : full.findings)
        rules.push_back(f.rule);
    EXPECT_EQ(rules, (std::vector<std::string>{"icon", "sound", "names"})) << CheckText(full);

    // Names changed and not saved: the file on disk says nothing about them.
    ASSERT_TRUE(doc.setField(Game::Pg2, 0, *FindField(Game::Pg2, "denomination"), "X").ok);
    const CheckResult edited = CheckCatalogue(doc, Game::Pg2, {"", dir.file("WAVS")});
    ASSERT_EQ(edited.skipped.size(), 1u);
    EXPECT_EQ(edited.skipped[0].rfind("names: ", 0), 0u);
}

// A mask set right at load is still the file's: the check reports it as the file holds it until
// the data changes or a save writes the mask set right.
TEST(CheckCatalogue, ReportsTheMasksSetRightAtLoadWhileTheFileHoldsThem) {
    test::TempDir dir;
    Pg2UnitTable t = cleanPg2();
    Bytes eFile = WritePg2EFile(t);
    eFile[2 + 3 * pg2::kRecordSize + pg2::CountryMask] = 0x41;
    eFile[2 + 3 * pg2::kRecordSize + pg2::CountryMask + 1] = 0x20;
    const std::string path = dir.file("EQUIP97.EQP");
    test::WriteFile(path, eFile);
    auto ui = test::MakeScriptedUi();
    MemorySettingsBackend store;
    CVarnelDoc doc(*ui, store);
    doc.settings().textSuffix = ".txt";
    doc.settings().dir(Game::Pg2) = doc.settings().altDir(Game::Pg2) = dir.dir();
    test::WriteFile(dir.file("GUI97.txt"), std::string("Germany\r\n"));
    test::WriteFile(dir.file("EQUIP97.txt"), std::string("a\r\nb\r\nc\r\nd\r\ne\r\n"));
    ui->expectInformation("1 units of\n" + path +
                          "\nhave a country mask that names no single country:\nsaving writes the "
                          "mask of the country shown for each");
    LoadOptions options;
    options.codes = CodeAnswer::No;
    ASSERT_TRUE(LoadEFile(doc, Game::Pg2, path, options));
    const auto masks = [&] {
        std::vector<std::string> found;
        for (const Finding& f : CheckCatalogue(doc, Game::Pg2, {"", dir.file("WAVS")}).findings)
            if (f.rule == "country")
                found.push_back(f.message);
        return found;
    };
    const std::vector<std::string> loaded{"its country mask 41 20 00 00 names no single country"};
    EXPECT_EQ(masks(), loaded);

    const FieldDef& cost = *FindField(Game::Pg2, "cost");
    ASSERT_TRUE(doc.setField(Game::Pg2, 0, cost, "12").ok);
    EXPECT_TRUE(masks().empty()) << "the table is no longer what the file holds";
    ASSERT_TRUE(doc.undo(Game::Pg2));
    EXPECT_EQ(masks(), loaded);

    ui->expectInformation("File " + path + " updated");
    ASSERT_TRUE(SaveEFile(doc, Game::Pg2, path));
    EXPECT_TRUE(masks().empty()) << "the file now holds the mask set right";
    const Bytes saved = test::ReadFile(path);
    const auto* mask = saved.data() + 2 + 3 * pg2::kRecordSize + pg2::CountryMask;
    EXPECT_EQ(Bytes(mask, mask + 4), (Bytes{0, 0x20, 0, 0})) << "country 10, as shown";
}

} // namespace
} // namespace varnel
