// The recovery journal: an editor killed at any step of a session is restored to the same
// tables, change flags and undo history; a journal whose files changed is refused; two editors
// keep their journals apart; a normal end and a save remove what they settled.

#include "app/efileio.h"
#include "app/fieldedit.h"
#include "app/recoveryjournal.h"
#include "app/varneldoc.h"
#include "base/fileio.h"
#include "convert/csvtable.h"
#include "equip/efile.h"
#include "equip/fieldtable.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <functional>

#include <sys/wait.h>
#include <unistd.h>

namespace varnel {
namespace {

namespace fs = std::filesystem;

// Answers every question No and takes every message: the sessions below ask nothing the test
// cares about, and a child process cannot report to the test anyway.
class QuietUi : public UiPort {
  public:
    void information(const std::string& text) override { messages.push_back(text); }
    bool question(const std::string& text) override {
        messages.push_back(text);
        return false;
    }
    void error(const std::string& text) override { messages.push_back(text); }
    std::optional<std::string> fileDialog(const FileDialogRequest&) override {
        return std::nullopt;
    }
    void setBusy(bool) override {}
    bool startDetached(const std::string&, const std::vector<std::string>&) override {
        return false;
    }
    std::vector<std::string> messages;
};

// A document over the sample tables in `dir`, journaling into `state` when given.
struct Session {
    Session(const std::string& dir, const std::string& state) : dir(dir), doc(ui, store) {
        ReadAllSettings(doc.settings, store);
        doc.settings.pg2Dir = doc.settings.pegDir = dir;
        doc.settingsLoaded = true;
        doc.settings.backups = 0;
        if (!state.empty())
            doc.enableJournal(state);
    }
    std::string eFile(Game g) const {
        return dir + (g == Game::Pg2 ? "pg2/EQUIP97.EQP" : "peg/EQUIP97.EQP");
    }
    bool load(Game g) {
        doc.currentGame = g;
        return LoadEFile(doc, g, eFile(g));
    }
    std::string dir;
    QuietUi ui;
    MemorySettingsBackend store;
    CVarnelDoc doc;
};

using Step = std::function<void(Session&, Game)>;
constexpr std::size_t kSaveStep = 10; // the session's save, counted from 1

void field(Session& s, Game g, std::size_t unit, const char* name, const char* shown) {
    ASSERT_TRUE(SetField(s.doc, g, unit, name, shown).ok) << name;
}

// Field edits, names, clone, delete, a cost change, undo and redo, a save in the middle and undo
// past it: every kind of entry and every kind of base.
std::vector<Step> sessionSteps() {
    return {
        [](Session& s, Game g) { field(s, g, 3, "airAtk", "9"); },
        [](Session& s, Game g) { field(s, g, 1, "denomination", "Renamed unit"); },
        [](Session& s, Game g) {
            // A block of cells, as the units table pastes it.
            const std::vector<CellEdit> cells = {{2, FindField(g, "airAtk"), "7"},
                                                 {3, FindField(g, "denomination"), "Pasted"}};
            ASSERT_TRUE(s.doc.setFields(g, cells, "Paste").ok);
        },
        [](Session& s, Game g) {
            const std::string text = "code,hardAtk,denomination\r\n1,5,From a sheet\r\n";
            const auto csv =
                ReadCsv(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
            ASSERT_TRUE(csv.file) << csv.error;
            ASSERT_TRUE(s.doc.importCsv(g, *csv.file, {}).applied);
        },
        [](Session& s, Game g) { ASSERT_TRUE(s.doc.cloneUnit(g, 2)); },
        [](Session& s, Game g) { ASSERT_TRUE(s.doc.deleteUnit(g, 0)); },
        [](Session& s, Game g) { ASSERT_TRUE(s.doc.undo(g)); },
        [](Session& s, Game g) { ASSERT_TRUE(s.doc.redo(g)); },
        [](Session& s, Game g) {
            if (g == Game::Peg) {
                CostChoices choices;
                for (std::size_t c = 0; c < choices.enabled.size(); ++c) {
                    choices.enabled[c] = true;
                    choices.percent[c] = 150;
                }
                ASSERT_GT(s.doc.changeCosts(choices), 0);
            } else {
                field(s, g, 2, "cost", "120");
            }
        },
        [](Session& s, Game g) { ASSERT_TRUE(SaveEFilePair(s.doc, g, s.eFile(g))); },
        [](Session& s, Game g) { ASSERT_TRUE(s.doc.undo(g)); },
        [](Session& s, Game g) { ASSERT_TRUE(s.doc.undo(g)); },
        [](Session& s, Game g) { ASSERT_TRUE(s.doc.redo(g)); },
        [](Session& s, Game g) { field(s, g, 0, "denomination", "Last name"); },
        [](Session& s, Game g) { ASSERT_TRUE(s.doc.cloneUnit(g, 0)); },
    };
}

// What a restore must give back: the files a save writes, the flags, the history.
struct Outcome {
    Bytes eFile, names;
    bool data = false, namesFlag = false;
    std::vector<std::string> history;
    std::size_t position = 0;
};

Outcome outcomeOf(Session& s, Game g) {
    Outcome o;
    o.data = s.doc.flag(g, ChangeKind::Data);
    o.namesFlag = s.doc.flag(g, ChangeKind::Names);
    const EditHistory& h = s.doc.history(g);
    for (std::size_t i = 0; i < h.count(); ++i)
        o.history.push_back(h.step(i).text());
    o.position = h.index();
    const std::string target = s.dir + "saved.EQP";
    EXPECT_TRUE(SaveEFilePair(s.doc, g, target));
    o.eFile = test::ReadFile(target);
    o.names = test::ReadFile(s.dir + "saved.txt");
    return o;
}

// Runs the first `steps` steps in a child process that then dies by `signal`.
void runAndDie(const std::string& dir, const std::string& state, Game g, std::size_t steps,
               int signal) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        Session s(dir, state);
        if (!s.load(g))
            ::_exit(2);
        const auto all = sessionSteps();
        for (std::size_t i = 0; i < steps; ++i)
            all[i](s, g);
        std::raise(signal);
        ::_exit(3);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "exit " << WEXITSTATUS(status);
    ASSERT_EQ(WTERMSIG(status), signal);
}

TEST(Journal, AKilledSessionIsRestoredAtEveryStepOnBothGames) {
    const std::size_t count = sessionSteps().size();
    for (Game g : {Game::Pg2, Game::Peg}) {
        for (std::size_t steps = 1; steps <= count; ++steps) {
            SCOPED_TRACE(std::string(GameName(g)) + " killed after step " + std::to_string(steps));
            // SIGTERM too: it ends the editor at once, keeping the journal.
            const int signal = steps % 4 == 0 ? SIGTERM : SIGKILL;
            test::TempDir plain, killed, state;
            test::WriteSampleTables(plain.dir());
            test::WriteSampleTables(killed.dir());

            Session reference(plain.dir(), "");
            ASSERT_TRUE(reference.load(g));
            const auto all = sessionSteps();
            for (std::size_t i = 0; i < steps; ++i)
                all[i](reference, g);
            const Outcome expected = outcomeOf(reference, g);

            runAndDie(killed.dir(), state.dir(), g, steps, signal);
            const auto left = FindLeftJournals(state.dir());
            ASSERT_EQ(left.size(), 1u);
            Session restored(killed.dir(), state.dir());
            ASSERT_TRUE(RestoreJournal(restored.doc, left[0]));
            EXPECT_FALSE(fs::exists(left[0]));
            const Outcome got = outcomeOf(restored, g);
            EXPECT_EQ(got.data, expected.data);
            EXPECT_EQ(got.namesFlag, expected.namesFlag);
            // A save settles the journal: what came before it is no longer undone after a
            // restore, and neither is an undo past it.
            if (steps < kSaveStep) {
                EXPECT_EQ(got.history, expected.history);
                EXPECT_EQ(got.position, expected.position);
            }
            EXPECT_TRUE(got.eFile == expected.eFile);
            EXPECT_TRUE(got.names == expected.names);
        }
    }
}

TEST(Journal, AJournalWhoseFilesChangedIsRefusedAndKept) {
    test::TempDir dir, state;
    test::WriteSampleTables(dir.dir());
    runAndDie(dir.dir(), state.dir(), Game::Pg2, 2, SIGKILL);
    // Another program rewrote the E-File meanwhile.
    Bytes bytes = test::ReadFile(dir.file("pg2/EQUIP97.EQP"));
    bytes.back() ^= 0x55;
    test::WriteFile(dir.file("pg2/EQUIP97.EQP"), bytes);
    const auto left = FindLeftJournals(state.dir());
    ASSERT_EQ(left.size(), 1u);

    Session s(dir.dir(), "");
    EXPECT_FALSE(RestoreJournal(s.doc, left[0]));
    EXPECT_FALSE(s.doc.hasTable(Game::Pg2));
    ASSERT_EQ(s.ui.messages.size(), 1u);
    EXPECT_EQ(s.ui.messages[0],
              dir.file("pg2/EQUIP97.EQP") +
                  "\nor its Names E-File was changed since Varnel stopped: the "
                  "unsaved changes cannot be put on it, and nothing was restored");
    EXPECT_TRUE(fs::exists(left[0]));
}

TEST(Journal, TwoEditorsNeverTakeEachOthersJournal) {
    test::TempDir dir, state;
    test::WriteSampleTables(dir.dir());
    Session mine(dir.dir(), state.dir());
    ASSERT_TRUE(mine.load(Game::Pg2));
    field(mine, Game::Pg2, 0, "denomination", "Mine");

    int ready[2], hold[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(hold), 0);
    const pid_t other = ::fork();
    ASSERT_GE(other, 0);
    if (other == 0) {
        Session s(dir.dir(), state.dir());
        s.load(Game::Pg2);
        SetField(s.doc, Game::Pg2, 0, "denomination", "Theirs");
        char c = 1;
        [[maybe_unused]] const auto w = ::write(ready[1], &c, 1);
        [[maybe_unused]] const auto r = ::read(hold[0], &c, 1); // until killed
        ::_exit(0);
    }
    char c = 0;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    // Both editors live: neither journal is left behind.
    EXPECT_TRUE(FindLeftJournals(state.dir()).empty());
    ::kill(other, SIGKILL);
    ::waitpid(other, nullptr, 0);
    const auto left = FindLeftJournals(state.dir());
    ASSERT_EQ(left.size(), 1u);
    EXPECT_NE(left[0], mine.doc.journalPath(Game::Pg2));

    Session next(dir.dir(), "");
    ASSERT_TRUE(RestoreJournal(next.doc, left[0]));
    EXPECT_EQ(*next.doc.unitName(Game::Pg2, 0), "Theirs");
    // Mine is still mine, whole.
    EXPECT_TRUE(fs::exists(mine.doc.journalPath(Game::Pg2)));
    EXPECT_FALSE(RestoreJournal(next.doc, mine.doc.journalPath(Game::Pg2)));
    for (int fd : {ready[0], ready[1], hold[0], hold[1]})
        ::close(fd);
}

TEST(Journal, ASaveAndANormalEndSettleTheJournal) {
    test::TempDir dir, state;
    test::WriteSampleTables(dir.dir());
    Session s(dir.dir(), state.dir());
    ASSERT_TRUE(s.load(Game::Pg2));
    field(s, Game::Pg2, 0, "airAtk", "7");
    const std::string path = s.doc.journalPath(Game::Pg2);
    ASSERT_FALSE(path.empty());
    EXPECT_TRUE(ReadJournalSummary(path)->changes);
    // Saved: nothing left to restore.
    ASSERT_TRUE(SaveEFilePair(s.doc, Game::Pg2, s.eFile(Game::Pg2)));
    EXPECT_FALSE(ReadJournalSummary(path)->changes);
    // Unsaved again, then the program ends with a No: the journal goes all the same.
    field(s, Game::Pg2, 0, "airAtk", "8");
    EXPECT_TRUE(ReadJournalSummary(path)->changes);
    EXPECT_TRUE(s.doc.close());
    EXPECT_FALSE(fs::exists(path));
}

TEST(Journal, AJournalCutShortRestoresItsWholeSteps) {
    test::TempDir dir, state;
    test::WriteSampleTables(dir.dir());
    runAndDie(dir.dir(), state.dir(), Game::Pg2, 3, SIGKILL);
    const auto left = FindLeftJournals(state.dir());
    ASSERT_EQ(left.size(), 1u);
    // The last entry (the clone) was half written when the power went.
    fs::resize_file(left[0], fs::file_size(left[0]) - 3);
    Session s(dir.dir(), "");
    ASSERT_TRUE(RestoreJournal(s.doc, left[0]));
    EXPECT_EQ(s.doc.history(Game::Pg2).count(), 2u);
    EXPECT_EQ(*s.doc.unitName(Game::Pg2, 1), "Renamed unit");
}

TEST(Journal, TheStartUpQuestionRestoresOrDiscards) {
    for (bool restore : {true, false}) {
        test::TempDir dir, state;
        test::WriteSampleTables(dir.dir());
        runAndDie(dir.dir(), state.dir(), Game::Pg2, 1, SIGKILL);
        auto ui = test::MakeScriptedUi();
        MemorySettingsBackend store;
        CVarnelDoc doc(*ui, store);
        ReadAllSettings(doc.settings, store);
        doc.settingsLoaded = true;
        ui->expectQuestion("Varnel was not closed properly. Restore the unsaved changes to " +
                               dir.file("pg2/EQUIP97.EQP") + "?",
                           restore);
        OfferLeftJournals(doc, state.dir());
        EXPECT_EQ(doc.hasTable(Game::Pg2), restore);
        EXPECT_EQ(doc.isModified(), restore);
        EXPECT_TRUE(FindLeftJournals(state.dir()).empty());
    }
}

} // namespace
} // namespace varnel
