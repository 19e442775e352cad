#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

namespace varnel {
namespace {

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(CliInfo, DescribesBothSampleEFiles) {
    test::TempDir dir;
    const auto samples = test::RunCli({"samples", dir.dir() + "s"});
    ASSERT_EQ(samples.exitCode, 0) << samples.err;

    const auto pg2 = test::RunCli({"info", dir.dir() + "s/pg2/EQUIP97.EQP"});
    EXPECT_EQ(pg2.exitCode, 0) << pg2.err;
    EXPECT_TRUE(contains(pg2.out, "Game: PG2\n")) << pg2.out;
    EXPECT_TRUE(contains(pg2.out, "Units: 40\n")) << pg2.out;
    EXPECT_TRUE(contains(pg2.out, "Names E-File: " + dir.dir() + "s/pg2/EQUIP97.txt\n"));
    EXPECT_TRUE(contains(pg2.out, "T-File: " + dir.dir() + "s/pg2/GUI97.txt\n"));
    EXPECT_TRUE(contains(pg2.out, "Countries read: 27\n")) << pg2.out;

    const auto peg = test::RunCli({"info", dir.dir() + "s/peg/EQUIP97.EQP"});
    EXPECT_EQ(peg.exitCode, 0) << peg.err;
    EXPECT_TRUE(contains(peg.out, "Game: PeG\n")) << peg.out;
    EXPECT_TRUE(contains(peg.out, "Countries read: 21\n")) << peg.out;
}

TEST(CliInfo, RefusesWhatItCannotRead) {
    test::TempDir dir;
    // 2 + 73 * 74 bytes fit both record sizes: the game must be named.
    test::WriteFile(dir.file("both.eqp"), Bytes(2 + 73 * 74, 0));
    auto r = test::RunCli({"info", dir.file("both.eqp")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(contains(r.err, "--game")) << r.err;
    EXPECT_TRUE(r.out.empty());

    test::WriteFile(dir.file("odd.eqp"), Bytes(5, 0));
    r = test::RunCli({"info", dir.file("odd.eqp")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(contains(r.err, "fits neither game")) << r.err;

    r = test::RunCli({"info", dir.file("missing.eqp")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(contains(r.err, "not found")) << r.err;

    r = test::RunCli({"info", dir.file("odd.eqp"), "--game", "xyz"});
    EXPECT_EQ(r.exitCode, 1);
    r = test::RunCli({"info"});
    EXPECT_EQ(r.exitCode, 1);
    r = test::RunCli({"frobnicate"});
    EXPECT_EQ(r.exitCode, 1);
    r = test::RunCli({"info", "--help"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(contains(r.out, "Usage: varnel-cli info")) << r.out;
}

TEST(CliInfo, WithoutATFileWarnsAndGoesOn) {
    test::TempDir dir;
    ASSERT_EQ(test::RunCli({"samples", dir.dir() + "s"}).exitCode, 0);
    std::filesystem::remove(dir.path() / "s" / "pg2" / "GUI97.txt");
    const auto r = test::RunCli({"info", dir.dir() + "s/pg2/EQUIP97.EQP"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(contains(r.out, "Countries read: 0\n")) << r.out;
    EXPECT_TRUE(contains(r.err, "warning: no T-File found")) << r.err;

    // Nor is one taken from the folder the command runs in.
    std::filesystem::create_directory(dir.path() / "work");
    test::WriteFile(dir.file("work/GUI97.txt"), std::string("Elsewhere\r\n"));
    const auto w = test::RunCli({"info", dir.dir() + "s/pg2/EQUIP97.EQP"}, dir.dir() + "work");
    EXPECT_EQ(w.exitCode, 0) << w.err;
    EXPECT_TRUE(contains(w.out, "Countries read: 0\n")) << w.out;

    // --tfile answers where the editor would ask.
    test::WriteFile(dir.file("names.txt"), std::string("A\r\nB\r\n"));
    const auto t =
        test::RunCli({"info", dir.dir() + "s/pg2/EQUIP97.EQP", "--tfile", dir.file("names.txt")});
    EXPECT_EQ(t.exitCode, 0) << t.err;
    EXPECT_TRUE(contains(t.out, "Countries read: 3\n")) << t.out;
}

} // namespace
} // namespace varnel
