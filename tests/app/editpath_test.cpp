// The edit path: each kind of step is undone to exactly the state before it and redone to
// exactly the state after it (records, PG2 country and switches, names, count, files), with the
// texts the Edit menu shows, the modified mark, and what the observers are told.

#include "app/bulkcommands.h"
#include "app/efileio.h"
#include "app/unitops.h"
#include "app/varneldoc.h"
#include "base/fileio.h"
#include "equip/efile.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace varnel {
namespace {

// Everything a step may touch of one game, compared whole.
struct Snapshot {
    std::vector<Bytes> records;
    std::vector<std::string> names;
    std::string eFile, namesEFile, tFile;
    std::vector<std::string> countries;
    bool operator==(const Snapshot&) const = default;
};

Snapshot snapshot(const CVarnelDoc& doc, Game g) {
    Snapshot s;
    for (std::size_t i = 0; i < doc.unitCount(g); ++i) {
        if (g == Game::Pg2) {
            const Pg2Unit& u = doc.pg2()->units[i];
            s.records.emplace_back(u.record.bytes.begin(), u.record.bytes.end());
        } else {
            const PegUnit& u = doc.peg()->units[i];
            s.records.emplace_back(u.record.bytes.begin(), u.record.bytes.end());
        }
        s.names.emplace_back(*doc.unitName(g, i));
    }
    s.eFile = doc.settings().eFile(g);
    s.namesEFile = doc.settings().namesEFile(g);
    s.tFile = doc.settings().tFile(g);
    for (int k = 0; k < doc.countries(g).count(); ++k)
        s.countries.push_back(doc.countries(g).name(k));
    return s;
}

// Takes every message and keeps it; questions are answered No and file dialogs cancelled.
class QuietUi : public UiPort {
  public:
    void information(const std::string& text) override { shown.push_back(text); }
    bool question(const std::string& text) override {
        shown.push_back(text);
        return false;
    }
    void error(const std::string& text) override { shown.push_back(text); }
    std::optional<std::string> fileDialog(const FileDialogRequest&) override {
        return std::nullopt;
    }
    void setBusy(bool) override {}
    bool startDetached(const std::string&, const std::vector<std::string>&) override {
        return false;
    }
    bool saw(const std::string& start) const {
        for (const std::string& t : shown)
            if (t.compare(0, start.size(), start) == 0)
                return true;
        return false;
    }
    std::vector<std::string> shown;
};

class EditPath : public ::testing::Test {
  protected:
    EditPath() : ui(std::make_unique<QuietUi>()), doc(*ui, store) {
        ReadAllSettings(doc.settings(), store);
        doc.settings().dir(Game::Pg2) = doc.settings().dir(Game::Peg) = dir.dir();
        doc.settings().altDir(Game::Pg2) = doc.settings().altDir(Game::Peg) = dir.dir();
        doc.markSettingsLoaded();
        test::WriteSampleTables(dir.dir());
    }
    std::string eFile(Game g) const {
        return dir.file(g == Game::Pg2 ? "pg2/EQUIP97.EQP" : "peg/EQUIP97.EQP");
    }
    void load(Game g) {
        doc.setCurrentGame(g);
        ASSERT_TRUE(LoadEFile(doc, g, eFile(g)));
    }
    test::TempDir dir;
    MemorySettingsBackend store;
    std::unique_ptr<QuietUi> ui;
    CVarnelDoc doc;
};

struct StepCase {
    const char* name;
    Game game;
    bool pegLoaded;   // the conversion also runs with no PeG table at all
    std::string text; // what "Undo " names
    std::function<void(CVarnelDoc&, QuietUi&, const std::string& dir)> run; // the one step
    std::function<void(CVarnelDoc&)> setUp = {};                            // before it
};

std::vector<StepCase> stepCases() {
    auto set = [](Game g, std::size_t unit, const char* field, const char* value) {
        return [=](CVarnelDoc& doc, QuietUi&, const std::string&) {
            ASSERT_TRUE(doc.setField(g, unit, field, value).ok);
        };
    };
    return {
        {"Number", Game::Pg2, true, "Air attack of 3 Tiger I", set(Game::Pg2, 3, "airAtk", "77")},
        {"Country", Game::Pg2, true, "Country of 2 Panzer IV F2",
         set(Game::Pg2, 2, "country", "26")},
        {"Switch", Game::Pg2, true, "Bridge of 3 Tiger I",
         [](CVarnelDoc& doc, QuietUi&, const std::string&) {
             const FieldDef& bridge = *FindField(Game::Pg2, "bridge");
             const bool set = doc.formatField(Game::Pg2, 3, bridge) == "1";
             ASSERT_TRUE(doc.setField(Game::Pg2, 3, bridge, set ? "0" : "1").ok);
         }},
        {"Bit", Game::Peg, true, "Hide of 2 Leopard 2A6", set(Game::Peg, 2, "hide", "1")},
        {"Icon", Game::Peg, true, "Move Icon of 3 M1A2 Abrams",
         set(Game::Peg, 3, "movIcon", "ABC")},
        {"Name", Game::Pg2, true, "Name of 1 Wehrmacht Infantry",
         set(Game::Pg2, 1, "denomination", "Grenadiers")},
        {"Clone", Game::Peg, true, "Clone of 4",
         [](CVarnelDoc& doc, QuietUi& ui, const std::string&) {
             const int code = static_cast<int>(doc.unitCount(Game::Peg));
             ASSERT_TRUE(CloneUnit(doc, Game::Peg, 4));
             EXPECT_TRUE(ui.saw(Format("Clone is Code: %d", code)));
         }},
        // Codes that do not count up are put back as they were.
        {"Delete", Game::Pg2, true, "Delete of 2 Panzer IV F2",
         [](CVarnelDoc& doc, QuietUi&, const std::string&) {
             ASSERT_TRUE(doc.deleteUnit(Game::Pg2, 2));
         },
         [](CVarnelDoc& doc) {
             Pg2UnitTable odd = *doc.pg2();
             odd.units[5].record.setCode(90);
             odd.units[6].record.setCode(7);
             doc.loadTable(std::move(odd));
             ASSERT_TRUE(doc.setField(Game::Pg2, 3, "airAtk", "1").ok); // a step before
         }},
        {"Paste", Game::Peg, true, "Merge from E-File (",
         [](CVarnelDoc& doc, QuietUi&, const std::string& dir) {
             ASSERT_TRUE(PasteUnits(doc, Game::Peg, dir + "peg/EQUIP97.EQP"));
         }},
        {"Cost", Game::Peg, true, "Global Cost Modifier (",
         [](CVarnelDoc& doc, QuietUi& ui, const std::string&) {
             CostChoices choices;
             for (int c = 1; c < peg::kCountryCount; ++c) {
                 choices.enabled[static_cast<std::size_t>(c)] = true;
                 choices.percent[static_cast<std::size_t>(c)] = 37;
             }
             const int changed = ModifyPegCosts(doc, choices);
             ASSERT_GT(changed, 0);
             EXPECT_TRUE(ui.saw(Format("%d Units modified", changed)));
         }},
        {"ConversionOverATable", Game::Peg, true, "Convert PG2 to PeG",
         [](CVarnelDoc& doc, QuietUi& ui, const std::string& dir) {
             ConvertRequest r;
             r.pegTFile = dir + "peg/GUI97.txt";
             r.takeOverNames = true; // the country names change too
             ASSERT_TRUE(RunConversion(doc, r));
             EXPECT_TRUE(ui.saw("Conversion made!"));
         }},
        {"ConversionIntoNothing", Game::Peg, false, "Convert PG2 to PeG",
         [](CVarnelDoc& doc, QuietUi&, const std::string& dir) {
             ConvertRequest r;
             r.pegTFile = dir + "peg/GUI97.txt";
             ASSERT_TRUE(RunConversion(doc, r));
         }},
        // Fields of several units, a name among them, and a new unit: one step.
        {"CsvImport", Game::Pg2, true, "Import from CSV (2 units changed, 1 added)",
         [](CVarnelDoc& doc, QuietUi&, const std::string&) {
             const std::string text = "code,airAtk,country,denomination\r\n"
                                      "1,7,26,Grenadiers\r\n3,9,2,Tiger I\r\n"
                                      "40,1,3,New\r\n";
             const CsvReadResult read =
                 ReadCsv({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
             ASSERT_TRUE(read.file) << read.error;
             const auto outcome = doc.importCsv(Game::Pg2, *read.file, {.append = true});
             ASSERT_TRUE(outcome.applied) << outcome.summary;
             EXPECT_EQ(doc.unitCount(Game::Pg2), 41u);
             EXPECT_EQ(*doc.unitName(Game::Pg2, 1), "Grenadiers");
         }},
        {"ReloadNames", Game::Pg2, true, "Reload names",
         [](CVarnelDoc& doc, QuietUi&, const std::string& dir) {
             const Bytes other = test::ReadFile(dir + "pg2/EQUIP97.txt");
             Bytes shorter(other.begin(), other.begin() + 20); // units past the end keep theirs
             doc.reloadNames(Game::Pg2, shorter, dir + "other.txt");
         },
         [](CVarnelDoc& doc) {
             ASSERT_TRUE(doc.setField(Game::Pg2, 0, "denomination", "Edited").ok);
         }},
    };
}

class EachStep : public EditPath, public ::testing::WithParamInterface<StepCase> {};

TEST_P(EachStep, UndoAndRedoRestoreExactly) {
    const StepCase& c = GetParam();
    load(Game::Pg2);
    if (c.pegLoaded)
        load(Game::Peg);
    doc.setCurrentGame(c.game);
    if (c.setUp)
        c.setUp(doc);
    const Snapshot before = snapshot(doc, c.game);
    const std::size_t steps = doc.history(c.game).count();
    c.run(doc, *ui, dir.dir());
    ASSERT_EQ(doc.history(c.game).count(), steps + 1) << "one step";
    const std::string text = doc.history(c.game).undoStep()->text();
    EXPECT_EQ(text.substr(0, c.text.size()), c.text);
    const Snapshot after = snapshot(doc, c.game);
    const Snapshot otherAfter = snapshot(doc, OtherGame(c.game));
    const bool dataAfter = doc.flag(c.game, ChangeKind::Data);
    EXPECT_NE(before, after);
    ASSERT_TRUE(doc.undo(c.game));
    EXPECT_EQ(snapshot(doc, c.game), before);
    ASSERT_TRUE(doc.redo(c.game));
    EXPECT_EQ(snapshot(doc, c.game), after);
    EXPECT_EQ(doc.flag(c.game, ChangeKind::Data), dataAfter);
    ASSERT_TRUE(doc.undo(c.game));
    EXPECT_EQ(snapshot(doc, c.game), before);
    EXPECT_EQ(snapshot(doc, OtherGame(c.game)), otherAfter) << "the other game is untouched";
    // Again, to see that a step can go back and forth as often as the user likes.
    ASSERT_TRUE(doc.redo(c.game));
    ASSERT_TRUE(doc.undo(c.game));
    EXPECT_EQ(snapshot(doc, c.game), before);
    // A step that came last can be undone to the load: clean again (names reloads excepted,
    // which make the names clean as read).
    doc.moveHistoryTo(c.game, 0);
    EXPECT_FALSE(doc.flag(c.game, ChangeKind::Data)) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Kinds, EachStep, ::testing::ValuesIn(stepCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditPath, RefusedValuesMakeNoStep) {
    load(Game::Pg2);
    const Snapshot before = snapshot(doc, Game::Pg2);
    for (const char* value : {"x", "256", "-1", ""})
        EXPECT_FALSE(doc.setField(Game::Pg2, 3, "airAtk", value).ok) << value;
    EXPECT_FALSE(doc.setField(Game::Pg2, 3, "denomination", "two\nlines").ok);
    EXPECT_FALSE(doc.setField(Game::Pg2, 999, "airAtk", "1").ok);
    // The same value again changes nothing either.
    const std::string held = doc.formatField(Game::Pg2, 3, *FindField(Game::Pg2, "airAtk"));
    EXPECT_TRUE(doc.setField(Game::Pg2, 3, "airAtk", held).ok);
    EXPECT_EQ(doc.history(Game::Pg2).count(), 0u);
    EXPECT_EQ(snapshot(doc, Game::Pg2), before);
    EXPECT_FALSE(doc.isModified());
}

// Undoing back to the load or the last save clears the mark; redo past it sets it again; a new
// step after undoing past a save leaves no way back to clean.
TEST_F(EditPath, TheModifiedMarkFollowsTheCleanPoint) {
    load(Game::Pg2);
    auto marked = [&] { return doc.title().find("<Modified: PG2>") != std::string::npos; };
    ASSERT_TRUE(doc.setField(Game::Pg2, 3, "airAtk", "10").ok);
    ASSERT_TRUE(doc.setField(Game::Pg2, 3, "airAtk", "20").ok);
    EXPECT_TRUE(marked());
    ASSERT_TRUE(doc.undo(Game::Pg2));
    ASSERT_TRUE(doc.undo(Game::Pg2));
    EXPECT_FALSE(marked());
    ASSERT_TRUE(doc.redo(Game::Pg2));
    EXPECT_TRUE(marked());

    ASSERT_TRUE(SaveEFile(doc, Game::Pg2, doc.settings().eFile(Game::Pg2)));
    EXPECT_FALSE(marked());
    ASSERT_TRUE(doc.undo(Game::Pg2));
    EXPECT_TRUE(marked()) << "the file holds the saved value";
    ASSERT_TRUE(doc.redo(Game::Pg2));
    EXPECT_FALSE(marked());
    ASSERT_TRUE(doc.undo(Game::Pg2));
    ASSERT_TRUE(doc.setField(Game::Pg2, 3, "airAtk", "30").ok);
    EXPECT_FALSE(doc.redo(Game::Pg2));
    doc.moveHistoryTo(Game::Pg2, 0);
    EXPECT_TRUE(marked()) << "the saved state cannot be reached any more";
    // A name step marks the names only.
    ASSERT_TRUE(doc.setField(Game::Pg2, 3, "denomination", "Tiger II").ok);
    EXPECT_TRUE(doc.flag(Game::Pg2, ChangeKind::Names));
}

TEST_F(EditPath, AFailedSaveKeepsTheMark) {
    load(Game::Peg);
    doc.settings().backups = 0; // the planned fault hits the E-File itself
    ASSERT_TRUE(doc.setField(Game::Peg, 1, "airAtk", "9").ok);
    PlanSaveFault(SaveFault{SaveStage::Replace, 0});
    EXPECT_FALSE(SaveEFile(doc, Game::Peg, doc.settings().eFile(Game::Peg)));
    PlanSaveFault(std::nullopt);
    EXPECT_TRUE(ui->saw("Error on creating [" + doc.settings().eFile(Game::Peg) + "]"));
    EXPECT_TRUE(doc.flag(Game::Peg, ChangeKind::Data));
    ASSERT_TRUE(doc.undo(Game::Peg));
    EXPECT_FALSE(doc.flag(Game::Peg, ChangeKind::Data)) << "the file still holds the loaded value";
}

// One history per game; a load starts its game's history afresh.
TEST_F(EditPath, HistoriesArePerGameAndALoadClearsOne) {
    load(Game::Pg2);
    load(Game::Peg);
    ASSERT_TRUE(doc.setField(Game::Pg2, 1, "airAtk", "9").ok);
    ASSERT_TRUE(doc.setField(Game::Peg, 1, "airAtk", "8").ok);
    EXPECT_EQ(doc.history(Game::Pg2).count(), 1u);
    EXPECT_EQ(doc.history(Game::Peg).count(), 1u);
    ASSERT_TRUE(doc.undo(Game::Peg));
    EXPECT_EQ(doc.pg2()->units[1].record[pg2::AirAtk], 9);
    load(Game::Pg2);
    EXPECT_EQ(doc.history(Game::Pg2).count(), 0u);
    EXPECT_FALSE(doc.undo(Game::Pg2));
    EXPECT_EQ(doc.history(Game::Peg).count(), 1u);
}

// Observers hear which units changed, and that the history moved.
TEST_F(EditPath, ObserversHearWhatChanged) {
    load(Game::Peg);
    struct Listener : DocObserver {
        std::vector<DocChange> changes;
        int moves = 0;
        void documentChanged(const DocChange& c) override { changes.push_back(c); }
        void historyChanged(Game) override { ++moves; }
    } listener;
    doc.addObserver(&listener);
    ASSERT_TRUE(doc.setField(Game::Peg, 5, "airAtk", "4").ok);
    ASSERT_TRUE(doc.undo(Game::Peg));
    ASSERT_TRUE(doc.deleteUnit(Game::Peg, 2));
    doc.removeObserver(&listener);
    ASSERT_EQ(listener.changes.size(), 3u);
    for (int k : {0, 1}) {
        EXPECT_EQ(listener.changes[k].scope, DocChange::Scope::Units);
        EXPECT_EQ(listener.changes[k].first, 5u);
        EXPECT_EQ(listener.changes[k].count, 1u);
        EXPECT_TRUE(listener.changes[k].data && !listener.changes[k].names);
    }
    EXPECT_EQ(listener.changes[2].scope, DocChange::Scope::Count);
    EXPECT_EQ(listener.changes[2].first, 2u);
    EXPECT_EQ(listener.moves, 3);
}

// One refused cell anywhere in the file: no field changes, no step is made.
TEST_F(EditPath, ARefusedCsvImportChangesNothing) {
    load(Game::Peg);
    const Snapshot before = snapshot(doc, Game::Peg);
    const std::string text = "code,cost,denomination\r\n0,50,First\r\n1,99999,Second\r\n";
    const CsvReadResult read =
        ReadCsv({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
    ASSERT_TRUE(read.file) << read.error;
    const auto outcome = doc.importCsv(Game::Peg, *read.file, {});
    EXPECT_FALSE(outcome.applied);
    EXPECT_EQ(outcome.refusals, 1u);
    EXPECT_NE(outcome.summary.find("line 3, column cost, value \"99999\": Please enter an "
                                   "integer between 0 and 2550."),
              std::string::npos)
        << outcome.summary;
    EXPECT_EQ(snapshot(doc, Game::Peg), before);
    EXPECT_EQ(doc.history(Game::Peg).count(), 0u);
    EXPECT_FALSE(doc.isModified());
}

} // namespace
} // namespace varnel
