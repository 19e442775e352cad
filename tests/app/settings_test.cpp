#include "app/appsettings.h"

#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace varnel {
namespace {

AppSettings readWindows(MemorySettingsBackend& store) {
    AppSettings s;
    ReadAllSettings(s, store, SettingsDefaults::windows());
    return s;
}

TEST(Settings, EmptyStoreGivesEveryDefault) {
    MemorySettingsBackend store;
    const AppSettings s = readWindows(store);
    EXPECT_EQ(s.editorPath, "C:\\WINDOWS\\NOTEPAD.EXE");
    EXPECT_EQ(s.textSuffix, ".txt");
    EXPECT_EQ(s.dir(Game::Pg2), "C:\\PANZER2\\");
    EXPECT_EQ(s.altDir(Game::Pg2), "");
    EXPECT_EQ(s.tFile(Game::Pg2), "C:\\PANZER2\\GUI97.txt");
    EXPECT_EQ(s.eFile(Game::Pg2), "C:\\PANZER2\\EQUIP97.EQP");
    EXPECT_EQ(s.iconArchive(Game::Pg2), "C:\\PANZER2\\PANZER2.DAT");
    EXPECT_EQ(s.soundDir(Game::Pg2), "C:\\PANZER2\\WAVS\\");
    EXPECT_EQ(s.dir(Game::Peg), "C:\\PEOPLES\\");
    EXPECT_EQ(s.tFile(Game::Peg), "C:\\PEOPLES\\GUI97.txt");
    EXPECT_EQ(s.eFile(Game::Peg), "C:\\PEOPLES\\EQUIP97.EQP");
    EXPECT_EQ(s.iconArchive(Game::Peg), "C:\\PEOPLES\\MODGEN.DAT");
    EXPECT_EQ(s.soundDir(Game::Peg), "C:\\PEOPLES\\WAVS\\");
    EXPECT_EQ(s.defaultEFile, "PG2");
}

TEST(Settings, DerivedDefaultsFollowStoredFoldersAndSuffix) {
    MemorySettingsBackend store;
    store.write("Suffix", ".deu");
    store.write("PG2 Dir", "D:\\GAMES\\P2\\");
    store.write("PeG GUI", "E:\\ELSEWHERE\\GUI97.fra");
    const AppSettings s = readWindows(store);
    EXPECT_EQ(s.tFile(Game::Pg2), "D:\\GAMES\\P2\\GUI97.deu");
    EXPECT_EQ(s.eFile(Game::Pg2), "D:\\GAMES\\P2\\EQUIP97.EQP");
    EXPECT_EQ(s.iconArchive(Game::Pg2), "D:\\GAMES\\P2\\PANZER2.DAT");
    EXPECT_EQ(s.soundDir(Game::Pg2), "D:\\GAMES\\P2\\WAVS\\");
    EXPECT_EQ(s.tFile(Game::Peg), "E:\\ELSEWHERE\\GUI97.fra"); // stored values are used unchanged
}

TEST(Settings, DashAndEmptyValuesAreReplacedWhereTheTableSays) {
    MemorySettingsBackend store;
    store.write("Editor", "");
    store.write("Suffix", "");
    store.write("PG2 Dir", "");
    store.write("PG2 Alt", "-");
    store.write("PG2 EQP", "-");
    store.write("Default E-File", "-");
    const AppSettings s = readWindows(store);
    EXPECT_EQ(s.editorPath, ""); // an empty editor stays empty
    EXPECT_EQ(s.textSuffix, ""); // so does an empty suffix
    EXPECT_EQ(s.dir(Game::Pg2), "C:\\PANZER2\\");
    EXPECT_EQ(s.altDir(Game::Pg2), "");
    EXPECT_EQ(s.eFile(Game::Pg2), "C:\\PANZER2\\EQUIP97.EQP");
    EXPECT_EQ(s.tFile(Game::Pg2), "C:\\PANZER2\\GUI97");
    EXPECT_EQ(s.defaultEFile, "-"); // no replacement for this one
}

TEST(Settings, ReadDeletesObsoleteValuesAndWritesVersion) {
    MemorySettingsBackend store;
    for (const char* name :
         {"PG2 EQPdir", "PG2 GUIdir", "Last PG2 File", "PeG EQPdir", "PeG GUIdir", "Last PeG File"})
        store.write(name, "old");
    store.write("Version", "Varnel Editor 1.00");
    readWindows(store);
    EXPECT_EQ(store.values().size(), 1u);
    EXPECT_EQ(store.read("Version"), "Varnel Editor 2.07");
}

TEST(Settings, WriteOneUsesTheIdTableAndIgnoresUnknownIds) {
    MemorySettingsBackend store;
    WriteSetting(store, 0, "ed");
    WriteSetting(store, 2, "p2");
    WriteSetting(store, 9, "pe");
    WriteSetting(store, 15, "w");
    WriteSetting(store, 6, "x");
    WriteSetting(store, 13, "x");
    WriteSetting(store, 99, "x");
    EXPECT_EQ(store.values(),
              (std::map<std::string, std::string>{
                  {"Editor", "ed"}, {"PG2 Dir", "p2"}, {"PeG Dir", "pe"}, {"PeG WAV", "w"}}));
}

TEST(Settings, ExitWritesCurrentFilesAndDefaultGame) {
    MemorySettingsBackend store;
    AppSettings s = readWindows(store);
    s.eFile(Game::Pg2) = "A.EQP";
    s.tFile(Game::Peg) = "B.txt";
    s.defaultEFile = "PeG";
    s.dir(Game::Pg2) = "not stored at exit";
    WriteExitSettings(s, store);
    EXPECT_EQ(store.read("PG2 EQP"), "A.EQP");
    EXPECT_EQ(store.read("PeG GUI"), "B.txt");
    EXPECT_EQ(store.read("Default E-File"), "PeG");
    EXPECT_FALSE(store.read("PG2 Dir"));
}

TEST(Settings, NativeDefaultsLiveUnderTheWinePrefix) {
#ifndef _WIN32
    MemorySettingsBackend store;
    AppSettings s;
    ReadAllSettings(s, store);
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    EXPECT_EQ(s.dir(Game::Pg2), home + "/.wine/drive_c/PANZER2/");
    EXPECT_EQ(s.soundDir(Game::Peg), home + "/.wine/drive_c/PEOPLES/WAVS/");
    EXPECT_EQ(s.editorPath, "/usr/bin/xdg-open");
#endif
}

TEST(IniSettings, KeepsValuesAcrossInstancesAndOtherSections) {
    test::TempDir dir;
    const std::string path = dir.file("varnel.ini");
    test::WriteFile(path, std::string("[Other]\r\nkeep=me\r\n[Settings]\r\nPG2 Dir=D:\\P2\\\r\n"));
    {
        IniSettingsBackend ini(path);
        EXPECT_EQ(ini.read("PG2 Dir"), "D:\\P2\\");
        ini.write("Suffix", ".deu ");
        ini.remove("PG2 Dir");
    }
    IniSettingsBackend again(path);
    EXPECT_EQ(again.read("Suffix"), ".deu ");
    EXPECT_FALSE(again.read("PG2 Dir"));
    EXPECT_NE(test::ReadText(path).find("[Other]\r\nkeep=me\r\n"), std::string::npos);
}

TEST(IniSettings, LinesBeforeAnySectionDoNotBecomeSettings) {
    test::TempDir dir;
    const std::string path = dir.file("varnel.ini");
    // Found by fuzzing: such lines were written back under [Settings] and overrode its values.
    test::WriteFile(path, std::string("; comment\r\nSuffix=.bad\r\n[Settings]\r\n"));
    {
        IniSettingsBackend ini(path);
        EXPECT_FALSE(ini.read("Suffix"));
        ini.write("Suffix", ".fra");
    }
    IniSettingsBackend again(path);
    EXPECT_EQ(again.read("Suffix"), ".fra");
    EXPECT_EQ(test::ReadText(path).find("; comment\r\nSuffix=.bad\r\n[Settings]\r\n"), 0u);
}

TEST(TFileSearch, TakesFirstExistingCandidateElseTheAlternative) {
    test::TempDir dir;
    namespace fs = std::filesystem;
    for (const char* f : {"x", "main", "alt"})
        fs::create_directory(dir.path() / f);
    MemorySettingsBackend store;
    AppSettings s = readWindows(store);
    s.eFile(Game::Pg2) = dir.file("x/EQUIP97.EQP");
    s.dir(Game::Pg2) = dir.dir() + "main/";
    s.altDir(Game::Pg2) = dir.dir() + "alt/";

    EXPECT_EQ(FindTFile(s, Game::Pg2), dir.dir() + "alt/GUI97.txt"); // none exists
    test::WriteFile(dir.file("alt/GUI97.txt"), std::string("a"));
    EXPECT_EQ(FindTFile(s, Game::Pg2), dir.dir() + "alt/GUI97.txt");
    test::WriteFile(dir.file("main/GUI97.txt"), std::string("a"));
    EXPECT_EQ(FindTFile(s, Game::Pg2), dir.dir() + "main/GUI97.txt");
    test::WriteFile(dir.file("x/GUI97.txt"), std::string("a"));
    EXPECT_EQ(FindTFile(s, Game::Pg2), dir.file("x/GUI97.txt"));
    s.textSuffix = ".fra";
    EXPECT_EQ(FindTFile(s, Game::Pg2), dir.dir() + "alt/GUI97.fra");
}

} // namespace
} // namespace varnel
