#include "app/efileio.h"
#include "app/filekind.h"
#include "app/reportcommands.h"
#include "app/settingsstore.h"
#include "app/varneldoc.h"
#include "equip/efile.h"
#include "reports/equipreport.h"
#include "reports/iconsreport.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace varnel {
namespace {

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::string generated(const std::string& path) {
    return "Generated report on file:\n\n " + path + "  \n\n";
}

// Loads a sample E-File the way the editor does, for the editor's side of each comparison.
class EditorSide {
  public:
    EditorSide(Game game, const std::string& eFile) {
        // The settings the CLI starts from: defaults, with no game folder to search.
        ReadAllSettings(state.settings(), store);
        state.settings().dir(Game::Pg2) = state.settings().dir(Game::Peg) = kNoValue;
        state.settings().altDir(Game::Pg2).clear();
        state.settings().altDir(Game::Peg).clear();
        state.setCurrentGame(game);
        if (game == Game::Pg2)
            LoadEFile(state, Game::Pg2, eFile);
        else
            LoadEFile(state, Game::Peg, eFile);
    }

    std::unique_ptr<ScriptedUi> ui = test::MakeScriptedUi();
    MemorySettingsBackend store;
    CVarnelDoc state{*ui, store};
};

class CliReports : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto r = test::RunCli({"samples", dir.dir() + "s"});
        ASSERT_EQ(r.exitCode, 0) << r.err;
    }
    std::string eFile(Game game) const {
        return dir.dir() + (game == Game::Pg2 ? "s/pg2/EQUIP97.EQP" : "s/peg/EQUIP97.EQP");
    }
    test::TempDir dir;
};

struct ReportCase {
    const char* name;
    Game game;
    const char* format;
    int formatNumber;
};

void PrintTo(const ReportCase& c, std::ostream* os) {
    *os << c.name;
}

class CliReport : public CliReports, public ::testing::WithParamInterface<ReportCase> {};

TEST_P(CliReport, WritesWhatTheEditorWrites) {
    const auto& c = GetParam();
    const std::string efile = eFile(c.game);
    const std::string path = EquipmentReportPath(c.game, efile);
    const auto r = test::RunCli({"report", efile, "--format", c.format});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, generated(path));

    EditorSide editor(c.game, efile);
    const std::string editorPath = dir.file("editor.txt");
    editor.ui->expectInformation("Generated report on file:\n\n " + editorPath + "  \n");
    ASSERT_TRUE(RunEquipmentReport(editor.state, c.game, c.formatNumber, false, editorPath));
    const Bytes written = test::ReadFile(path);
    EXPECT_GT(written.size(), 100u);
    EXPECT_EQ(written, test::ReadFile(editorPath));
}

INSTANTIATE_TEST_SUITE_P(GamesAndFormats, CliReport,
                         ::testing::Values(ReportCase{"Pg2Full", Game::Pg2, "full", FullTable},
                                           ReportCase{"Pg2Brief", Game::Pg2, "brief", BriefTable},
                                           ReportCase{"Pg2List", Game::Pg2, "list", SimpleList},
                                           ReportCase{"PegFull", Game::Peg, "full", FullTable},
                                           ReportCase{"PegList", Game::Peg, "list", SimpleList}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CliReports, ReportRefusesBadRequestsAndWritesNothing) {
    const std::string efile = eFile(Game::Peg);
    auto r = test::RunCli({"report", efile});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(contains(r.err, "--format")) << r.err;
    r = test::RunCli({"report", efile, "--format", "csv"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(contains(r.err, "'csv'")) << r.err;
    EXPECT_FALSE(std::filesystem::exists(EquipmentReportPath(Game::Peg, efile)));

    const std::string out = dir.file("no folder/r.txt");
    r = test::RunCli({"report", efile, "--format", "brief", "-o", out});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(contains(r.err, "Error on creating [" + out + "]")) << r.err;
    EXPECT_TRUE(r.out.empty()) << r.out;

    r = test::RunCli({"report", "--help"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(contains(r.out, "Usage: varnel-cli report")) << r.out;
}

struct IconsCase {
    const char* name;
    Game game;
    const char* type;
    int typeNumber;
};

void PrintTo(const IconsCase& c, std::ostream* os) {
    *os << c.name;
}

class CliUsedIcons : public CliReports, public ::testing::WithParamInterface<IconsCase> {};

TEST_P(CliUsedIcons, WritesWhatTheEditorWrites) {
    const auto& c = GetParam();
    const std::string efile = eFile(c.game);
    const std::string path = IconsReportPath(efile);
    const auto r = test::RunCli({"used-icons", efile, "--type", c.type});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, generated(path));

    EditorSide editor(c.game, efile);
    const std::string editorPath = dir.file("editor.txt");
    editor.ui->expectInformation("Generated report on file:\n\n " + editorPath + "  \n");
    ASSERT_EQ(RunIconsReport(editor.state, c.game, c.typeNumber, false, editorPath),
              IconsReportResult::Written);
    const Bytes written = test::ReadFile(path);
    EXPECT_TRUE(contains(test::ReadText(path), ";This is an index of icons used in " + efile));
    EXPECT_EQ(written, test::ReadFile(editorPath));
}

INSTANTIATE_TEST_SUITE_P(GamesAndTypes, CliUsedIcons,
                         ::testing::Values(IconsCase{"Pg2Stat", Game::Pg2, "stat", StatInfo},
                                           IconsCase{"PegStat", Game::Peg, "stat", StatInfo},
                                           IconsCase{"PegRepack", Game::Peg, "repack", Repack}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CliReports, UsedIconsWithoutIconsWritesNothing) {
    // One PG2 unit with an empty icon name.
    Bytes efile(2 + pg2::kRecordSize, 0);
    efile[0] = 1;
    test::WriteFile(dir.file("EQUIP97.EQP"), efile);
    test::WriteFile(dir.file("EQUIP97.txt"), std::string("Nameless\r\n"));
    const std::string out = dir.file("icons.txt");
    auto r = test::RunCli({"used-icons", dir.file("EQUIP97.EQP"), "--type", "stat", "-o", out});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(contains(r.err, "nothing written")) << r.err;
    EXPECT_FALSE(std::filesystem::exists(out));

    r = test::RunCli({"used-icons", dir.file("EQUIP97.EQP"), "--type", "all"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(contains(r.err, "stat or repack")) << r.err;
    r = test::RunCli({"used-icons", "--help"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(contains(r.out, "Usage: varnel-cli used-icons")) << r.out;
}

} // namespace
} // namespace varnel
