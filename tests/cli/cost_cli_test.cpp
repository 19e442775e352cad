#include "convert/costmodifier.h"
#include "equip/efile.h"
#include "tests/cli/bulkcli_support.h"

namespace varnel {
namespace {

TEST(CliCost, WritesWhatTheEditorWrites) {
    test::TempDir dir;
    const std::string s = test::MakeSamples(dir);
    const std::string input = s + "peg/EQUIP97.EQP";
    const std::string out = dir.file("C.EQP");
    const std::string names = dir.file("C.txt");

    test::Editor editor;
    LoadEFile(editor.state, Game::Peg, input);
    CostChoices choices;
    choices.enabled[1] = true;
    choices.percent[1] = 150;
    choices.enabled[3] = true;
    choices.percent[3] = 50;
    int changed = 0;
    for (const auto& u : editor.state.peg()->units)
        changed += u.record[peg::Country] == 1 || u.record[peg::Country] == 3;
    ASSERT_GT(changed, 0);
    editor.information(std::to_string(changed) + " Units modified");
    editor.information("File " + out + " updated");
    editor.information("File " + names + " updated");
    ASSERT_EQ(ModifyPegCosts(editor.state, choices), changed);
    ASSERT_TRUE(SaveEFile(editor.state, Game::Peg, out));
    ASSERT_TRUE(SaveNames(editor.state, Game::Peg));
    const auto expected = test::TakeFiles({out, names});

    const auto r = test::RunCli({"cost", input, "--set", "1=150", "--set", "3=50", "-o", out});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, editor.shown);
    test::ExpectSameFiles({out, names}, expected);
}

TEST(CliCost, RefusesBadChoicesAndPg2) {
    test::TempDir dir;
    const std::string s = test::MakeSamples(dir);
    const std::string peg = s + "peg/EQUIP97.EQP";
    const auto before = test::ReadFile(peg);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"cost", peg},
          {"cost", peg, "--set", "0=50"},
          {"cost", peg, "--set", "21=50"},
          {"cost", peg, "--set", "3=half"},
          {"cost", peg, "--set", "3"},
          {"cost", peg, "--set", "3=99999999999"},
          {"cost", peg, "--set", "3=-50"}, // a negative cost is no cost
          {"cost", peg, "--set", "3=50", "--bogus"},
          {"cost", s + "pg2/EQUIP97.EQP", "--set", "3=50"}}) {
        const auto r = test::RunCli(args);
        EXPECT_EQ(r.exitCode, 1) << args.back();
        EXPECT_TRUE(r.out.empty()) << r.out;
    }
    EXPECT_EQ(test::ReadFile(peg), before);

    // In place: the E-File is saved, the Names E-File is left as it is.
    const std::string names = s + "peg/EQUIP97.txt";
    test::WriteFile(names, test::ReadText(names) + "extra"); // a last line without a line end
    const auto namesBefore = test::ReadFile(names);
    const auto r = test::RunCli({"cost", peg, "--set", "1=200"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(test::ReadFile(peg), before);
    EXPECT_EQ(test::ReadFile(names), namesBefore);
}

} // namespace
} // namespace varnel
