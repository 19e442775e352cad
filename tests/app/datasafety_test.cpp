// The editor's side of unusual inputs: the document refuses what would lose data and says so,
// and leaves every file and its own state as they were.

#include "app/bulkcommands.h"
#include "app/efileio.h"
#include "app/samples/samples.h"
#include "app/unitops.h"
#include "app/varneldoc.h"
#include "base/fileio.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>

namespace varnel {
namespace {

namespace fs = std::filesystem;

class EditorSafety : public ::testing::Test {
  protected:
    EditorSafety() : ui(test::MakeScriptedUi()), doc(*ui, store) {
        ReadAllSettings(doc.settings(), store);
        doc.settings().dir(Game::Pg2) = doc.settings().dir(Game::Peg) = dir.dir();
        test::WriteSampleTables(dir.dir());
    }
    std::string pg2() const { return dir.file("pg2/EQUIP97.EQP"); }
    std::string peg() const { return dir.file("peg/EQUIP97.EQP"); }

    test::TempDir dir;
    MemorySettingsBackend store;
    std::unique_ptr<ScriptedUi> ui;
    CVarnelDoc doc;
};

TEST_F(EditorSafety, SaveRefusesANamesEFileThatIsTheEFile) {
    ASSERT_TRUE(LoadEFile(doc, Game::Pg2, pg2()));
    doc.settings().textSuffix = ".EQP";
    doc.markModified(Game::Pg2, ChangeKind::Data);
    doc.markModified(Game::Pg2, ChangeKind::Names);
    const Bytes before = *ReadFileBytes(pg2());
    ui->expectInformation("The Names E-File of " + pg2() +
                          "\nwould be the E-File itself\nNothing written");
    doc.save();
    EXPECT_EQ(*ReadFileBytes(pg2()), before);
    EXPECT_TRUE(doc.flag(Game::Pg2, ChangeKind::Data) && doc.flag(Game::Pg2, ChangeKind::Names));
}

TEST_F(EditorSafety, PasteRefusesAFileOfTheOtherGame) {
    ASSERT_TRUE(LoadEFile(doc, Game::Pg2, pg2()));
    const std::size_t units = doc.pg2()->count();
    ui->expectInformation("not a PG2 E-File: " + peg());
    EXPECT_FALSE(PasteUnits(doc, Game::Pg2, peg()));
    EXPECT_EQ(doc.pg2()->count(), units);
    EXPECT_FALSE(doc.isModified());
}

// Windows has no FIFOs in its file system.
#ifndef _WIN32
TEST_F(EditorSafety, AFifoIsRefusedWithoutBeingOpened) {
    const std::string fifo = dir.file("pg2/FIFO.EQP");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    ui->expectInformation("not a regular file: " + fifo);
    EXPECT_FALSE(LoadEFile(doc, Game::Pg2, fifo)); // would hang if it were opened
    EXPECT_FALSE(doc.hasTable(Game::Pg2));
    EXPECT_FALSE(ReadFileBytes(fifo).has_value());
    EXPECT_TRUE(IsNonRegularFile(fifo));
    EXPECT_TRUE(IsNonRegularFile(dir.dir()));
    EXPECT_FALSE(IsNonRegularFile(pg2()));
    EXPECT_FALSE(IsNonRegularFile(dir.file("none")));
}
#endif

TEST_F(EditorSafety, ExportNeverReplacesItsSource) {
    ASSERT_TRUE(LoadEFile(doc, Game::Pg2, pg2()));
    const Bytes before = *ReadFileBytes(pg2());
    const Bytes namesBefore = *ReadFileBytes(dir.file("pg2/EQUIP97.txt"));
    for (const std::string& target : {pg2(), dir.file("pg2/EQUIP97")}) {
        ExportRequest request;
        request.definition.path = dir.file("pg2/def.txt");
        request.definition.parsed.codes = {1, 2};
        request.target = target;
        const std::string clash = target == pg2() ? pg2() : dir.file("pg2/EQUIP97.txt");
        ui->expectInformation("Exporting to " + clash + "\nwould overwrite the source " + clash +
                              "\nNothing exported");
        EXPECT_FALSE(RunExport(doc, Game::Pg2, request));
    }
    EXPECT_EQ(*ReadFileBytes(pg2()), before);
    EXPECT_EQ(*ReadFileBytes(dir.file("pg2/EQUIP97.txt")), namesBefore);
}

TEST_F(EditorSafety, AnEmptyTFileNamesNoCountry) {
    test::WriteFile(dir.file("pg2/GUI97.txt"), std::string());
    ASSERT_TRUE(LoadEFile(doc, Game::Pg2, pg2()));
    EXPECT_EQ(doc.countries(Game::Pg2).count(), 0);
}

TEST_F(EditorSafety, APathOfThreeHundredCharactersIsKeptWhole) {
    const fs::path deep = dir.path() / std::string(150, 'a') / std::string(150, 'b');
    fs::create_directories(deep);
    for (const char* f : {"EQUIP97.EQP", "EQUIP97.txt", "GUI97.txt"})
        fs::copy_file(dir.file(std::string("pg2/") + f), deep / f);
    const std::string eFile = (deep / "EQUIP97.EQP").string();
    ASSERT_TRUE(LoadEFile(doc, Game::Pg2, eFile));
    EXPECT_EQ(doc.settings().namesEFile(Game::Pg2), (deep / "EQUIP97.txt").string());
    EXPECT_EQ(doc.settings().tFile(Game::Pg2), (deep / "GUI97.txt").string());
    doc.markModified(Game::Pg2, ChangeKind::Names);
    ui->expectInformation("File " + (deep / "EQUIP97.txt").string() + " updated");
    EXPECT_TRUE(SaveNames(doc, Game::Pg2));
    EXPECT_FALSE(fs::exists(deep.parent_path() / "EQUIP97.txt"));
}

} // namespace
} // namespace varnel
