#include "convert/export.h"
#include "equip/efile.h"
#include "tests/cli/bulkcli_support.h"

namespace varnel {
namespace {

TEST(CliExport, WritesWhatTheEditorWrites) {
    test::TempDir dir;
    const std::string s = test::MakeSamples(dir);
    const std::string definition = dir.file("def.txt");
    test::WriteFile(definition, std::string("EXP.EQP\r\n3\r\n1\r\n3\r\n"));
    const std::string out = dir.file("EXP.EQP");
    const std::string names = dir.file("EXP.txt");

    for (const char* game : {"pg2", "peg"}) {
        const bool pg2 = std::string(game) == "pg2";
        const std::string input = s + game + "/EQUIP97.EQP";
        test::Editor editor;
        if (pg2)
            LoadEFile(editor.state, Game::Pg2, input);
        else
            LoadEFile(editor.state, Game::Peg, input);
        editor.ui->expectFileDialog("Select TXT file with the Export info", definition);
        editor.ui->expectFileDialog(
            pg2 ? "Comfirm PG2 Efile to create" : "Comfirm PeG Efile to create", out);
        editor.ui->expectQuestion("Exporting 3 units as defined\nin " + definition +
                                      "\nto  Efile: " + out + "\nand Tfile: " + names +
                                      "\nContinue ?",
                                  true);
        editor.information("Exported 3 units\ndefined in  " + definition + "\nas :" + out +
                           "\nand:" + names);
        ASSERT_TRUE(ExportByDefinitionFile(editor.state, pg2 ? Game::Pg2 : Game::Peg));
        const auto expected = test::TakeFiles({out, names});

        const auto r = test::RunCli({"export", input, definition});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out, editor.shown);
        test::ExpectSameFiles({out, names}, expected);
    }

    // -o names the target instead of the name line.
    const auto r =
        test::RunCli({"export", s + "peg/EQUIP97.EQP", definition, "-o", dir.file("other.eqp")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(test::ReadFile(dir.file("other.eqp")), test::ReadFile(out));
    EXPECT_EQ(test::ReadText(dir.file("other.txt")), test::ReadText(names));
}

TEST(CliExport, RefusesCodesOutsideTheTable) {
    test::TempDir dir;
    const std::string s = test::MakeSamples(dir);
    const std::string definition = dir.file("def.txt");
    test::WriteFile(definition, std::string("EXP.EQP\r\n3\r\n40\r\n"));
    const auto r = test::RunCli({"export", s + "peg/EQUIP97.EQP", definition});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.out.find("Code 40 in " + definition), std::string::npos) << r.out;
    EXPECT_FALSE(std::filesystem::exists(dir.file("EXP.EQP")));
    EXPECT_EQ(test::RunCli({"export", s + "peg/EQUIP97.EQP", dir.file("none.txt")}).exitCode, 1);
}

} // namespace
} // namespace varnel
