#include "convert/merge.h"
#include "equip/efile.h"
#include "tests/cli/bulkcli_support.h"

namespace varnel {
namespace {

TEST(CliMerge, WritesWhatTheEditorWrites) {
    test::TempDir dir;
    const std::string s = test::MakeSamples(dir);
    for (const char* game : {"pg2", "peg"}) {
        const bool pg2 = std::string(game) == "pg2";
        const std::string source = s + game + "/EQUIP97.EQP";
        const std::string sourceNames = s + game + "/EQUIP97.txt";
        const std::string definition = s + game + "/def.txt";
        test::WriteFile(definition, std::string("EQUIP97.EQP\r\n2\r\n5\r\n5\r\n99\r\n"));
        // The target in a folder of its own, with its game's T-File.
        const std::string folder = std::string(game) + "out/";
        std::filesystem::create_directory(dir.path() / folder);
        std::filesystem::copy_file(s + game + "/GUI97.txt", dir.file(folder + "GUI97.txt"));
        const std::string target = dir.file(folder + "T.EQP");
        const std::string targetNames = dir.file(folder + "T.txt");
        std::filesystem::copy_file(source, target);
        std::filesystem::copy_file(sourceNames, targetNames);
        const auto original = test::ReadFile(target);

        // The editor: load the target, merge, save.
        test::Editor editor;
        if (pg2)
            LoadEFile(editor.state, Game::Pg2, target);
        else
            LoadEFile(editor.state, Game::Peg, target);
        editor.ui->expectFileDialog(pg2 ? "Select TXT file with the Info to Merge"
                                        : "Select Definition TXT file to Merge",
                                    definition);
        editor.ui->expectFileDialog(
            pg2 ? "Comfirm PG2 E-File to merge from" : "Comfirm PeG E-File to merge from", source);
        editor.ui->expectQuestion("Merging 4 units as defined\nin " + definition + "\nfrom: " +
                                      source + "\nand : " + sourceNames + "\nContinue ?",
                                  true);
        editor.information("Merged 2 units\ndefined in  " + definition + "\nusing :" + source +
                           "\nand   :" + sourceNames +
                           "\nNot merged (past the source, repeated or out of order): 5, 99");
        editor.information("File " + target + " updated");
        editor.information("File " + targetNames + " updated");
        ASSERT_EQ(MergeByDefinitionFile(editor.state, pg2 ? Game::Pg2 : Game::Peg),
                  std::optional<std::size_t>(2));
        ASSERT_TRUE(pg2 ? SaveEFile(editor.state, Game::Pg2, target)
                        : SaveEFile(editor.state, Game::Peg, target));
        ASSERT_TRUE(pg2 ? SaveNames(editor.state, Game::Pg2) : SaveNames(editor.state, Game::Peg));
        const auto expected = test::TakeFiles({target, targetNames});
        EXPECT_EQ(expected[0].size(), original.size() + 2 * (pg2 ? 73 : 74));

        std::filesystem::copy_file(source, target);
        std::filesystem::copy_file(sourceNames, targetNames);
        const auto r = test::RunCli({"merge", target, definition});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out, editor.shown);
        test::ExpectSameFiles({target, targetNames}, expected);
    }
}

TEST(CliMerge, StopsWithoutWriting) {
    test::TempDir dir;
    const std::string s = test::MakeSamples(dir);
    const std::string target = s + "peg/EQUIP97.EQP";
    const auto before = test::ReadFile(target);
    // The source's Names E-File is missing: the editor would ask for it.
    std::filesystem::copy_file(s + "peg/EQUIP97.EQP", dir.file("SRC.EQP"));
    test::WriteFile(dir.file("def2.txt"), std::string("SRC.EQP\r\n2\r\n"));
    for (const auto& def : {dir.file("def2.txt"), dir.file("none.txt")}) {
        const auto r = test::RunCli({"merge", target, def, "-o", dir.file("OUT.EQP")});
        EXPECT_EQ(r.exitCode, 1) << def;
        EXPECT_FALSE(std::filesystem::exists(dir.file("OUT.EQP")));
    }
    EXPECT_EQ(test::ReadFile(target), before);
}

} // namespace
} // namespace varnel
