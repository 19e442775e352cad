#include "base/fileio.h"
#include "base/textlines.h"

#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace varnel {
namespace {

TEST(SaveFileBytes, ReplacesTheTargetAndLeavesNoTemporaryFile) {
    test::TempDir dir;
    const std::string path = dir.file("out.bin");
    test::WriteFile(path, std::string("old contents"));
    ASSERT_TRUE(SaveFileBytes(path, Bytes{1, 2, 3}));
    EXPECT_EQ(test::ReadFile(path), (Bytes{1, 2, 3}));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(SaveFileBytes, SavesOverAnExistingFileOfAnotherLetterCase) {
    test::TempDir dir;
    test::WriteFile(dir.file("Equip97.eqp"), std::string("old"));
    ASSERT_TRUE(SaveFileBytes(dir.file("EQUIP97.EQP"), Bytes{'n'}));
    EXPECT_EQ(test::ReadText(dir.file("Equip97.eqp")), "n");
    // One file, not a second one beside it (on Windows both spellings name the same file).
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
#ifndef _WIN32
    EXPECT_FALSE(fs::exists(dir.path() / "EQUIP97.EQP"));
#endif
}

TEST(SaveFileBytes, RefusedTargetsKeepTheOldBytes) {
    test::TempDir dir;
    EXPECT_FALSE(SaveFileBytes(dir.file("no/such/folder/x.bin"), Bytes{1}));
    fs::create_directory(dir.path() / "folder");
    EXPECT_FALSE(SaveFileBytes(dir.file("folder"), Bytes{1}));
    EXPECT_TRUE(fs::is_directory(dir.path() / "folder"));
    EXPECT_FALSE(SaveFileBytes("", Bytes{1}));

    if (test::PermissionsIgnored())
        GTEST_SKIP() << "permission bits stop no write for this user";
    const std::string ro = dir.file("readonly.bin");
    test::WriteFile(ro, std::string("keep"));
    fs::permissions(ro, fs::perms::owner_read, fs::perm_options::replace);
    EXPECT_FALSE(SaveFileBytes(ro, Bytes{1}));
    EXPECT_EQ(test::ReadText(ro), "keep");
}

TEST(ReadFileBytes, MissingAndFolderGiveNothing) {
    test::TempDir dir;
    EXPECT_FALSE(ReadFileBytes(dir.file("missing")));
    EXPECT_FALSE(ReadFileBytes(dir.dir()));
    test::WriteFile(dir.file("empty"), std::string());
    EXPECT_EQ(ReadFileBytes(dir.file("EMPTY")), Bytes{});
}

// The reason the editor prints for a command-line file it cannot open.
TEST(ReadFailure, NamesTheReasonOrNothing) {
    test::TempDir dir;
    test::WriteFile(dir.file("Equip97.eqp"), std::string("x"));
    EXPECT_EQ(ReadFailure(dir.file("EQUIP97.EQP")), "");
    EXPECT_EQ(ReadFailure(dir.file("missing")), "No such file or directory");
    EXPECT_EQ(ReadFailure(dir.dir()), "Is a directory");
    EXPECT_EQ(ReadFailure(""), "No such file or directory");
#ifdef _WIN32
    // Windows tells no file below a file from a missing one, has no devices in its folders and
    // no permission that stops a read.
    EXPECT_EQ(ReadFailure(dir.file("Equip97.eqp/below")), "No such file or directory");
    GTEST_SKIP() << "no permission stops a read on Windows";
#else
    EXPECT_EQ(ReadFailure(dir.file("Equip97.eqp/below")), "Not a directory");
    EXPECT_EQ(ReadFailure("/dev/null"), "not a regular file");
#endif

    if (test::PermissionsIgnored())
        GTEST_SKIP() << "permission bits stop no read for this user";
    const std::string locked = dir.file("locked.eqp");
    test::WriteFile(locked, std::string("x"));
    fs::permissions(locked, fs::perms::none, fs::perm_options::replace);
    EXPECT_EQ(ReadFailure(locked), "Permission denied");
}

TEST(LineReader, AcceptsCrLfAndLfAndKeepsLongAndLastLinesWhole) {
    const std::string longLine(5000, 'x');
    const std::string text = "a\r\nb\n\r\n" + longLine + "\r\nlast \xE9";
    const auto lines = SplitLines(Bytes(text.begin(), text.end()));
    EXPECT_EQ(lines, (std::vector<std::string>{"a", "b", "", longLine, "last \xE9"}));
    EXPECT_TRUE(SplitLines(Bytes{}).empty());
    // A lone CR inside a line is data, not a line end.
    const std::string cr = "a\rb\n";
    EXPECT_EQ(SplitLines(Bytes(cr.begin(), cr.end())), (std::vector<std::string>{"a\rb"}));
    Bytes out;
    AppendLine(out, "x");
    EXPECT_EQ(out, (Bytes{'x', '\r', '\n'}));
}

} // namespace
} // namespace varnel
