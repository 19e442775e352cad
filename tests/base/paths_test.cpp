#include "base/paths.h"

#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <utility>
#include <vector>

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
    ::testing::Values(
        PathPartCase{"C:\\PANZER2\\EQUIP97.EQP", 0, "C:\\PANZER2\\"},
        PathPartCase{"C:\\PANZER2\\EQUIP97.EQP", 1, "EQUIP97"},
        PathPartCase{"C:\\PANZER2\\EQUIP97.EQP", 2, ".EQP"},
        PathPartCase{"C:\\PANZER2\\EQUIP97.EQP", 3, "EQUIP97.EQP"},
        PathPartCase{"C:\\PANZER2\\EQUIP97.EQP", 4, "C:\\PANZER2\\EQUIP97"},
        PathPartCase{"C:\\PANZER2\\EQUIP97.EQP", 5, "C:\\PANZER2\\EQUIP97.EQP"},
        PathPartCase{"C:\\PANZER2\\EQUIP97.EQP", 7, "C:\\PANZER2\\EQUIP97.EQP"},
        PathPartCase{"C:\\PANZER2\\", 0, "C:\\PANZER2\\"}, PathPartCase{"C:\\PANZER2\\", 3, ""},
        PathPartCase{"1001.wav", 0, ""}, PathPartCase{"1001.wav", 1, "1001"},
        PathPartCase{"A.B.TXT", 1, "A.B"}, PathPartCase{"A.B.TXT", 2, ".TXT"},
        PathPartCase{"/home/u/game.d/EQUIP97", 1, "EQUIP97"},
        PathPartCase{"/home/u/game.d/EQUIP97", 2, ""},
        PathPartCase{"C:/mixed\\sep/x.txt", 0, "C:/mixed\\sep/"}, PathPartCase{"D:x.txt", 0, "D:"},
        // UNC paths: the server and share are folders like any other.
        PathPartCase{"\\\\server\\share\\PG2\\EQUIP97.EQP", 0, "\\\\server\\share\\PG2\\"},
        PathPartCase{"\\\\server\\share\\PG2\\EQUIP97.EQP", 4, "\\\\server\\share\\PG2\\EQUIP97"},
        PathPartCase{"//server/share/EQUIP97.EQP", 3, "EQUIP97.EQP"},
        PathPartCase{"Z:\\tmp\\game.d\\GUI97", 1, "GUI97"}));

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
#ifdef _WIN32
    EXPECT_TRUE(FileExists(dir.file("PANZER2\\Equip97.EQP")));
    // The file system itself ignores letter case: the path exists as it is spelled.
    EXPECT_EQ(ResolvePath(dir.file("PANZER2/EQUIP97.EQP")), dir.file("PANZER2/EQUIP97.EQP"));
#else
    EXPECT_EQ(ResolvePath(dir.file("PANZER2/EQUIP97.EQP")), dir.file("Panzer2/Equip97.eqp"));
#endif
    EXPECT_TRUE(FileExists(dir.file("panzer2/WAVS")));
    EXPECT_FALSE(FileExists(dir.file("PANZER2/*.EQP")));
    EXPECT_FALSE(FileExists(dir.file("PANZER2/missing.eqp")));
    EXPECT_FALSE(FileExists(""));
    // A missing file keeps its name under the folder that could be resolved.
#ifndef _WIN32
    EXPECT_EQ(ResolvePath(dir.file("PANZER2/new.txt")), dir.file("Panzer2/new.txt"));
#endif
}

// Where the journal and the backups go, by the environment. Windows also takes its own absolute
// forms and falls back on %LOCALAPPDATA%.
struct UserFolderCase {
    const char* name;
    const char* xdg;   // XDG_STATE_HOME, nullptr: unset
    const char* local; // LOCALAPPDATA, nullptr: unset
    const char* home;
    const char* expected;
};

class UserFolder : public ::testing::TestWithParam<UserFolderCase> {
  protected:
    void TearDown() override {
        for (const auto& [name, value] : saved_) {
            if (value)
                ::setenv(name, value->c_str(), 1);
            else
                ::unsetenv(name);
        }
    }
    void set(const char* name, const char* value) {
        const char* old = std::getenv(name);
        saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }

  private:
    std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

TEST_P(UserFolder, FollowsTheEnvironment) {
    const auto& c = GetParam();
    set("XDG_STATE_HOME", c.xdg);
    set("LOCALAPPDATA", c.local);
    set("HOME", c.home);
    EXPECT_EQ(UserStateFolder(), c.expected);
}

#ifdef _WIN32
INSTANTIATE_TEST_SUITE_P(
    Windows, UserFolder,
    ::testing::Values(
        UserFolderCase{"DriveXdg", "D:\\state", "C:\\Local", nullptr, "D:\\state\\varnel\\"},
        UserFolderCase{"UncXdg", "\\\\srv\\st", nullptr, nullptr, "\\\\srv\\st\\varnel\\"},
        UserFolderCase{"RelativeXdgIgnored", "state", "C:\\Local", nullptr, "C:\\Local\\varnel\\"},
        UserFolderCase{"LocalBeforeHome", nullptr, "C:\\Local", "C:\\Home", "C:\\Local\\varnel\\"},
        UserFolderCase{"HomeWithoutLocal", nullptr, nullptr, "C:\\Home",
                       "C:\\Home/.local/state\\varnel\\"}),
    [](const auto& info) { return std::string(info.param.name); });
#else
INSTANTIATE_TEST_SUITE_P(
    Native, UserFolder,
    ::testing::Values(UserFolderCase{"AbsoluteXdg", "/s", nullptr, "/h", "/s/varnel/"},
                      UserFolderCase{"RelativeXdgIgnored", "s", nullptr, "/h",
                                     "/h/.local/state/varnel/"},
                      UserFolderCase{"WindowsFormIsNotAbsoluteHere", "C:\\s", "/l", "/h",
                                     "/h/.local/state/varnel/"},
                      UserFolderCase{"NoHome", nullptr, nullptr, nullptr, "./varnel/"}),
    [](const auto& info) { return std::string(info.param.name); });
#endif

} // namespace
} // namespace varnel
