#include "tests/cli/bulkcli_support.h"

#include <cstdlib>
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

// The program on PATH of that name, or empty.
std::string OnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "";
    std::size_t begin = 0;
    while (begin <= folders.size()) {
        std::size_t end = folders.find(':', begin);
        if (end == std::string::npos)
            end = folders.size();
        const std::filesystem::path candidate =
            std::filesystem::path(folders.substr(begin, end - begin)) / name;
        if (end > begin && std::filesystem::exists(candidate))
            return candidate.string();
        begin = end + 1;
    }
    return {};
}

// A real spreadsheet in between: LibreOffice Calc, headless, opens to-csv's file (UTF-8, comma,
// quotes) and saves it as CSV again; from-csv finds nothing to change.
TEST(CliCsv, LibreOfficeRoundTripChangesNothing) {
    const std::string soffice = OnPath("soffice");
    if (soffice.empty())
        GTEST_SKIP() << "soffice is not installed: the LibreOffice round trip was skipped";
    test::TempDir dir;
    const std::string s = test::MakeSamples(dir);
    for (const char* game : {"pg2", "peg"}) {
        const std::string input = s + game + "/EQUIP97.EQP";
        ASSERT_EQ(test::RunCli({"to-csv", input}).exitCode, 0);
        const std::string out = dir.file(std::string("calc-") + game);
        std::filesystem::create_directories(out);
        // Comma, double quote, UTF-8 (76), from line 1; a profile of its own in the folder.
        const std::string command =
            "'" + soffice + "' --headless --norestore '-env:UserInstallation=file://" +
            dir.file("profile") + "' --infilter=CSV:44,34,76,1 --convert-to " +
            "'csv:Text - txt - csv (StarCalc):44,34,76,1' --outdir '" + out + "' '" + s + game +
            "/EQUIP97.csv' >/dev/null 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        const auto r = test::RunCli({"from-csv", input, out + "/EQUIP97.csv", "--dry-run"});
        EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
        EXPECT_NE(r.out.find("0 changes in 0 units, 0 new units, 0 refused"), std::string::npos)
            << r.out;
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

// to-csv never writes over the files it reads, whatever the options and however the path is
// spelled: the CSV text would destroy the E-File or its names.
struct SourceCase {
    const char* name;
    const char* output; // relative to the PG2 sample folder
    const char* names;  // the Names E-File to expect in the message
};

class CliToCsvSource : public ::testing::TestWithParam<SourceCase> {};

TEST_P(CliToCsvSource, IsNeverReplaced) {
    const SourceCase& c = GetParam();
    test::TempDir dir;
    const std::string s = test::MakeSamples(dir);
    const std::string folder = s + "pg2/";
    const Bytes eFile = test::ReadFile(folder + "EQUIP97.EQP");
    const Bytes names = test::ReadFile(folder + "EQUIP97.txt");
    const auto r =
        test::RunCli({"to-csv", folder + "EQUIP97.EQP", "-o", folder + c.output, "--overwrite"});
    EXPECT_EQ(r.exitCode, 1) << r.out;
    EXPECT_NE(r.err.find(std::string("is the ") + c.names + " the units are read from"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(test::ReadFile(folder + "EQUIP97.EQP"), eFile);
    EXPECT_EQ(test::ReadFile(folder + "EQUIP97.txt"), names);
}

INSTANTIATE_TEST_SUITE_P(
    Csv, CliToCsvSource,
    ::testing::Values(SourceCase{"TheEFile", "EQUIP97.EQP", "E-File"},
                      SourceCase{"TheEFileInOtherCase", "equip97.eqp", "E-File"},
                      SourceCase{"TheEFileByAnotherPath", "../pg2/./EQUIP97.EQP", "E-File"},
                      SourceCase{"TheNamesEFile", "EQUIP97.txt", "Names E-File"},
                      SourceCase{"TheNamesEFileInOtherCase", "Equip97.TXT", "Names E-File"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CliCsv, ToCsvIsNeverOverALinkToItsEFile) {
    test::TempDir dir;
    const std::string s = test::MakeSamples(dir);
    const std::string input = s + "pg2/EQUIP97.EQP";
    const Bytes eFile = test::ReadFile(input);
    std::filesystem::create_hard_link(input, dir.file("linked.csv"));
    const auto r = test::RunCli({"to-csv", input, "-o", dir.file("linked.csv"), "--overwrite"});
    EXPECT_EQ(r.exitCode, 1) << r.out;
    EXPECT_EQ(test::ReadFile(input), eFile);
}

// from-csv -o replaces an existing file only when asked, and never the CSV file it reads.
TEST(CliCsv, FromCsvReplacesAnOutputOnlyWithOverwriteAndNeverItsInput) {
    test::TempDir dir;
    const std::string s = test::MakeSamples(dir);
    const std::string input = s + "peg/EQUIP97.EQP";
    const std::string csv = dir.file("in.csv");
    const std::string csvText = "code,cost\r\n2,500\r\n";
    test::WriteFile(csv, csvText);
    const std::string other = dir.file("other.eqp");
    test::WriteFile(other, std::string("keep"));

    auto r = test::RunCli({"from-csv", input, csv, "-o", other});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("exists; nothing written (--overwrite replaces it)"), std::string::npos)
        << r.err;
    EXPECT_EQ(test::ReadText(other), "keep");

    for (const std::string& target : {csv, dir.file("IN.CSV")}) {
        r = test::RunCli({"from-csv", input, csv, "-o", target, "--overwrite"});
        EXPECT_EQ(r.exitCode, 1) << target;
        EXPECT_NE(r.err.find("the CSV file it reads"), std::string::npos) << r.err;
        EXPECT_EQ(test::ReadText(csv), csvText);
    }
    // Its Names E-File would be the CSV file: refused as well.
    r = test::RunCli({"from-csv", input, csv, "-o", dir.file("in.eqp"), "--suffix", ".csv"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(test::ReadText(csv), csvText);

    r = test::RunCli({"from-csv", input, csv, "-o", other, "--overwrite"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(test::ReadText(other), "keep");
    // A new file needs no --overwrite.
    r = test::RunCli({"from-csv", input, csv, "-o", dir.file("new.eqp")});
    EXPECT_EQ(r.exitCode, 0) << r.err;
}

// The summary says what a save does to the Names E-File besides the names: the dry run too.
TEST(CliCsv, FromCsvSaysWhatTheSaveDoesToTheNamesEFile) {
    test::TempDir dir;
    const std::string s = test::MakeSamples(dir);
    const std::string input = s + "peg/EQUIP97.EQP";
    const std::string names = s + "peg/EQUIP97.txt";
    test::WriteFile(dir.file("in.csv"), std::string("code,cost\r\n2,500\r\n"));
    auto r = test::RunCli({"from-csv", input, dir.file("in.csv"), "--dry-run"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.find("Saving rewrites"), std::string::npos) << r.out;

    // LF line ends and two lines past the last unit.
    std::string text = test::ReadText(names);
    std::string lf;
    std::size_t lines = 0;
    for (const char c : text)
        if (c != '\r') {
            lf += c;
            lines += c == '\n' ? 1 : 0;
        }
    test::WriteFile(names, lf + "Spare\nSpare\n");
    r = test::RunCli({"from-csv", input, dir.file("in.csv"), "--dry-run"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Saving rewrites the Names E-File " + names +
                         ": its 2 lines past the last unit are dropped and its " +
                         std::to_string(lines + 2) + " LF line ends become CR LF."),
              std::string::npos)
        << r.out;
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
        FromCsvCase{"SkipRefusedRows",
                    {"--skip-refused"},
                    "code,cost,airAtk\r\n2,500,7\r\n3,x,7\r\n4,505,7\r\n",
                    0,
                    true,
                    "Left out 2 refused rows (lines 3 4); the other rows are applied."},
        FromCsvCase{"SkipRefusedDryRun",
                    {"--skip-refused", "--dry-run"},
                    "code,cost\r\n2,500\r\n3,x\r\n",
                    0,
                    false,
                    "refused: line 3, column cost, value \"x\""},
        FromCsvCase{"SkipRefusedCannotSkipAColumn",
                    {"--skip-refused"},
                    "code,kost\r\n2,500\r\n",
                    1,
                    false,
                    "No field of PeG has this name."},
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
