// The document's commands on both games, with their exact texts: title, save, the save-modified
// prompt and its failed-save cancel, open, clone, delete, files opened by the framework, exit.

#include "app/efileio.h"
#include "app/samples/samples.h"
#include "app/varneldoc.h"
#include "base/fileio.h"
#include "base/format.h"
#include "base/paths.h"
#include "equip/efile.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace varnel {
namespace {

constexpr const char* kNotModified = "%s\nis NOT modified\n ¿ Save anyway ?";
constexpr const char* kModified = "%s\nIS modified\n ¿ Save changes ?";

std::string question(const char* format, const std::string& path) {
    return Format(format, path.c_str());
}

class Doc : public ::testing::Test {
  protected:
    Doc() : ui(test::MakeScriptedUi()), doc(*ui, store) {
        ReadAllSettings(doc.settings(), store);
        doc.settings().dir(Game::Pg2) = doc.settings().dir(Game::Peg) = dir.dir();
        doc.settings().altDir(Game::Pg2) = doc.settings().altDir(Game::Peg) = dir.dir();
        doc.markSettingsLoaded();
        test::WriteSampleTables(dir.dir());
    }

    std::string eFile(Game g) const {
        return dir.file(g == Game::Pg2 ? "pg2/EQUIP97.EQP" : "peg/EQUIP97.EQP");
    }
    std::string names(Game g) const {
        return dir.file(g == Game::Pg2 ? "pg2/EQUIP97.txt" : "peg/EQUIP97.txt");
    }

    void load(Game g) {
        if (g == Game::Peg && doc.currentGame() == Game::Pg2)
            doc.setCurrentGame(Game::Peg); // no "switch to" hint for PeG loads anyway
        ASSERT_TRUE(LoadEFile(doc, g, eFile(g)));
    }
    void loadBoth() {
        doc.setCurrentGame(Game::Pg2);
        load(Game::Pg2);
        doc.setCurrentGame(Game::Peg);
        load(Game::Peg);
        doc.setCurrentGame(Game::Pg2);
    }
    std::uint8_t airAtk(Game g, std::size_t unit) const {
        return g == Game::Pg2 ? doc.pg2()->units[unit].record[pg2::AirAtk]
                              : doc.peg()->units[unit].record[peg::AirAtk];
    }

    test::TempDir dir;
    MemorySettingsBackend store;
    std::unique_ptr<ScriptedUi> ui;
    CVarnelDoc doc;
};

TEST_F(Doc, TitleInItsVariants) {
    EXPECT_EQ(doc.title(),
              "PG2 File: " + doc.settings().eFile(Game::Pg2) + "   - Varnel Editor 2.07");
    doc.settings().eFile(Game::Pg2) = "C:\\PANZER2\\EQUIP97.EQP";
    doc.markModified(Game::Pg2, ChangeKind::Names);
    EXPECT_EQ(doc.title(),
              "PG2 File: C:\\PANZER2\\EQUIP97.EQP <Modified: PG2>   - Varnel Editor 2.07");
    doc.markModified(Game::Peg, ChangeKind::Data);
    doc.setCurrentGame(Game::Peg);
    doc.settings().eFile(Game::Peg) = "C:\\PEOPLE\\EQUIP97.EQP";
    EXPECT_EQ(doc.title(),
              "PeG File: C:\\PEOPLE\\EQUIP97.EQP <Modified: PG2: PeG>   - Varnel Editor 2.07");
    doc.markSaved(Game::Pg2, ChangeKind::Names);
    doc.markSaved(Game::Peg, ChangeKind::Data);
    doc.settings().eFile(Game::Peg) =
        "C:\\A very long folder name\\another long folder\\EQUIP97.EQP";
    const std::string t = doc.title();
    EXPECT_EQ(t, "PeG File: " + ShortenPath(doc.settings().eFile(Game::Peg), 36) +
                     "   - Varnel Editor 2.07");
    EXPECT_NE(t.find("PeG File: .."), std::string::npos) << t;
}

TEST_F(Doc, MarkModifiedSetsOneFlagAndTellsTheTitle) {
    std::vector<std::string> titles;
    test::HookObserver hooks(doc);
    hooks.onTitle = [&] { titles.push_back(doc.title()); };
    doc.markModified(Game::Peg, ChangeKind::Names);
    EXPECT_TRUE(doc.flag(Game::Peg, ChangeKind::Names));
    EXPECT_FALSE(doc.flag(Game::Peg, ChangeKind::Data) || doc.flag(Game::Pg2, ChangeKind::Data) ||
                 doc.flag(Game::Pg2, ChangeKind::Names));
    ASSERT_EQ(titles.size(), 1u);
    EXPECT_NE(titles[0].find("<Modified: PeG> "), std::string::npos);
}

TEST_F(Doc, SaveWithNothingChangedAsksTwiceAndNoWritesNothing) {
    for (const Game g : {Game::Pg2, Game::Peg}) {
        doc.setCurrentGame(g);
        load(g);
        const Bytes before = *ReadFileBytes(eFile(g));
        const Bytes namesBefore = *ReadFileBytes(names(g));
        std::filesystem::last_write_time(eFile(g), std::filesystem::file_time_type::clock::now() -
                                                       std::chrono::hours(1));
        const auto stamp = std::filesystem::last_write_time(eFile(g));
        ui->expectQuestion(question(kNotModified, eFile(g)), false)
            .expectQuestion(question(kNotModified, names(g)), false);
        doc.save();
        EXPECT_EQ(std::filesystem::last_write_time(eFile(g)), stamp);
        EXPECT_EQ(*ReadFileBytes(eFile(g)), before);
        EXPECT_EQ(*ReadFileBytes(names(g)), namesBefore);
    }
}

TEST_F(Doc, SaveWritesTheChangedFileAndAsksOnlyForTheOther) {
    load(Game::Pg2);
    ASSERT_TRUE(doc.setField(Game::Pg2, 1, "airAtk", "77").ok);
    ui->expectQuestion(question(kNotModified, names(Game::Pg2)), false)
        .expectInformation("File " + eFile(Game::Pg2) + " updated");
    doc.save();
    EXPECT_FALSE(doc.flag(Game::Pg2, ChangeKind::Data));
    const auto parsed = ParsePg2EFile(*ReadFileBytes(eFile(Game::Pg2)));
    EXPECT_EQ(parsed.units[1].record[pg2::AirAtk], 77);
    EXPECT_EQ(doc.title().find("<Modified"), std::string::npos);
}

TEST_F(Doc, SaveOfBothFilesWritesThePair) {
    load(Game::Peg);
    doc.setCurrentGame(Game::Peg);
    ASSERT_TRUE(doc.setField(Game::Peg, 0, "airAtk", "12").ok);
    ASSERT_TRUE(doc.setField(Game::Peg, 0, "denomination", "Renamed").ok);
    ui->expectInformation("File " + eFile(Game::Peg) + " updated")
        .expectInformation("File " + names(Game::Peg) + " updated");
    doc.save();
    EXPECT_FALSE(doc.flag(Game::Peg, ChangeKind::Data) || doc.flag(Game::Peg, ChangeKind::Names));
    EXPECT_EQ(ReadFileBytes(names(Game::Peg))->at(0), 'R');
}

TEST_F(Doc, ExitAsksTheFourQuestionsInOrderAndNoStillEnds) {
    loadBoth();
    test::MarkAllModified(doc);
    ui->expectQuestion(question(kModified, eFile(Game::Pg2)), false)
        .expectQuestion(question(kModified, eFile(Game::Peg)), false)
        .expectQuestion(question(kModified, names(Game::Pg2)), false)
        .expectQuestion(question(kModified, names(Game::Peg)), false);
    EXPECT_TRUE(doc.close());
    EXPECT_TRUE(doc.flag(Game::Pg2, ChangeKind::Data) && doc.flag(Game::Peg, ChangeKind::Data) &&
                doc.flag(Game::Pg2, ChangeKind::Names) && doc.flag(Game::Peg, ChangeKind::Names));
    EXPECT_EQ(store.values().at("PG2 EQP"), eFile(Game::Pg2));
    EXPECT_EQ(store.values().at("PeG EQP"), eFile(Game::Peg));
}

TEST_F(Doc, AFailedSaveInThePromptCancelsTheAction) {
    loadBoth();
    doc.markModified(Game::Pg2, ChangeKind::Data);
    doc.markModified(Game::Peg, ChangeKind::Data);
    // The PG2 E-File's folder is gone: its save fails and the exit must not go on.
    doc.settings().eFile(Game::Pg2) = dir.file("gone/EQUIP97.EQP");
    store.remove("PG2 EQP");
    ui->expectQuestion(question(kModified, doc.settings().eFile(Game::Pg2)), true)
        .expectError("Error on creating [" + doc.settings().eFile(Game::Pg2) +
                     "]\nthe folder does not exist");
    EXPECT_FALSE(doc.close());
    EXPECT_TRUE(doc.flag(Game::Pg2, ChangeKind::Data));
    EXPECT_TRUE(doc.flag(Game::Peg, ChangeKind::Data))
        << "nothing after the failed save is asked or saved";
    EXPECT_EQ(store.values().count("PG2 EQP"), 0u) << "no exit settings after a cancel";

    // The same cancel keeps Open and a framework open from discarding the table.
    const std::size_t units = doc.pg2()->count();
    ui->expectQuestion(question(kModified, doc.settings().eFile(Game::Pg2)), true)
        .expectError("Error on creating [" + doc.settings().eFile(Game::Pg2) +
                     "]\nthe folder does not exist");
    doc.open();
    ui->expectQuestion(question(kModified, doc.settings().eFile(Game::Pg2)), true)
        .expectError("Error on creating [" + doc.settings().eFile(Game::Pg2) +
                     "]\nthe folder does not exist");
    EXPECT_FALSE(doc.openDocument(eFile(Game::Peg)));
    EXPECT_EQ(doc.pg2()->count(), units);

    // A No lets the action go on.
    doc.settings().defaultEFile = "PG2";
    ui->expectQuestion(question(kModified, doc.settings().eFile(Game::Pg2)), false)
        .expectQuestion(question(kModified, doc.settings().eFile(Game::Peg)), false);
    EXPECT_TRUE(doc.openDocument(eFile(Game::Pg2)));
}

TEST_F(Doc, OpenPromptsOnlyForTheShownGamesChanges) {
    loadBoth();
    doc.markModified(Game::Pg2, ChangeKind::Data);
    doc.setCurrentGame(Game::Peg);
    ui->expectFileDialog("Select PeG EQUIP97.EQP", std::nullopt);
    doc.open(); // no question: PeG has no changes
    doc.setCurrentGame(Game::Pg2);
    ui->expectQuestion(question(kModified, eFile(Game::Pg2)), false)
        .expectFileDialog("Select PG2 EQUIP97.EQP", eFile(Game::Pg2));
    doc.open();
    EXPECT_FALSE(doc.flag(Game::Pg2, ChangeKind::Data)) << "the reload cleared the flag";
}

TEST_F(Doc, CloneAndDeleteNeedARegisteredViewAndAsk) {
    load(Game::Pg2);
    const std::size_t n = doc.pg2()->count();
    doc.cloneItem(); // no view registered: nothing
    EXPECT_EQ(doc.pg2()->count(), n);
    doc.view(Game::Pg2).registered = true;
    doc.view(Game::Pg2).currentUnit = 3;
    int refreshed = 0;
    test::HookObserver hooks(doc);
    hooks.onViews = [&] { ++refreshed; };
    ui->expectInformation(Format("Clone is Code: %d", static_cast<int>(n)));
    doc.cloneItem();
    ASSERT_EQ(doc.pg2()->count(), n + 1);
    EXPECT_EQ(doc.pg2()->name(n), doc.pg2()->name(3));
    EXPECT_TRUE(doc.flag(Game::Pg2, ChangeKind::Data) && doc.flag(Game::Pg2, ChangeKind::Names));
    EXPECT_FALSE(doc.flag(Game::Peg, ChangeKind::Data) || doc.flag(Game::Peg, ChangeKind::Names));
    EXPECT_EQ(refreshed, 1);

    ui->expectQuestion("Are you sure to delete ItemCode: 3", false);
    doc.deleteItem();
    EXPECT_EQ(doc.pg2()->count(), n + 1);
    const std::string fourth(doc.pg2()->name(4));
    ui->expectQuestion("Are you sure to delete ItemCode: 3", true);
    doc.deleteItem();
    ASSERT_EQ(doc.pg2()->count(), n);
    EXPECT_EQ(doc.pg2()->name(3), fourth);
    EXPECT_EQ(doc.pg2()->units[3].record.code(), 3);
    EXPECT_EQ(refreshed, 2);
}

TEST_F(Doc, AFileOpenedByTheFrameworkIsLoadedAsTheDefaultGame) {
    doc.settings().defaultEFile = "PeG";
    doc.setCurrentGame(Game::Pg2); // the PG2 view is shown
    std::vector<std::string> opened;
    test::HookObserver hooks(doc);
    hooks.onOpened = [&](const std::string& p) { opened.push_back(p); };
    EXPECT_TRUE(doc.openDocument(eFile(Game::Peg)));
    EXPECT_TRUE(doc.hasTable(Game::Peg));
    EXPECT_FALSE(doc.hasTable(Game::Pg2));
    EXPECT_EQ(opened, std::vector<std::string>{eFile(Game::Peg)});

    // Anything but exactly "PG2" means PeG.
    doc.settings().defaultEFile = "pg2";
    EXPECT_TRUE(doc.openDocument(eFile(Game::Peg)));
    EXPECT_FALSE(doc.hasTable(Game::Pg2));
    doc.settings().defaultEFile = "PG2";
    doc.setCurrentGame(Game::Pg2);
    EXPECT_TRUE(doc.openDocument(eFile(Game::Pg2)));
    EXPECT_TRUE(doc.hasTable(Game::Pg2));
}

// A file of the other game would be read misaligned (and its next save would overwrite it with
// this game's records): it is refused with an offer to open it as its own game. Opened both ways,
// from both games.
TEST_F(Doc, AFileOfTheOtherGameIsRefusedWithAnOffer) {
    for (Game g : {Game::Pg2, Game::Peg}) {
        const Game other = g == Game::Pg2 ? Game::Peg : Game::Pg2;
        SCOPED_TRACE(GameName(g));
        CVarnelDoc fresh(*ui, store);
        fresh.settings() = doc.settings();
        fresh.markSettingsLoaded();
        fresh.setCurrentGame(g);
        std::vector<Game> shown;
        test::HookObserver hooks(fresh);
        hooks.onShowGame = [&](Game game) { shown.push_back(game); };
        const std::string refused =
            Format("%s is a %s E-File, not a %s E-File\nOpen it in the %s view?",
                   eFile(other).c_str(), GameName(other), GameName(g), GameName(other));
        ui->expectQuestion(refused, false);
        EXPECT_FALSE(LoadEFile(fresh, g, eFile(other)));
        EXPECT_FALSE(fresh.hasTable(g));
        EXPECT_FALSE(fresh.hasTable(other));
        EXPECT_TRUE(shown.empty());

        // The framework's open (command line, drop) meets the same refusal; Yes opens it as its
        // own game and shows that game's form.
        fresh.settings().defaultEFile = GameName(g);
        ui->expectQuestion(refused, true);
        EXPECT_TRUE(fresh.openDocument(eFile(other)));
        ASSERT_TRUE(ui->finished());
        EXPECT_FALSE(fresh.hasTable(g));
        ASSERT_TRUE(fresh.hasTable(other));
        EXPECT_EQ(fresh.settings().eFile(other), eFile(other));
        const auto size = std::filesystem::file_size(eFile(other));
        EXPECT_EQ(fresh.unitCount(other), (size - kEFileHeaderSize) / RecordSize(other));
        EXPECT_FALSE(fresh.isModified());
        EXPECT_EQ(shown, std::vector<Game>{other});
    }
}

TEST_F(Doc, SaveAsWritesBothFilesAtTheNewPath) {
    load(Game::Pg2);
    const std::string target = dir.file("NEW.EQP");
    ui->expectFileDialog("Select PG2 EQUIP97.EQP", target)
        .expectInformation("File " + target + " updated")
        .expectInformation("File " + dir.file("NEW.txt") + " updated");
    doc.saveAs();
    EXPECT_EQ(doc.settings().eFile(Game::Pg2), target);
    EXPECT_EQ(*ReadFileBytes(target), *ReadFileBytes(eFile(Game::Pg2)));
    EXPECT_EQ(*ReadFileBytes(dir.file("NEW.txt")), *ReadFileBytes(names(Game::Pg2)));
}

TEST_F(Doc, CommandsWithoutATableDoNothing) {
    doc.view(Game::Pg2).registered = true;
    doc.save();
    doc.saveAs();
    doc.cloneItem();
    doc.deleteItem();
    doc.mergeFromEFile();
    doc.mergeFromTxt();
    doc.exportEFile();
    ui->expectInformation("You better load any PG2 E-File, first!");
    doc.convert();
    EXPECT_FALSE(doc.isModified());
}

} // namespace
} // namespace varnel
