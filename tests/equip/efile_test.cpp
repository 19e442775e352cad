#include "equip/efile.h"

#include "base/format.h"
#include "tests/support/equipfixture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace varnel {
namespace {

// What a load says about a file whose header count disagrees with its size.
std::string headerWarning(const std::string& path, int count, int held) {
    return "Warning!\n" + path + "\nits header counts " + std::to_string(count) +
           " units, its size holds " + std::to_string(held) +
           "\nUnits it lacks are empty; bytes after the last unit are ignored";
}

using test::EquipEnv;
using test::MakeNames;
using test::MakePegEFile;
using test::MakePg2EFile;
using test::ReadFile;
using test::ReadText;
using test::WriteFile;

std::string updated(const std::string& path) {
    return "File " + path + " updated";
}

// ---- Parsing truncated and oversized files ----

struct ParseCase {
    const char* name;
    Game game;
    std::size_t fileUnits; // units the generated file holds
    long cut;              // bytes removed from its end (negative: bytes added)
    std::uint16_t count;   // expected header count
    std::size_t supplied;  // expected records held in full
};

class ParseEFileTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseEFileTest, KeepsTheCountAndZeroFillsWhatIsMissing) {
    const auto& c = GetParam();
    const bool pg2 = c.game == Game::Pg2;
    Bytes data = pg2 ? MakePg2EFile(c.fileUnits) : MakePegEFile(c.fileUnits);
    const Bytes whole = data;
    if (c.cut >= 0)
        data.resize(data.size() - static_cast<std::size_t>(c.cut));
    else
        data.insert(data.end(), static_cast<std::size_t>(-c.cut), 0xEE);
    const std::size_t size = pg2 ? pg2::kRecordSize : peg::kRecordSize;

    auto check = [&](const auto& parsed) {
        EXPECT_EQ(parsed.count, c.count);
        EXPECT_EQ(parsed.supplied, c.supplied);
        ASSERT_EQ(parsed.units.size(), c.count);
        for (std::size_t i = 0; i < parsed.units.size(); ++i) {
            const auto& bytes = parsed.units[i].record.bytes;
            for (std::size_t k = 0; k < size; ++k) {
                // Missing: zero, but for the mask of country 0 every PG2 unit carries.
                const std::uint8_t missing = pg2 && k == pg2::CountryMask ? 0x80 : 0;
                const std::uint8_t expected =
                    i < c.supplied ? whole[kEFileHeaderSize + i * size + k] : missing;
                ASSERT_EQ(bytes[k], expected) << "record " << i << " byte " << k;
            }
        }
    };
    if (pg2)
        check(ParsePg2EFile(data));
    else
        check(ParsePegEFile(data));
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, ParseEFileTest,
    ::testing::Values(ParseCase{"Pg2Empty", Game::Pg2, 0, 2, 0, 0},
                      ParseCase{"Pg2OneByte", Game::Pg2, 0, 1, 0, 0},
                      ParseCase{"Pg2CountOnly", Game::Pg2, 0, 0, 0, 0},
                      ParseCase{"Pg2HeaderOfThree", Game::Pg2, 3, 3 * 73, 3, 0},
                      ParseCase{"Pg2FirstRecordShort", Game::Pg2, 3, 2 * 73 + 1, 3, 0},
                      ParseCase{"Pg2OneRecord", Game::Pg2, 3, 2 * 73, 3, 1},
                      ParseCase{"Pg2LastRecordShort", Game::Pg2, 3, 1, 3, 2},
                      ParseCase{"Pg2Whole", Game::Pg2, 3, 0, 3, 3},
                      ParseCase{"Pg2TrailingBytesIgnored", Game::Pg2, 3, -40, 3, 3},
                      ParseCase{"PegHeaderOfTwo", Game::Peg, 2, 2 * 74, 2, 0},
                      ParseCase{"PegLastRecordShort", Game::Peg, 2, 1, 2, 1},
                      ParseCase{"PegWhole", Game::Peg, 2, 0, 2, 2},
                      ParseCase{"PegOneByte", Game::Peg, 0, 1, 0, 0},
                      ParseCase{"PegTrailingBytesIgnored", Game::Peg, 1, -73, 1, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ParseEFile, HugeCountInATinyFileAllocatesOnlyWhatTheCountAllows) {
    const Bytes data = {0xFF, 0xFF, 1, 2, 3};
    const auto parsed = ParsePegEFile(data);
    EXPECT_EQ(parsed.count, 65535);
    EXPECT_EQ(parsed.supplied, 0u);
    EXPECT_EQ(parsed.units.size(), 65535u);
}

// ---- Load and save reproduce both files byte for byte ----

struct RoundTripCase {
    const char* name;
    Game game;
    std::size_t units;
};

class RoundTripTest : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(RoundTripTest, LoadThenSaveReproducesBothFiles) {
    const auto& c = GetParam();
    EquipEnv env;
    env.writeTFile();
    const bool pg2 = c.game == Game::Pg2;
    env.state.setCurrentGame(c.game);
    const Bytes eFile = pg2 ? MakePg2EFile(c.units) : MakePegEFile(c.units);
    const std::string names = MakeNames(c.units);
    const std::string path = env.writeGame("EQUIP97", eFile, names);
    const std::string namesPath = env.dir.file("EQUIP97.txt");

    if (pg2)
        LoadEFile(env.state, Game::Pg2, path);
    else
        LoadEFile(env.state, Game::Peg, path);
    const std::size_t count = pg2 ? env.state.pg2()->count() : env.state.peg()->count();
    ASSERT_EQ(count, c.units);
    EXPECT_EQ(env.state.settings().eFile(c.game), path);
    EXPECT_EQ(env.state.settings().namesEFile(c.game), namesPath);
    EXPECT_FALSE(env.state.isModified());

    // Removed first so a writer that merely copies the input cannot pass. (Files rewritten by
    // another program would be asked about before the save.)
    std::filesystem::remove(path);
    std::filesystem::remove(namesPath);
    env.ui.expectInformation(updated(path)).expectInformation(updated(namesPath));
    if (pg2) {
        EXPECT_TRUE(SaveEFile(env.state, Game::Pg2, path));
        EXPECT_TRUE(SaveNames(env.state, Game::Pg2));
    } else {
        EXPECT_TRUE(SaveEFile(env.state, Game::Peg, path));
        EXPECT_TRUE(SaveNames(env.state, Game::Peg));
    }
    EXPECT_TRUE(ReadFile(path) == eFile) << "E-File differs";
    EXPECT_TRUE(ReadText(namesPath) == names) << "Names E-File differs";
}

INSTANTIATE_TEST_SUITE_P(Sizes, RoundTripTest,
                         ::testing::Values(RoundTripCase{"Pg2Empty", Game::Pg2, 0},
                                           RoundTripCase{"Pg2One", Game::Pg2, 1},
                                           RoundTripCase{"Pg2Full", Game::Pg2, 65535},
                                           RoundTripCase{"PegEmpty", Game::Peg, 0},
                                           RoundTripCase{"PegOne", Game::Peg, 1},
                                           RoundTripCase{"PegFull", Game::Peg, 65535}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Pg2EFile, CountZeroSavesTwoBytesAndAnEmptyNamesFile) {
    EquipEnv env;
    env.writeTFile();
    const std::string path = env.writeGame("EQUIP97", Bytes{}, "");
    LoadEFile(env.state, Game::Pg2, path); // under two bytes: an empty table
    ASSERT_TRUE(env.state.pg2());
    EXPECT_EQ(env.state.pg2()->count(), 0u);
    env.ui.expectInformation(updated(path)).expectInformation(updated(env.dir.file("EQUIP97.txt")));
    SaveEFile(env.state, Game::Pg2, path);
    SaveNames(env.state, Game::Pg2);
    EXPECT_EQ(ReadFile(path), (Bytes{0, 0}));
    EXPECT_EQ(ReadText(env.dir.file("EQUIP97.txt")), "");
}

TEST(Pg2EFile, OddMasksAreSetRightAtLoadAndSaved) {
    EquipEnv env;
    Bytes data = MakePg2EFile(2);
    // Unit 0: no country bit; unit 1: two bits in byte 30, one in byte 31.
    for (int k = 0; k < 4; ++k)
        data[2 + pg2::CountryMask + k] = 0;
    data[2 + 73 + pg2::CountryMask] = 0x41;
    data[2 + 73 + pg2::CountryMask + 1] = 0x20;
    data[2 + 73 + pg2::CountryMask + 2] = 0;
    data[2 + 73 + pg2::CountryMask + 3] = 0;
    env.writeTFile();
    const std::string path = env.writeGame("EQUIP97", data, "");
    // Nothing changes unannounced: the load says how many masks name no single country.
    env.ui.expectInformation("2 units of\n" + path +
                             "\nhave a country mask that names no single country:\nsaving "
                             "writes the mask of the country shown for each");
    LoadEFile(env.state, Game::Pg2, path);
    const auto& units = env.state.pg2()->units;
    EXPECT_EQ(Pg2Country(units[0].record), 0);
    EXPECT_EQ(Pg2Country(units[1].record), 10);
    EXPECT_TRUE(Pg2MaskIsSingle(units[0].record));
    EXPECT_TRUE(Pg2MaskIsSingle(units[1].record));
    EXPECT_EQ(env.state.findings(Game::Pg2).oddMaskBytes,
              (std::vector<Pg2OddMask>{{0, {0, 0, 0, 0}}, {1, {0x41, 0x20, 0, 0}}}));
    EXPECT_FALSE(env.state.flag(Game::Pg2, ChangeKind::Data)) << "the load itself is no edit";

    const std::uint8_t before = units[1].record[pg2::Special1];
    const FieldDef& engineer = *FindField(Game::Pg2, "engineer"); // switch 2 of Special1
    ASSERT_TRUE(env.state.setField(Game::Pg2, 1, engineer, (before & 4) != 0 ? "0" : "1").ok);
    env.ui.expectInformation(updated(path));
    ASSERT_TRUE(SaveEFile(env.state, Game::Pg2, path));
    const Bytes saved = ReadFile(path);
    EXPECT_EQ(saved[2 + pg2::CountryMask], 128);
    EXPECT_EQ(saved[2 + 73 + pg2::CountryMask], 0);
    EXPECT_EQ(saved[2 + 73 + pg2::CountryMask + 1], 0x20);
    EXPECT_EQ(saved[2 + 73 + pg2::Special1], before ^ 4);
    EXPECT_EQ(Bytes(units[1].record.bytes.begin(), units[1].record.bytes.end()),
              Bytes(saved.begin() + 2 + 73, saved.begin() + 2 + 2 * 73))
        << "the file holds the table's bytes";
    EXPECT_FALSE(env.state.flag(Game::Pg2, ChangeKind::Data));
    EXPECT_TRUE(env.state.findings(Game::Pg2).oddMaskBytes.empty()) << "the file is set right";
}

// ---- Questions and messages of loading ----

TEST(Pg2EFile, CodeQuestionCorrectsOnYesAndMarksTheDataChanged) {
    for (const bool yes : {true, false}) {
        EquipEnv env;
        env.writeTFile();
        Bytes data = MakePg2EFile(8);
        data[2 + 5 * 73] = 9;
        const std::string path = env.writeGame("EQUIP97", data, MakeNames(8));
        env.ui.expectQuestion("Warning!\nUnit 5 \nhas Code=9 bigger than 8\n Do you want to set "
                              "Code=5 ?",
                              yes);
        env.state.markModified(Game::Pg2, ChangeKind::Data);
        LoadEFile(env.state, Game::Pg2, path);
        EXPECT_EQ(env.state.pg2()->units[5].record.code(), yes ? 5 : 9);
        EXPECT_EQ(env.state.flag(Game::Pg2, ChangeKind::Data), yes);
    }
}

TEST(Pg2EFile, ShortFileAsksNothingForTheRecordsItLacks) {
    EquipEnv env;
    env.writeTFile();
    Bytes data = MakePg2EFile(1);
    data[0] = 3; // the count claims three units
    const std::string path = env.writeGame("EQUIP97", data, "a\r\n");
    env.ui.expectInformation(headerWarning(path, 3, 1));
    LoadEFile(env.state, Game::Pg2, path);
    ASSERT_EQ(env.state.pg2()->count(), 3u);
    EXPECT_EQ(env.state.pg2()->units[2].record.code(), 0);
    EXPECT_EQ(env.state.pg2()->units[2].record[pg2::SoftAtk], 0);
    EXPECT_EQ(env.state.pg2()->name(0), "a");
}

TEST(EFile, MissingFileAndCancelChangesNothing) {
    for (const Game game : {Game::Pg2, Game::Peg}) {
        EquipEnv env;
        env.state.loadTable(test::SizedTable<Pg2UnitTable>(4));
        env.state.loadTable(test::SizedTable<PegUnitTable>(5));
        env.state.markModified(Game::Pg2, ChangeKind::Data);
        env.state.markModified(Game::Peg, ChangeKind::Names);
        env.state.settings().eFile(game) = "old.EQP";
        const std::string missing = env.dir.file("nothing.EQP");
        env.ui
            .expectFileDialog(game == Game::Pg2 ? "Select PG2 EQUIP97.EQP"
                                                : "Select PeG EQUIP97.EQP",
                              std::nullopt)
            .expectInformation("file [" + missing + "]\nnot found");
        if (game == Game::Pg2)
            LoadEFile(env.state, Game::Pg2, missing);
        else
            LoadEFile(env.state, Game::Peg, missing);
        EXPECT_EQ(env.state.pg2()->count(), 4u);
        EXPECT_EQ(env.state.peg()->count(), 5u);
        EXPECT_TRUE(env.state.flag(Game::Pg2, ChangeKind::Data));
        EXPECT_TRUE(env.state.flag(Game::Peg, ChangeKind::Names));
        EXPECT_EQ(env.state.settings().eFile(game), "old.EQP");
    }
}

TEST(EFile, ChooserRetriesUntilAFileCanBeRead) {
    EquipEnv env;
    env.writeTFile();
    const std::string good = env.writeGame("EQUIP97", MakePegEFile(2), MakeNames(2));
    const std::string missing = env.dir.file("gone.EQP");
    env.ui.expectFileDialog("Select PeG EQUIP97.EQP", env.dir.file("gone2.EQP"))
        .expectFileDialog("Select PeG EQUIP97.EQP", good);
    LoadEFile(env.state, Game::Peg, missing);
    ASSERT_TRUE(env.state.peg());
    EXPECT_EQ(env.state.peg()->count(), 2u);
    EXPECT_EQ(env.state.settings().eFile(Game::Peg), good);
    EXPECT_EQ(env.state.settings().namesEFile(Game::Peg), env.dir.file("EQUIP97.txt"));
}

TEST(EFile, NamesChooserCancelKeepsRecordsWithEmptyNames) {
    for (const Game game : {Game::Pg2, Game::Peg}) {
        EquipEnv env;
        env.writeTFile();
        const std::string path = env.dir.file("EQUIP97.EQP");
        WriteFile(path, game == Game::Pg2 ? MakePg2EFile(3) : MakePegEFile(3));
        env.state.setCurrentGame(game);
        env.state.markModified(Game::Pg2, ChangeKind::Names);
        env.state.markModified(Game::Peg, ChangeKind::Names);
        int views = 0;
        test::HookObserver viewsHook(env.state);
        viewsHook.onViews = [&] { ++views; };
        const std::string names = env.dir.file("EQUIP97.txt");
        env.ui
            .expectFileDialog(game == Game::Pg2 ? "Select PG2  EQUIP97.txt"
                                                : "Select PeG  EQUIP97.txt",
                              std::nullopt)
            .expectInformation("file [" + names +
                               "]\nnot found\nyou'll not see Unit's denomination");
        if (game == Game::Pg2) {
            LoadEFile(env.state, Game::Pg2, path);
            ASSERT_EQ(env.state.pg2()->count(), 3u);
            EXPECT_EQ(env.state.pg2()->name(2), "");
            EXPECT_TRUE(env.state.flag(Game::Pg2, ChangeKind::Names));
        } else {
            LoadEFile(env.state, Game::Peg, path);
            ASSERT_EQ(env.state.peg()->count(), 3u);
            EXPECT_TRUE(env.state.flag(Game::Peg, ChangeKind::Names));
        }
        EXPECT_EQ(views, 1) << "the views must drop the replaced table";
    }
}

TEST(EFile, ChosenNamesFileIsReadAndBecomesCurrent) {
    EquipEnv env;
    env.writeTFile();
    const std::string path = env.dir.file("EQUIP97.EQP");
    WriteFile(path, MakePg2EFile(2));
    const std::string other = env.dir.file("other.txt");
    WriteFile(other, std::string("first\r\nsecond\r\n"));
    env.ui.expectFileDialog("Select PG2  EQUIP97.txt", other);
    LoadEFile(env.state, Game::Pg2, path);
    EXPECT_EQ(env.state.pg2()->name(1), "second");
    EXPECT_EQ(env.state.settings().namesEFile(Game::Pg2), other);
    EXPECT_FALSE(env.state.flag(Game::Pg2, ChangeKind::Names));
}

TEST(EFile, FirstLoadStoresTheGameFolderAndCallsTheHooks) {
    EquipEnv env;
    env.writeTFile();
    const std::string path = env.writeGame("EQUIP97", MakePg2EFile(1), MakeNames(1));
    env.state.settings().dir(Game::Pg2) = kNoValue;
    env.state.settings().dir(Game::Peg) = kNoValue;
    std::vector<std::string> recent;
    int views = 0, titles = 0;
    test::HookObserver recentHook(env.state);
    recentHook.onOpened = [&](const std::string& p) { recent.push_back(p); };
    test::HookObserver viewsHook(env.state);
    viewsHook.onViews = [&] { ++views; };
    test::HookObserver titleHook(env.state);
    titleHook.onTitle = [&] { ++titles; };
    LoadEFile(env.state, Game::Pg2, path);
    EXPECT_EQ(env.state.settings().dir(Game::Pg2), env.dir.dir());
    EXPECT_EQ(env.store.values().at("PG2 Dir"), env.dir.dir());
    EXPECT_EQ(env.store.values().count("PeG Dir"), 0u);
    EXPECT_EQ(recent, std::vector<std::string>{path});
    EXPECT_EQ(views, 1);
    EXPECT_EQ(titles, 1);
    EXPECT_EQ(env.state.settings().tFile(Game::Pg2), env.dir.file("GUI97.txt"));
    EXPECT_EQ(env.state.countries(Game::Pg2).count(), 27);

    // A folder already set stays.
    env.state.settings().dir(Game::Peg) = "/elsewhere/";
    const std::string pegPath = env.writeGame("PEQUIP", MakePegEFile(1), MakeNames(1));
    LoadEFile(env.state, Game::Peg, pegPath);
    EXPECT_EQ(env.state.settings().dir(Game::Peg), "/elsewhere/");
    EXPECT_EQ(env.store.values().count("PeG Dir"), 0u);
}

TEST(EFile, OnlyThePg2LoaderPointsToItsView) {
    EquipEnv env;
    env.writeTFile();
    const std::string path = env.writeGame("EQUIP97", MakePg2EFile(1), MakeNames(1));
    env.state.setCurrentGame(Game::Peg);
    env.ui.expectInformation("To see the file just loaded, switch to PG2 View");
    LoadEFile(env.state, Game::Pg2, path);
    env.ui.verify();
    env.state.setCurrentGame(Game::Pg2);
    // No switch hint (the editor has none for PeG): the PG2 file is refused as a PeG E-File.
    env.ui.expectQuestion(path + " is a PG2 E-File, not a PeG E-File\nOpen it in the PG2 view?",
                          false);
    LoadEFile(env.state, Game::Peg, path);
    EXPECT_FALSE(env.state.hasTable(Game::Peg));
}

// ---- Names ----

TEST(Names, LinesAreReadWholeWithEitherLineEnd) {
    Pg2UnitTable table;
    table.units.resize(5);
    const std::string longName(5000, 'x');
    const std::string text = "one\r\n" + longName + "\ntwo \xE9\t\r\nlast without end";
    const Bytes data(text.begin(), text.end());
    ReadPg2Names(table, data, 0);
    EXPECT_EQ(table.name(0), "one");
    EXPECT_EQ(table.name(1), longName);
    EXPECT_EQ(table.name(2), "two \xE9\t");
    EXPECT_EQ(table.name(3), "last without end");
    EXPECT_EQ(table.name(4), "");
}

TEST(Names, ExtraLinesAreIgnoredAndReadingStartsAtFirst) {
    PegUnitTable table;
    table.units.resize(3);
    table.setName(0, "kept");
    const std::string text = "a\r\nb\r\nc\r\nd\r\n";
    ReadPegNames(table, Bytes(text.begin(), text.end()), 1);
    EXPECT_EQ(table.name(0), "kept");
    EXPECT_EQ(table.name(1), "a");
    EXPECT_EQ(table.name(2), "b");
}

TEST(Names, AreWrittenWithCrLfAfterEveryLine) {
    PegUnitTable table;
    table.units.resize(3);
    table.setName(0, " blank  ");
    table.setName(1, "\xE9\xE8\xFF");
    const Bytes out = WriteNamesFile(table);
    EXPECT_EQ(std::string(out.begin(), out.end()), " blank  \r\n\xE9\xE8\xFF\r\n\r\n");
}

TEST(Names, PathTakesTheSuffixOfTheSettings) {
    AppSettings s;
    s.textSuffix = ".fra";
    EXPECT_EQ(NamesPathFor(s.textSuffix, "C:\\PANZER2\\EQUIP97.EQP"), "C:\\PANZER2\\EQUIP97.fra");
    EXPECT_EQ(NamesPathFor(s.textSuffix, "/g/a.b/EQUIP97"), "/g/a.b/EQUIP97.fra");
}

TEST(EFile, SaveAsWritesTheNamesBesideTheNewFile) {
    EquipEnv env;
    PegUnitTable table = test::SizedTable<PegUnitTable>(1);
    table.setName(0, "Leopard");
    env.state.loadTable(std::move(table));
    env.state.settings().eFile(Game::Peg) = env.dir.file("EQUIP97.EQP");
    fs::create_directory(env.dir.path() / "new");
    const std::string target = env.dir.file("new/MINE.EQP");
    env.ui.expectInformation(updated(target))
        .expectInformation(updated(env.dir.file("new/MINE.txt")));
    env.state.markModified(Game::Peg, ChangeKind::Data);
    env.state.markModified(Game::Peg, ChangeKind::Names);
    SaveEFile(env.state, Game::Peg, target);
    SaveNames(env.state, Game::Peg);
    EXPECT_EQ(ReadText(env.dir.file("new/MINE.txt")), "Leopard\r\n");
    EXPECT_EQ(env.state.settings().eFile(Game::Peg), target);
    EXPECT_EQ(env.state.settings().namesEFile(Game::Peg), env.dir.file("new/MINE.txt"));
    EXPECT_FALSE(env.state.isModified());
}

TEST(EFile, SavingWithoutATableDoesNothing) {
    EquipEnv env;
    EXPECT_FALSE(SaveEFile(env.state, Game::Pg2, env.dir.file("x.EQP")));
    EXPECT_TRUE(SaveNames(env.state, Game::Peg));
    EXPECT_FALSE(fs::exists(env.dir.path() / "x.EQP"));
}

// ---- Failing saves ----

enum class Failure { MissingFolder, TargetIsFolder, ReadOnly };

struct SaveFailureCase {
    const char* name;
    Game game;
    bool names; // the Names E-File fails, not the E-File
    Failure failure;
};

class SaveFailureTest : public ::testing::TestWithParam<SaveFailureCase> {};

TEST_P(SaveFailureTest, LeavesTheOldFileFlagAndPathAlone) {
    const auto& c = GetParam();
    if (c.failure == Failure::ReadOnly && test::PermissionsIgnored())
        GTEST_SKIP() << "permission bits stop no write for this user";
    EquipEnv env;
    const bool pg2 = c.game == Game::Pg2;
    if (pg2)
        env.state.loadTable(test::SizedTable<Pg2UnitTable>(2));
    else
        env.state.loadTable(test::SizedTable<PegUnitTable>(2));
    const std::string current = env.dir.file("EQUIP97.EQP");
    env.state.settings().eFile(c.game) = current;
    env.state.settings().namesEFile(c.game) = "shown.txt";
    test::MarkAllModified(env.state);

    std::string target = c.names ? env.dir.file("EQUIP97.txt") : current;
    const Bytes old = {'o', 'l', 'd'};
    switch (c.failure) {
    case Failure::MissingFolder:
        if (c.names)
            env.state.settings().eFile(c.game) = env.dir.file("none/EQUIP97.EQP");
        target = env.dir.file("none/EQUIP97") + (c.names ? ".txt" : ".EQP");
        break;
    case Failure::TargetIsFolder:
        fs::create_directory(target);
        break;
    case Failure::ReadOnly:
        WriteFile(target, old);
        fs::permissions(target, fs::perms::owner_read);
        break;
    }
    // The error names the reason as well as the file.
    const char* reason = c.failure == Failure::MissingFolder    ? "the folder does not exist"
                         : c.failure == Failure::TargetIsFolder ? "it is not a regular file"
                                                                : "it is read-only";
    env.ui.expectError("Error on creating [" + target + "]\n" + reason);
    bool ok;
    if (c.names)
        ok = pg2 ? SaveNames(env.state, Game::Pg2) : SaveNames(env.state, Game::Peg);
    else
        ok =
            pg2 ? SaveEFile(env.state, Game::Pg2, target) : SaveEFile(env.state, Game::Peg, target);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(env.state.flag(Game::Pg2, ChangeKind::Data) &&
                env.state.flag(Game::Peg, ChangeKind::Data) &&
                env.state.flag(Game::Pg2, ChangeKind::Names) &&
                env.state.flag(Game::Peg, ChangeKind::Names));
    EXPECT_EQ(env.state.settings().namesEFile(c.game), "shown.txt");
    if (!c.names) {
        EXPECT_EQ(env.state.settings().eFile(c.game), current);
    }
    if (c.failure == Failure::ReadOnly) {
        EXPECT_EQ(ReadFile(target), old);
    }
    if (c.failure == Failure::TargetIsFolder) {
        EXPECT_TRUE(fs::is_directory(target));
    }
    if (c.failure == Failure::MissingFolder) {
        EXPECT_FALSE(fs::exists(env.dir.path() / "none"));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Targets, SaveFailureTest,
    ::testing::Values(
        SaveFailureCase{"Pg2MissingFolder", Game::Pg2, false, Failure::MissingFolder},
        SaveFailureCase{"Pg2TargetIsFolder", Game::Pg2, false, Failure::TargetIsFolder},
        SaveFailureCase{"Pg2ReadOnly", Game::Pg2, false, Failure::ReadOnly},
        SaveFailureCase{"Pg2NamesMissingFolder", Game::Pg2, true, Failure::MissingFolder},
        SaveFailureCase{"Pg2NamesTargetIsFolder", Game::Pg2, true, Failure::TargetIsFolder},
        SaveFailureCase{"Pg2NamesReadOnly", Game::Pg2, true, Failure::ReadOnly},
        SaveFailureCase{"PegMissingFolder", Game::Peg, false, Failure::MissingFolder},
        SaveFailureCase{"PegTargetIsFolder", Game::Peg, false, Failure::TargetIsFolder},
        SaveFailureCase{"PegReadOnly", Game::Peg, false, Failure::ReadOnly},
        SaveFailureCase{"PegNamesMissingFolder", Game::Peg, true, Failure::MissingFolder},
        SaveFailureCase{"PegNamesTargetIsFolder", Game::Peg, true, Failure::TargetIsFolder},
        SaveFailureCase{"PegNamesReadOnly", Game::Peg, true, Failure::ReadOnly}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EFile, TableTooLargeForTheCountIsNotSaved) {
    EquipEnv env;
    env.state.loadTable(test::SizedTable<PegUnitTable>(kMaxUnits + 1));
    const std::string path = env.dir.file("big.EQP");
    env.ui.expectInformation("Cannot save 65536 units: a file holds at most 65535 units");
    EXPECT_FALSE(SaveEFile(env.state, Game::Peg, path));
    EXPECT_FALSE(fs::exists(path));
}

namespace varnel {
namespace {

// A load over a loaded table must leave nothing of the old units behind.
TEST(EFile, ReloadOverABiggerTableKeepsNothingOfIt) {
    for (const Game game : {Game::Pg2, Game::Peg}) {
        test::EquipEnv env;
        env.writeTFile();
        const bool pg2 = game == Game::Pg2;
        Bytes data = pg2 ? test::MakePg2EFile(1) : test::MakePegEFile(1);
        data[0] = 3; // two records missing
        const std::string path = env.writeGame("EQUIP97", data, "only\r\n");
        env.ui.expectInformation(headerWarning(path, 3, 1));
        auto fillOld = [](auto table) {
            table.units.resize(10);
            for (std::size_t i = 0; i < table.count(); ++i) {
                table.units[i].record.bytes.fill(0xAB);
                table.setName(i, "an old name long enough to live on the heap");
            }
            return table;
        };
        if (pg2) {
            env.state.loadTable(fillOld(Pg2UnitTable()));
            LoadEFile(env.state, Game::Pg2, path);
        } else {
            env.state.loadTable(fillOld(PegUnitTable()));
            LoadEFile(env.state, Game::Peg, path);
        }
        auto check = [&](const auto& table) {
            ASSERT_EQ(table.units.size(), 3u);
            EXPECT_EQ(table.name(0), "only");
            for (std::size_t i = 1; i < 3; ++i) {
                EXPECT_EQ(table.name(i), "");
                // Zero, but for the mask of country 0 every PG2 unit carries.
                for (std::size_t k = 0; k < table.units[i].record.bytes.size(); ++k)
                    ASSERT_EQ(table.units[i].record.bytes[k],
                              pg2 && k == pg2::CountryMask ? 0x80 : 0)
                        << "unit " << i << " byte " << k;
            }
        };
        if (pg2) {
            check(*env.state.pg2());
        } else {
            check(*env.state.peg());
        }
    }
}

} // namespace
} // namespace varnel

// A load feeds the reader the file in pieces as it reads them: any split of the same bytes,
// through the header and through records, must give what the bytes give whole.
TEST(EFileParser, PiecesOfAnySizeGiveTheWholeResult) {
    auto check = [](auto parser, const Bytes& data, std::size_t piece) {
        const auto whole = [&] {
            auto p = parser;
            p.feed(data);
            return p.finish();
        }();
        for (std::size_t at = 0; at < data.size(); at += piece)
            parser.feed(
                std::span<const std::uint8_t>(data).subspan(at, std::min(piece, data.size() - at)));
        EXPECT_EQ(parser.size(), data.size());
        const auto parsed = parser.finish();
        EXPECT_EQ(parsed.count, whole.count) << "piece " << piece;
        EXPECT_EQ(parsed.supplied, whole.supplied) << "piece " << piece;
        EXPECT_EQ(parsed.trailing, whole.trailing) << "piece " << piece;
        ASSERT_EQ(parsed.units.size(), whole.units.size());
        for (std::size_t i = 0; i < parsed.units.size(); ++i)
            ASSERT_EQ(parsed.units[i].record.bytes, whole.units[i].record.bytes)
                << "piece " << piece << " unit " << i;
    };
    for (const bool pg2 : {true, false}) {
        const Bytes file = pg2 ? test::MakePg2EFile(5) : test::MakePegEFile(5);
        const std::size_t record = pg2 ? pg2::kRecordSize : peg::kRecordSize;
        std::vector<Bytes> variants = {file, Bytes(file.begin(), file.end() - 30), Bytes(1, 7), {}};
        variants.push_back(file);
        variants.back().insert(variants.back().end(), 11, 0xEE); // bytes after the last unit
        for (const Bytes& data : variants)
            for (std::size_t piece = 1; piece <= 2 * record + 3; ++piece) {
                if (pg2)
                    check(Pg2EFileParser(), data, piece);
                else
                    check(PegEFileParser(), data, piece);
            }
        // The whole result itself, for the cut file: four units held, the fifth zero.
        const auto cut = ParsePegEFile(Bytes(file.begin(), file.end() - 30));
        if (!pg2) {
            EXPECT_EQ(cut.supplied, 4u);
            EXPECT_EQ(cut.units.size(), 5u);
            EXPECT_EQ(cut.units[4].record.bytes, PegUnitRecord().bytes);
        }
    }
}

} // namespace
} // namespace varnel
