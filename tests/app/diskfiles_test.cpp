// The document and its files on disk: a change by another program is asked about on focus and
// before a save; a save keeps backups of the old file, rotating them, and a backup is restored as
// a change the user then saves.

#include "app/efileio.h"
#include "app/varneldoc.h"
#include "base/backups.h"
#include "base/fileio.h"
#include "base/format.h"
#include "base/paths.h"
#include "equip/efile.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace varnel {
namespace {

namespace fs = std::filesystem;

std::string changedQuestion(const std::string& path) {
    return path + " was changed by another program. Reload it (your unsaved changes are lost), "
                  "or keep yours?";
}

class DiskFiles : public ::testing::Test {
  protected:
    DiskFiles() : ui(test::MakeScriptedUi()), doc(*ui, store) {
        ReadAllSettings(doc.settings(), store);
        doc.settings().dir(Game::Pg2) = doc.settings().dir(Game::Peg) = dir.dir();
        doc.markSettingsLoaded();
        test::WriteSampleTables(dir.dir());
        ::setenv("XDG_DATA_HOME", data.dir().c_str(), 1);
        doc.setCurrentGame(Game::Pg2);
        EXPECT_TRUE(LoadEFile(doc, Game::Pg2, eFile()));
    }
    ~DiskFiles() override { ::unsetenv("XDG_DATA_HOME"); }

    std::string eFile() const { return dir.file("pg2/EQUIP97.EQP"); }
    std::string names() const { return dir.file("pg2/EQUIP97.txt"); }
    int airAtk(std::size_t unit) const { return doc.pg2()->units[unit].record[pg2::AirAtk]; }
    // Another program writes the E-File: unit 0's air attack becomes `value`, the size stays.
    void changeOnDisk(int value) {
        Bytes bytes = test::ReadFile(eFile());
        bytes[kEFileHeaderSize + pg2::AirAtk] = static_cast<std::uint8_t>(value);
        test::WriteFile(eFile(), bytes);
        // A different time even where the clock is coarse.
        fs::last_write_time(eFile(), fs::last_write_time(eFile()) + std::chrono::seconds(2));
    }
    void edit(int value) {
        ASSERT_TRUE(doc.setField(Game::Pg2, 0, "airAtk", std::to_string(value)).ok);
    }
    std::string updated(const std::string& path) { return "File " + path + " updated"; }

    test::TempDir dir;
    test::TempDir data;
    MemorySettingsBackend store;
    std::unique_ptr<ScriptedUi> ui;
    CVarnelDoc doc;
};

TEST_F(DiskFiles, KeepingYoursAsksOnceOnFocusAndAgainBeforeTheSave) {
    edit(77);
    changeOnDisk(33);
    ui->expectQuestion(changedQuestion(eFile()), false);
    doc.checkChangedFiles();
    ASSERT_TRUE(ui->finished());
    EXPECT_EQ(airAtk(0), 77);
    // The same change is not asked about at every focus...
    doc.checkChangedFiles();
    // ...but a save would overwrite it: asked again, and No writes the table.
    ui->expectQuestion(changedQuestion(eFile()), false).expectInformation(updated(eFile()));
    EXPECT_TRUE(SaveEFile(doc, Game::Pg2, eFile()));
    ASSERT_TRUE(ui->finished());
    EXPECT_EQ(test::ReadFile(eFile())[kEFileHeaderSize + pg2::AirAtk], 77);
    // What was saved is what the document now knows: no question.
    doc.checkChangedFiles();
}

TEST_F(DiskFiles, ReloadTakesTheOtherProgramsFileAndStopsTheSave) {
    edit(77);
    changeOnDisk(33);
    ui->expectQuestion(changedQuestion(eFile()), true);
    EXPECT_FALSE(SaveEFile(doc, Game::Pg2, eFile()));
    ASSERT_TRUE(ui->finished());
    EXPECT_EQ(airAtk(0), 33);
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(doc.history(Game::Pg2).count(), 0u);
    EXPECT_EQ(test::ReadFile(eFile())[kEFileHeaderSize + pg2::AirAtk], 33);
}

TEST_F(DiskFiles, ATouchOrAnotherFileIsNoChange) {
    // Same bytes, a new time: nothing to ask.
    fs::last_write_time(eFile(), fs::last_write_time(eFile()) + std::chrono::seconds(5));
    doc.checkChangedFiles();
    // The Names E-File is watched too.
    test::WriteFile(names(), std::string("Renamed\r\n"));
    ui->expectQuestion(changedQuestion(names()), false);
    doc.checkChangedFiles();
    ASSERT_TRUE(ui->finished());
    // Save As elsewhere overwrites nothing of the other program's: no question.
    const std::string copy = dir.file("pg2/COPY.EQP");
    ui->expectInformation(updated(copy)).expectInformation(updated(dir.file("pg2/COPY.txt")));
    EXPECT_TRUE(SaveEFilePair(doc, Game::Pg2, copy));
}

TEST_F(DiskFiles, BackupsRotateAtFiveAndARestoreIsAChangeToSave) {
    std::vector<int> saved; // the air attack each save left in the file
    for (int value = 1; value <= 7; ++value) {
        edit(value);
        ui->expectInformation(updated(eFile()));
        ASSERT_TRUE(SaveEFile(doc, Game::Pg2, eFile()));
        saved.push_back(value);
    }
    const auto backups = ListBackups(CVarnelDoc::backupFolder(), eFile());
    ASSERT_EQ(backups.size(), 5u);
    // Newest first: each holds the file as it was before one of the last five saves.
    for (std::size_t i = 0; i < backups.size(); ++i)
        EXPECT_EQ(test::ReadFile(backups[i])[kEFileHeaderSize + pg2::AirAtk], 6 - int(i))
            << backups[i];
    // The backups of the other game's EQUIP97.EQP are not these.
    EXPECT_TRUE(ListBackups(CVarnelDoc::backupFolder(), dir.file("peg/EQUIP97.EQP")).empty());

    ui->expectFileDialog("Restore Backup of EQUIP97.EQP", backups.back());
    doc.restoreBackup();
    ASSERT_TRUE(ui->finished());
    EXPECT_EQ(airAtk(0), 2);
    EXPECT_TRUE(doc.flag(Game::Pg2, ChangeKind::Data));
    EXPECT_FALSE(doc.flag(Game::Pg2, ChangeKind::Names));
    EXPECT_EQ(doc.history(Game::Pg2).undoStep()->text(),
              "Restore Backup " + GetPathPart(backups.back(), PathPart::NameExtension));
    ASSERT_TRUE(doc.undo(Game::Pg2));
    EXPECT_EQ(airAtk(0), 7);
    EXPECT_FALSE(doc.isModified());
}

TEST_F(DiskFiles, NoBackupsWhenTheNumberIsZero) {
    doc.settings().backups = 0;
    edit(9);
    ui->expectInformation(updated(eFile()));
    ASSERT_TRUE(SaveEFile(doc, Game::Pg2, eFile()));
    EXPECT_TRUE(ListBackups(CVarnelDoc::backupFolder(), eFile()).empty());
    ui->expectInformation("There is no backup of " + eFile());
    doc.restoreBackup();
}

TEST_F(DiskFiles, ABackupThatCannotBeWrittenStopsTheSave) {
    // The data folder is a file: no backup folder can be made under it.
    const std::string blocked = data.file("blocked");
    test::WriteFile(blocked, std::string("x"));
    ::setenv("XDG_DATA_HOME", blocked.c_str(), 1);
    const Bytes before = test::ReadFile(eFile());
    edit(9);
    ui->expectError("No backup of " + eFile() + " could be kept in " + CVarnelDoc::backupFolder() +
                    "\nthe folder does not exist\nNothing was saved");
    EXPECT_FALSE(SaveEFile(doc, Game::Pg2, eFile()));
    EXPECT_EQ(test::ReadFile(eFile()), before);
    EXPECT_TRUE(doc.flag(Game::Pg2, ChangeKind::Data));
}

TEST(BackupCount, ReadsOnlyASmallWholeNumber) {
    const struct {
        const char* text;
        int count;
    } rows[] = {{"0", 0}, {"5", 5}, {"12", 12}, {"", 5}, {"-1", 5}, {"x", 5}, {"100", 5}};
    for (const auto& row : rows)
        EXPECT_EQ(ParseBackupCount(row.text), row.count) << row.text;
}

} // namespace
} // namespace varnel
