#include "base/paths.h"

#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace varnel {
namespace {

struct PathPartCase {
    const char* path;
    int part;
    const char* expected;
};

class GetPathPartTest : public ::testing::TestWithParam<PathPartCase> {};

TEST_P(GetPathPartTest, Splits) {
    const auto& c = GetParam();
    EXPECT_EQ(GetPathPart(c.path, c.part), c.expected) << c.path << " part " << c.part;
}

INSTANTIATE_TEST_SUITE_P(
    WindowsAndNative, GetPathPartTest,
    ::testing::Values(PathPartCase{"C:\\PANZER2\\EQUIP97.EQP", 0, "C:\\PANZER2\\"},
                      PathPartCase{"C:\\PANZER2\\EQUIP97.EQP", 1, "EQUIP97"},
                      PathPartCase{"C:\\PANZER2\\EQUIP97.EQP", 2, ".EQP"},
                      PathPartCase{"C:\\PANZER2\\EQUIP97.EQP", 3, "EQUIP97.EQP"},
                      PathPartCase{"C:\\PANZER2\\EQUIP97.EQP", 4, "C:\\PANZER2\\EQUIP97"},
                      PathPartCase{"C:\\PANZER2\\EQUIP97.EQP", 5, "C:\\PANZER2\\EQUIP97.EQP"},
                      PathPartCase{"C:\\PANZER2\\EQUIP97.EQP", 7, "C:\\PANZER2\\EQUIP97.EQP"},
                      PathPartCase{"C:\\PANZER2\\", 0, "C:\\PANZER2\\"},
                      PathPartCase{"C:\\PANZER2\\", 3, ""}, PathPartCase{"1001.wav", 0, ""},
                      PathPartCase{"1001.wav", 1, "1001"}, PathPartCase{"A.B.TXT", 1, "A.B"},
                      PathPartCase{"A.B.TXT", 2, ".TXT"},
                      PathPartCase{"/home/u/game.d/EQUIP97", 1, "EQUIP97"},
                      PathPartCase{"/home/u/game.d/EQUIP97", 2, ""},
                      PathPartCase{"C:/mixed\\sep/x.txt", 0, "C:/mixed\\sep/"},
                      PathPartCase{"D:x.txt", 0, "D:"}));

TEST(ShortenPath, FollowsTheDisplayRules) {
    EXPECT_EQ(ShortenPath("C:\\GAMES\\PANZER2\\EQUIP97.EQP", 20), "..\\PANZER2\\EQUIP97.EQP");
    EXPECT_EQ(ShortenPath("C:\\GAMES\\PANZER2\\EQUIP97.EQP", 50),
              "C:\\GAMES\\PANZER2\\EQUIP97.EQP");
    EXPECT_EQ(ShortenPath("C:\\GAMES\\PANZER2\\EQUIP97.EQP", 5), "EQUIP97.EQP");
    // No separator in the positions that would be cut: the path is kept whole.
    EXPECT_EQ(ShortenPath("C:ABCDEFGHIJKLMNOPQRSTUVWXYZ\\a.b", 30),
              "C:ABCDEFGHIJKLMNOPQRSTUVWXYZ\\a.b");
}

TEST(FileExists, ResolvesLetterCaseAndRefusesPatterns) {
    test::TempDir dir;
    std::filesystem::create_directories(dir.path() / "Panzer2" / "Wavs");
    test::WriteFile((dir.path() / "Panzer2" / "Equip97.eqp").string(), std::string("x"));
    EXPECT_TRUE(FileExists(dir.file("Panzer2/Equip97.eqp")));
    EXPECT_TRUE(FileExists(dir.file("PANZER2/EQUIP97.EQP")));
    EXPECT_EQ(ResolvePath(dir.file("PANZER2/EQUIP97.EQP")), dir.file("Panzer2/Equip97.eqp"));
    EXPECT_TRUE(FileExists(dir.file("panzer2/WAVS")));
    EXPECT_FALSE(FileExists(dir.file("PANZER2/*.EQP")));
    EXPECT_FALSE(FileExists(dir.file("PANZER2/missing.eqp")));
    EXPECT_FALSE(FileExists(""));
    // A missing file keeps its name under the folder that could be resolved.
    EXPECT_EQ(ResolvePath(dir.file("PANZER2/new.txt")), dir.file("Panzer2/new.txt"));
}

} // namespace
} // namespace varnel
