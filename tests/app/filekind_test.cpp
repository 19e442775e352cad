#include "app/filekind.h"
#include "base/paths.h"

#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace varnel {
namespace {

AppSettings windowsDefaults() {
    MemorySettingsBackend store;
    AppSettings s;
    ReadAllSettings(s, store, SettingsDefaults::windows());
    return s;
}

struct KindCase {
    FileKind kind;
    const char* title;
    const char* extension;
    const char* filter;
};

class KindDefaults : public ::testing::TestWithParam<KindCase> {};

TEST_P(KindDefaults, FillDashPresets) {
    const auto& c = GetParam();
    AppSettings s = windowsDefaults();
    s.textSuffix = ".deu";
    const FileDialogRequest r = PrepareFileDialog(s, {.kind = c.kind,
                                                      .part = 5,
                                                      .title = "-",
                                                      .defaultExtension = "-",
                                                      .fileName = "-",
                                                      .filter = "-"});
    EXPECT_EQ(r.title, c.title);
    EXPECT_EQ(r.defaultExtension, c.extension);
    std::string filter = c.filter;
#ifndef _WIN32
    if (c.kind == FileKind::Editor || c.kind == FileKind::Pg2Program ||
        c.kind == FileKind::PegProgram)
        filter.insert(filter.size() - 1, ";*");
#endif
    EXPECT_EQ(r.filter, filter);
    EXPECT_TRUE(r.open);
}

INSTANTIATE_TEST_SUITE_P(
    AllKinds, KindDefaults,
    ::testing::Values(KindCase{FileKind::Editor, "Select EDITOR", ".EXE",
                               "EXE files (*.exe)|*.exe|"},
                      KindCase{FileKind::Pg2Program, "Select Panzer2.exe to set folder", ".exe",
                               "PG2 game file (*.EXE)|*.exe|"},
                      KindCase{FileKind::Pg2TFile, "Select PG2 GUI97.deu", ".deu",
                               "PG2 TEXT Files (*.deu)|*.deu|"},
                      KindCase{FileKind::Pg2EFile, "Select PG2 EQUIP97.EQP", ".EQP",
                               "PG2 EQUIP97 Files (*.EQP)|*.eqp|"},
                      KindCase{FileKind::Pg2NamesEFile, "Select PG2  EQUIP97.deu", ".deu",
                               "PG2 EQUIP97 Text Files (*.deu)|*.deu|"},
                      KindCase{FileKind::Pg2IconArchive, "Select PG2 Panzer2.dat", ".DAT",
                               "PG2 DAT Files (*.DAT)|*.dat|"},
                      KindCase{FileKind::Pg2Sound, "Select a wav file to set folder", ".WAV",
                               "PG2 WAV converted Files (*.WAV)|*.wav|"},
                      KindCase{FileKind::PegProgram, "Select Peoples.exe to set folder", ".exe",
                               "PeG game file (*.EXE)|*.exe|"},
                      KindCase{FileKind::PegTFile, "Select PeG GUI97.deu", ".deu",
                               "PeG TEXT Files (*.deu)|*.deu|"},
                      KindCase{FileKind::PegEFile, "Select PeG EQUIP97.EQP", ".EQP",
                               "PeG EQUIP97 Files (*.EQP)|*.eqp|"},
                      KindCase{FileKind::PegNamesEFile, "Select PeG  EQUIP97.deu", ".deu",
                               "PeG EQUIP97 Text Files (*.deu)|*.deu|"},
                      KindCase{FileKind::PegIconArchive, "Select PeG MODGEN.DAT", ".DAT",
                               "PeG DAT Files (*.DAT)|*.dat|"},
                      KindCase{FileKind::PegSound, "Select a wav file to set folder", ".WAV",
                               "PeG WAV Files (*.WAV)|*.wav|"}));

TEST(ChooseFile, CallerTextsWinExceptTheEditorExtension) {
    const AppSettings s = windowsDefaults();
    const auto r = PrepareFileDialog(s, {.kind = FileKind::PegTFile,
                                         .part = 5,
                                         .title = "Select TXT file to edit",
                                         .defaultExtension = ".TXT",
                                         .fileName = "-",
                                         .filter = "TXT files (*.txt)|*.txt|"});
    EXPECT_EQ(r.title, "Select TXT file to edit");
    EXPECT_EQ(r.defaultExtension, ".TXT");
    EXPECT_EQ(r.filter, "TXT files (*.txt)|*.txt|");
    EXPECT_EQ(PrepareFileDialog(s, {.kind = FileKind::Editor,
                                    .part = 5,
                                    .title = "-",
                                    .defaultExtension = ".COM",
                                    .fileName = "-",
                                    .filter = "-"})
                  .defaultExtension,
              ".EXE");
}

TEST(ChooseFile, InitialNamesWithoutFilesOnDisk) {
    AppSettings s = windowsDefaults();
    auto name = [&](FileKind k, const std::string& given = "-") {
        return PrepareFileDialog(s, {.kind = k,
                                     .part = 5,
                                     .title = "-",
                                     .defaultExtension = "-",
                                     .fileName = given,
                                     .filter = "-"})
            .initialName;
    };
    EXPECT_EQ(name(FileKind::Editor), "C:\\WINDOWS\\NOTEPAD.EXE");
    EXPECT_EQ(name(FileKind::Pg2Program), "C:\\PANZER2\\Panzer2.exe");
    EXPECT_EQ(name(FileKind::PegProgram), "C:\\PEOPLES\\Peoples.exe");
    // Nothing exists: each chain ends on its last candidate.
    EXPECT_EQ(name(FileKind::Pg2TFile), "C:\\PANZER2\\GUI97.txt");
    EXPECT_EQ(name(FileKind::Pg2EFile), "C:\\PANZER2\\EQUIP97.eqp");
    EXPECT_EQ(name(FileKind::Pg2IconArchive), "C:\\PANZER2\\Panzer2.dat");
    EXPECT_EQ(name(FileKind::PegIconArchive), "C:\\PEOPLES\\Modgen.dat");
    EXPECT_EQ(name(FileKind::Pg2NamesEFile), "C:\\PANZER2\\EQUIP97.txt");
    EXPECT_EQ(name(FileKind::PegNamesEFile), "C:\\PEOPLES\\EQUIP97.txt");
    EXPECT_EQ(name(FileKind::Pg2Sound),
              std::string("C:\\PANZER2\\WAVS") + kNativeSeparator + "1001.wav");
    s.dir(Game::Peg) = "-";
    EXPECT_EQ(name(FileKind::PegSound), "1001.wav");
    s.editorPath = "-";
    EXPECT_EQ(name(FileKind::Editor), "C:\\WINDOWS\\NOTEPAD.EXE");
    // A wildcard never reaches the dialog.
    EXPECT_EQ(name(FileKind::Pg2TFile, "*.txt"), "C:\\PANZER2\\GUI97.txt");
    // Kinds without a chain keep what the caller gave.
    EXPECT_EQ(name(FileKind::Pg2Program, "Z:\\x.exe"), "Z:\\x.exe");
}

TEST(ChooseFile, ChainTakesFirstExistingCandidate) {
    test::TempDir dir;
    namespace fs = std::filesystem;
    fs::create_directories(dir.path() / "main");
    fs::create_directories(dir.path() / "dat");
    AppSettings s = windowsDefaults();
    s.eFile(Game::Pg2) = dir.file("gone/EQUIP97.EQP");
    s.dir(Game::Pg2) = dir.dir() + "main/";
    s.tFile(Game::Pg2) = dir.file("gone/GUI97.txt");
    s.iconArchive(Game::Pg2) = dir.file("dat/PANZER2.DAT");
    auto request = [&](FileKind k, const std::string& given = "-") {
        return PrepareFileDialog(s, {.kind = k,
                                     .part = 5,
                                     .title = "-",
                                     .defaultExtension = "-",
                                     .fileName = given,
                                     .filter = "-"});
    };
    EXPECT_EQ(request(FileKind::Pg2EFile).initialName, dir.file("dat/EQUIP97.eqp"));
    test::WriteFile(dir.file("main/EQUIP97.eqp"), std::string("x"));
    const auto r = request(FileKind::Pg2EFile);
    EXPECT_EQ(r.initialName, dir.file("main/EQUIP97.eqp"));
    EXPECT_EQ(r.initialFolder, dir.dir() + "main/");
    test::WriteFile(dir.file("dat/GUI97.txt"), std::string("x"));
    EXPECT_EQ(request(FileKind::Pg2TFile, "*.txt").initialName, dir.file("dat/GUI97.txt"));
}

TEST(ChooseFile, ResultsFollowPartAndDialogKind) {
    const AppSettings s = windowsDefaults();
    {
        auto ui = test::MakeScriptedUi();
        ui->expectFileDialog("Select a wav file to set folder", "D:\\GAME\\WAVS\\12.wav");
        EXPECT_EQ(ChooseFile(*ui, s,
                             {.kind = FileKind::Pg2Sound,
                              .part = 0,
                              .title = "-",
                              .defaultExtension = "-",
                              .fileName = "-",
                              .filter = "-"}),
                  "D:\\GAME\\WAVS\\");
    }
    {
        auto ui = test::MakeScriptedUi();
        ui->expectFileDialog("Select PG2 EQUIP97.EQP", "D:\\NEW\\E.EQP");
        EXPECT_EQ(ChooseFile(*ui, s,
                             {.kind = FileKind::Pg2EFile,
                              .part = 7,
                              .title = "-",
                              .defaultExtension = "-",
                              .fileName = "-",
                              .filter = "-"}),
                  "D:\\NEW\\E.EQP");
        ASSERT_EQ(ui->fileRequests().size(), 1u);
        EXPECT_FALSE(ui->fileRequests()[0].open); // part 7 forces a save dialog
    }
    {
        auto ui = test::MakeScriptedUi();
        ui->expectFileDialog("Select PeG EQUIP97.EQP", std::nullopt);
        EXPECT_EQ(ChooseFile(*ui, s, FileKind::PegEFile), "-");
    }
}

} // namespace
} // namespace varnel
