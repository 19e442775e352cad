#include "tests/cli/bulkcli_support.h"

#include <filesystem>

namespace varnel {
namespace {

// to-csv then from-csv of an unchanged file: nothing to change, nothing written, the files as
// they were; the CSV is the one the editor's export writes.
TEST(CliCsv, RoundTripOfBothGamesChangesNothing) {
    test::TempDir dir;
    const std::string s = test::MakeSamples(dir);
    for (const char* game : {"pg2", "peg"}) {
        const std::string input = s + game + "/EQUIP97.EQP";
        const Bytes eFile = test::ReadFile(input);
        const Bytes names = test::ReadFile(s + game + "/EQUIP97.txt");
        auto r = test::RunCli({"to-csv", input});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        const std::string csv = s + game + "/EQUIP97.csv";
        ASSERT_TRUE(std::filesystem::exists(csv));

        r = test::RunCli({"from-csv", input, csv, "-o", s + game + "/OUT.EQP"});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_NE(r.out.find("0 changes in 0 units, 0 new units, 0 refused"), std::string::npos)
            << r.out;
        EXPECT_EQ(test::ReadFile(s + game + "/OUT.EQP"), eFile);
        EXPECT_EQ(test::ReadFile(s + game + "/OUT.txt"), names);
        EXPECT_EQ(test::ReadFile(input), eFile);
    }
}

TEST(CliCsv, ToCsvReplacesAFileOnlyWithOverwrite) {
    test::TempDir dir;
    const std::string s = test::MakeSamples(dir);
    const std::string out = dir.file("units.csv");
    test::WriteFile(out, std::string("keep"));
    auto r = test::RunCli({"to-csv", s + "peg/EQUIP97.EQP", "-o", out});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("--overwrite"), std::string::npos) << r.err;
    EXPECT_EQ(test::ReadText(out), "keep");
    r = test::RunCli({"to-csv", s + "peg/EQUIP97.EQP", "-o", out, "--overwrite"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(test::ReadText(out).starts_with("\xEF\xBB\xBF"
                                                "code,denomination,"));
}

struct FromCsvCase {
    const char* name;
    std::vector<std::string> flags;
    std::string csv;
    int exitCode;
    bool written;
    const char* says; // on stdout
};

class CliFromCsv : public ::testing::TestWithParam<FromCsvCase> {};

TEST_P(CliFromCsv, WritesOnlyWhenNothingIsRefused) {
    const FromCsvCase& c = GetParam();
    test::TempDir dir;
    const std::string s = test::MakeSamples(dir);
    const std::string input = s + "peg/EQUIP97.EQP";
    const Bytes before = test::ReadFile(input);
    const Bytes namesBefore = test::ReadFile(s + "peg/EQUIP97.txt");
    test::WriteFile(dir.file("in.csv"), c.csv);
    std::vector<std::string> args = {"from-csv", input, dir.file("in.csv")};
    args.insert(args.end(), c.flags.begin(), c.flags.end());
    const auto r = test::RunCli(args);
    EXPECT_EQ(r.exitCode, c.exitCode) << r.out << r.err;
    EXPECT_NE(r.out.find(c.says), std::string::npos) << r.out << r.err;
    const bool changed =
        test::ReadFile(input) != before || test::ReadFile(s + "peg/EQUIP97.txt") != namesBefore;
    EXPECT_EQ(changed, c.written);
}

INSTANTIATE_TEST_SUITE_P(
    Csv, CliFromCsv,
    ::testing::Values(
        FromCsvCase{"Applied",
                    {},
                    "code,Cost,denomination\r\n2,500,Leo\r\n",
                    0,
                    true,
                    "unit 2 Leopard 2A6: Name Leopard 2A6 -> Leo"},
        FromCsvCase{
            "DryRun", {"--dry-run"}, "code,cost\r\n2,500\r\n", 0, false, "1 changes in 1 units"},
        FromCsvCase{"Refused",
                    {},
                    "code,cost,airAtk\r\n2,500,7\r\n3,x,7\r\n",
                    1,
                    false,
                    "line 3, column cost, value \"x\": Please enter an integer."},
        FromCsvCase{
            "NewUnitWithoutAppend", {}, "code,cost\r\n40,500\r\n", 1, false, "past the last unit"},
        FromCsvCase{"NewUnitAppended",
                    {"--append"},
                    "code,denomination\r\n40,New\r\n",
                    0,
                    true,
                    "new unit 40 New"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CliCsv, DamagedFilesNameTheLineAndWriteNothing) {
    test::TempDir dir;
    const std::string s = test::MakeSamples(dir);
    const std::string input = s + "pg2/EQUIP97.EQP";
    const Bytes before = test::ReadFile(input);
    test::WriteFile(dir.file("bad.csv"), std::string("code,cost\r\n1,\"12\r\n2,13\r\n"));
    const auto r = test::RunCli({"from-csv", input, dir.file("bad.csv")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("line 2: a quoted cell is never closed"), std::string::npos) << r.err;
    EXPECT_EQ(test::ReadFile(input), before);
}

} // namespace
} // namespace varnel
