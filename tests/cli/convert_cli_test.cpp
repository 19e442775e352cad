#include "convert/conversion.h"
#include "equip/efile.h"
#include "tests/cli/bulkcli_support.h"

namespace varnel {
namespace {

TEST(CliConvert, WritesWhatTheEditorWrites) {
    test::TempDir dir;
    const std::string s = test::MakeSamples(dir);
    std::filesystem::create_directory(dir.path() / "out");
    const std::string out = dir.file("out/X.EQP");
    const std::string names = dir.file("out/X.txt");
    const std::string tOut = dir.file("out/NEWGUI.txt");
    const std::string folder = dir.dir() + "out/";
    const std::vector<std::string> written = {out, names, tOut};

    // The editor: load, convert taking the names over, then "Save As".
    test::Editor editor;
    LoadEFile(editor.state, Game::Pg2, s + "pg2/EQUIP97.EQP");
    editor.state.settings().dir(Game::Peg) = folder;
    editor.ui->expectQuestion("Do you want to change current Country's names\nas they was in PG2 ?",
                              true);
    editor.ui->expectFileDialog("Save converted names AS", tOut);
    editor.information("Conversion made!\nCreated : " + folder +
                       "PG2_Equip97.EQP\n    and : " + folder +
                       "PG2_Equip97.txt\n    and : " + tOut + "\nCheck Efile before saving...");
    editor.information("File " + out + " updated");
    editor.information("File " + names + " updated");
    ASSERT_TRUE(ConvertPg2ToPeg(editor.state, s + "peg/GUI97.txt"));
    ASSERT_TRUE(SaveEFile(editor.state, Game::Peg, out));
    ASSERT_TRUE(SaveNames(editor.state, Game::Peg));
    const auto expected = test::TakeFiles(written);
    ASSERT_EQ(expected[0].size(), 2u + 40 * peg::kRecordSize);

    const auto r = test::RunCli({"convert", s + "pg2/EQUIP97.EQP", "-o", out, "--peg-tfile",
                                 s + "peg/GUI97.txt", "--tfile-out", tOut});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    // The same messages, but naming the files the command really writes.
    std::string shown = editor.shown;
    for (const auto& [from, to] :
         {std::pair{folder + "PG2_Equip97.EQP", out}, std::pair{folder + "PG2_Equip97.txt", names}})
        shown.replace(shown.find(from), from.size(), to);
    EXPECT_EQ(r.out, shown);
    test::ExpectSameFiles(written, expected);
}

TEST(CliConvert, RefusesAndWritesNothing) {
    test::TempDir dir;
    const std::string s = test::MakeSamples(dir);
    const std::string out = dir.file("X.EQP");
    struct Case {
        std::vector<std::string> args;
        const char* why;
    };
    const std::vector<Case> cases = {
        {{"convert", s + "pg2/EQUIP97.EQP"}, "-o PEGEFILE is required"},
        {{"convert", s + "peg/EQUIP97.EQP", "-o", out}, "is not a PG2 E-File"},
        {{"convert", s + "pg2/EQUIP97.EQP", "-o", dir.file("no/X.EQP")}, "does not exist"},
        {{"convert", s + "pg2/EQUIP97.EQP", "-o", out, "--tfile-out", dir.file("T.txt")},
         "--tfile-out needs --peg-tfile"},
        {{"convert", s + "pg2/EQUIP97.EQP", "-o", out, "--peg-tfile", dir.file("none.txt")},
         "PeG T-File not found"},
        {{"convert", s + "pg2/EQUIP97.EQP", "-o", out, "--peg-tfile", s + "peg/GUI97.txt",
          "--tfile-out", dir.file("no/T.txt")},
         "cannot write"},
    };
    for (const auto& c : cases) {
        const auto r = test::RunCli(c.args);
        EXPECT_EQ(r.exitCode, 1) << c.why;
        EXPECT_NE(r.err.find(c.why), std::string::npos) << r.err;
        EXPECT_FALSE(std::filesystem::exists(out)) << c.why;
        EXPECT_FALSE(std::filesystem::exists(dir.file("X.txt"))) << c.why;
    }
}

} // namespace
} // namespace varnel
