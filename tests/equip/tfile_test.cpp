#include "equip/tfile.h"

#include "tests/support/equipfixture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace varnel {
namespace {

using test::EquipEnv;
using test::MakeTFile;
using test::WriteFile;

NameTable parse(const std::string& text, int entries) {
    NameTable table(entries);
    ParseTFile(Bytes(text.begin(), text.end()), table);
    return table;
}

TEST(ParseTFile, Pg2ReadsTwentySixLinesOnly) {
    const NameTable t = parse(MakeTFile(100), 27);
    EXPECT_EQ(t.count(), 27);
    EXPECT_EQ(t.name(0), "None");
    EXPECT_EQ(t.name(1), "Country 1");
    EXPECT_EQ(t.name(26), "Country 26");
    EXPECT_EQ(t.name(27), "") << "outside the table";
    EXPECT_EQ(t.name(-1), "");
}

TEST(ParseTFile, ShortPegFileLeavesTheRestEmpty) {
    const NameTable t = parse(MakeTFile(5), 21);
    EXPECT_EQ(t.count(), 6);
    EXPECT_EQ(t.name(5), "Country 5");
    EXPECT_EQ(t.name(6), "");
    EXPECT_EQ(t.name(20), "");
    EXPECT_EQ(parse("", 21).count(), 1);
}

TEST(ParseTFile, LongLinesAreCutAndTheirRestIsNotTheNextCountry) {
    const std::string longLine = std::string(34, 'A') + "REST OF THE LINE";
    const NameTable t = parse(longLine + "\r\nSecond\nThird \xE9\xC4\r\n", 21);
    EXPECT_EQ(t.name(1), std::string(34, 'A'));
    EXPECT_EQ(t.name(2), "Second");
    EXPECT_EQ(t.name(3), "Third \xE9\xC4");
    EXPECT_EQ(t.count(), 4);
}

TEST(ParseTFile, RefillingClearsTheOldNames) {
    NameTable t(27);
    ParseTFile(Bytes{'a', '\n', 'b', '\n'}, t);
    const std::string one = "x\n";
    ParseTFile(Bytes(one.begin(), one.end()), t);
    EXPECT_EQ(t.count(), 2);
    EXPECT_EQ(t.name(2), "");
}

TEST(NameTable, SetNameStaysInsideTheTable) {
    NameTable t(3);
    t.setName(5, "far");
    t.setName(2, std::string(50, 'n'));
    EXPECT_EQ(t.name(2).size(), NameTable::kMaxNameLength);
    EXPECT_EQ(t.name(5), "");
}

// ---- The folder search and the chooser ----

class TFileSearchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        env.state.settings().eFile(Game::Pg2) = env.dir.file("x/EQUIP97.EQP");
        env.state.settings().dir(Game::Pg2) = env.dir.dir() + "main/";
        env.state.settings().altDir(Game::Pg2) = env.dir.dir() + "alt/";
        for (const char* sub : {"x", "main", "alt"})
            fs::create_directory(env.dir.path() / sub);
    }
    void put(const std::string& folder, const std::string& first, const char* suffix = ".txt") {
        WriteFile(env.dir.file(folder + "/GUI97" + suffix), first + "\r\n");
    }
    EquipEnv env;
};

TEST_F(TFileSearchTest, EFileFolderComesFirst) {
    put("x", "from x");
    put("main", "from main");
    LoadTFile(env.state, Game::Pg2, "");
    EXPECT_EQ(env.state.countries(Game::Pg2).name(1), "from x");
    EXPECT_EQ(env.state.settings().tFile(Game::Pg2), env.dir.file("x/GUI97.txt"));
}

TEST_F(TFileSearchTest, AlternativeFolderIsTakenWithoutAsking) {
    put("alt", "from alt");
    LoadTFile(env.state, Game::Pg2, "");
    EXPECT_EQ(env.state.countries(Game::Pg2).name(1), "from alt");
    EXPECT_EQ(env.state.countries(Game::Pg2).count(), 2);
}

TEST_F(TFileSearchTest, SuffixSelectsTheLanguage) {
    put("main", "english");
    put("main", "francais", ".fra");
    env.state.settings().textSuffix = ".fra";
    LoadTFile(env.state, Game::Pg2, "");
    EXPECT_EQ(env.state.countries(Game::Pg2).name(1), "francais");
}

TEST_F(TFileSearchTest, CancelEmptiesTheTableAndThePath) {
    NameTable old(pg2::kCountryCount);
    old.setName(1, "old");
    old.setCount(2);
    env.state.setCountries(Game::Pg2, std::move(old));
    env.ui.expectFileDialog("Select PG2 GUI97.txt", std::nullopt)
        .expectInformation("file [" + env.dir.dir() +
                           "alt/GUI97.txt]\nnot found\nyou'll not see PG2 Nation's names");
    LoadTFile(env.state, Game::Pg2, "");
    EXPECT_EQ(env.state.countries(Game::Pg2).count(), 0);
    EXPECT_EQ(env.state.countries(Game::Pg2).name(1), "");
    EXPECT_EQ(env.state.settings().tFile(Game::Pg2), "");
}

TEST_F(TFileSearchTest, PegCancelNamesPegAndChosenFileIsRead) {
    const std::string given = env.dir.file("given.txt");
    env.ui.expectFileDialog("Select PeG GUI97.txt", std::nullopt)
        .expectInformation("file [" + given + "]\nnot found\nyou'll not see PeG Nation's names");
    LoadTFile(env.state, Game::Peg, given);
    EXPECT_EQ(env.state.countries(Game::Peg).count(), 0);

    const std::string chosen = env.dir.file("main/mine.txt");
    WriteFile(chosen, MakeTFile(30));
    env.ui.expectFileDialog("Select PeG GUI97.txt", chosen);
    LoadTFile(env.state, Game::Peg, given);
    EXPECT_EQ(env.state.countries(Game::Peg).count(), 21);
    EXPECT_EQ(env.state.settings().tFile(Game::Peg), chosen);
}

} // namespace
} // namespace varnel
