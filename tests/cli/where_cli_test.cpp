// varnel-cli set and list: the units a condition picks, changed through the field rules and
// written as a pair, or listed; any refusal writes nothing.

#include "tests/cli/bulkcli_support.h"

#include <filesystem>
#include <sstream>

namespace varnel {
namespace {

// The lines of `list`'s text output without the header and the count line.
std::vector<std::string> listed(const test::CliResult& r) {
    std::vector<std::string> lines;
    std::istringstream in(r.out);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    EXPECT_GE(lines.size(), 2u) << r.out;
    if (lines.size() < 2)
        return {};
    return std::vector<std::string>(lines.begin() + 1, lines.end() - 1);
}

constexpr const char* kTanks = "class = Tank and \"Year available\" >= 1940";

TEST(CliWhere, SetChangesThePickedUnitsAndWritesThePair) {
    test::TempDir dir;
    const std::string s = test::MakeSamples(dir);
    for (const char* game : {"pg2", "peg"}) {
        SCOPED_TRACE(game);
        const std::string input = s + game + "/EQUIP97.EQP";
        const std::string out = s + game + "/OUT.EQP";
        const Bytes original = test::ReadFile(input);
        const auto before = test::RunCli({"list", input, "--where", kTanks, "--columns",
                                          "code,softAtk,Cost", "--format", "csv"});
        ASSERT_EQ(before.exitCode, 0) << before.err;

        auto r =
            test::RunCli({"set", input, "--where", kTanks, "softAtk=+1", "cost=*100", "-o", out});
        ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
        EXPECT_NE(r.out.find("0 refused"), std::string::npos) << r.out;
        EXPECT_TRUE(std::filesystem::exists(s + game + "/OUT.txt"));
        EXPECT_EQ(test::ReadFile(input), original);

        // Every picked unit has one more soft attack and the same cost; no other unit changed.
        const auto after = test::RunCli(
            {"list", out, "--where", kTanks, "--columns", "code,softAtk,Cost", "--format", "csv"});
        ASSERT_EQ(after.exitCode, 0) << after.err;
        std::istringstream a(before.out), b(after.out);
        std::string x, y;
        std::getline(a, x);
        std::getline(b, y);
        int rows = 0;
        while (std::getline(a, x) && std::getline(b, y)) {
            int code = 0, soft = 0, cost = 0, code2 = 0, soft2 = 0, cost2 = 0;
            ASSERT_EQ(std::sscanf(x.c_str(), "%d,%d,%d", &code, &soft, &cost), 3) << x;
            ASSERT_EQ(std::sscanf(y.c_str(), "%d,%d,%d", &code2, &soft2, &cost2), 3) << y;
            EXPECT_EQ(code2, code);
            EXPECT_EQ(soft2, soft + 1);
            EXPECT_EQ(cost2, cost);
            ++rows;
        }
        EXPECT_GT(rows, 0);
        const auto others = test::RunCli({"diff", input, out});
        EXPECT_EQ(others.out.find("Cost"), std::string::npos) << others.out;
    }
}

TEST(CliWhere, RefusalsWriteNothing) {
    test::TempDir dir;
    const std::string s = test::MakeSamples(dir);
    const std::string input = s + "pg2/EQUIP97.EQP";
    const std::string names = s + "pg2/EQUIP97.txt";
    const Bytes eFile = test::ReadFile(input);
    const Bytes namesFile = test::ReadFile(names);
    const struct {
        std::vector<std::string> args;
        int exitCode;
        const char* out; // in stdout, when not empty
        const char* err; // in stderr, when not empty
    } cases[] = {
        {{"set", input, "--where", "", "hardAtk=+300"},
         1,
         "refused: column Hard attack, value",
         "values refused; nothing written"},
        {{"set", input, "--where", "cost > 0", "cost=100"},
         1,
         "Please enter a multiple of 12, such as 96 or 108.",
         "nothing written"},
        {{"set", input, "--where", "class = Tank", "softAtk=+1", "--dry-run"},
         0,
         "Dry run: nothing written.",
         ""},
        {{"set", input, "--where", "class = Tank", "softAtk=+1", "softatk=-1"},
         1,
         "The column Soft attack is given twice.",
         ""},
        {{"set", input, "--where", "clas = Tank", "softAtk=+1"},
         1,
         "",
         "--where: Unknown column \"clas\" (at character 0)"},
        {{"set", input, "--where", "cost >", "softAtk=+1"},
         1,
         "",
         "Expected a value after \">\" (at character 6)"},
        {{"set", input, "hardAtk=1"}, 1, "", "--where COND is required"},
        {{"set", input, "--where", "", "nothing=1"}, 1, "", "Unknown column \"nothing\""},
        {{"set", input, "--where", "", "hardAtk*2"}, 1, "", "expected FIELD=VALUE"},
        {{"set", input, "--where", "", "name=+1"}, 1, "holds no numbers to add to", ""},
        {{"set", input, "--where", "", "hardAtk=1", "-o", names}, 1, "", "exists"},
        {{"list", input, "--where", "(cost > 1"}, 1, "", "Missing \")\""},
        {{"list", input, "--where", "", "--columns", "code,bogus"},
         1,
         "",
         "Unknown column \"bogus\""},
        {{"list", input, "--where", "", "--format", "xml"}, 1, "", "--format must be"},
        {{"list", input}, 1, "", "--where COND is required"},
    };
    for (const auto& c : cases) {
        std::string line;
        for (std::size_t k = 2; k < c.args.size(); ++k)
            line += " " + c.args[k];
        SCOPED_TRACE(c.args[0] + line);
        const auto r = test::RunCli(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << r.out << r.err;
        if (*c.out != '\0') {
            EXPECT_NE(r.out.find(c.out), std::string::npos) << r.out;
        }
        if (*c.err != '\0') {
            EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
        }
        EXPECT_EQ(test::ReadFile(input), eFile);
        EXPECT_EQ(test::ReadFile(names), namesFile);
    }
}

TEST(CliWhere, ListPicksAndShowsAsTheTable) {
    test::TempDir dir;
    const std::string s = test::MakeSamples(dir);
    const std::string input = s + "pg2/EQUIP97.EQP";
    const auto all = test::RunCli({"list", input, "--where", ""});
    ASSERT_EQ(all.exitCode, 0) << all.err;
    const std::vector<std::string> every = listed(all);
    ASSERT_GT(every.size(), 3u);
    EXPECT_NE(all.out.find(std::to_string(every.size()) + " units listed"), std::string::npos);

    // A unit's own name picks it, whatever the case.
    const std::string first = every[1].substr(every[1].find_first_not_of("0123456789 "));
    std::string upper = first;
    for (char& ch : upper)
        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    const auto one = test::RunCli({"list", input, "--where", "name = \"" + upper + "\""});
    ASSERT_EQ(one.exitCode, 0) << one.err;
    ASSERT_EQ(listed(one).size(), 1u) << one.out;
    EXPECT_EQ(listed(one)[0], every[1]);

    // Drop-downs as the table shows them; CSV with a byte-order mark and column names.
    const auto csv = test::RunCli(
        {"list", input, "--where", "class = 2", "--columns", "code,class", "--format", "csv"});
    ASSERT_EQ(csv.exitCode, 0) << csv.err;
    EXPECT_EQ(csv.out.rfind("\xEF\xBB\xBF"
                            "code,class\r\n",
                            0),
              0u)
        << csv.out;
    EXPECT_NE(csv.out.find(",2  Tank\r\n"), std::string::npos) << csv.out;
    EXPECT_EQ(csv.out.find("Recon"), std::string::npos) << csv.out;
}

} // namespace
} // namespace varnel
