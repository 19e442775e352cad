// The recovery journal: an editor killed at any step of a session is restored to the same
// tables, change flags and undo history; a journal whose files changed is refused; two editors
// keep their journals apart; a normal end and a save remove what they settled.

#include "app/compareandcheck.h"
#include "app/efileio.h"
#include "app/recoveryjournal.h"
#include "app/varneldoc.h"
#include "base/fileio.h"
#include "convert/csvtable.h"
#include "equip/efile.h"
#include "equip/fieldtable.h"
#include "equip/tfile.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <random>

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
        ReadAllSettings(doc.settings(), store);
        doc.settings().dir(Game::Pg2) = doc.settings().dir(Game::Peg) = dir;
        doc.markSettingsLoaded();
        doc.settings().backups = 0;
        if (!state.empty())
            doc.enableJournal(state);
    }
    std::string eFile(Game g) const {
        return dir + (g == Game::Pg2 ? "pg2/EQUIP97.EQP" : "peg/EQUIP97.EQP");
    }
    bool load(Game g) {
        doc.setCurrentGame(g);
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
    ASSERT_TRUE(s.doc.setField(g, unit, name, shown).ok) << name;
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
            ASSERT_TRUE(RestoreLeftJournal(restored.doc, left[0]));
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
    EXPECT_FALSE(RestoreLeftJournal(s.doc, left[0]));
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
        s.doc.setField(Game::Pg2, 0, "denomination", "Theirs");
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
    ASSERT_TRUE(RestoreLeftJournal(next.doc, left[0]));
    EXPECT_EQ(*next.doc.unitName(Game::Pg2, 0), "Theirs");
    // Mine is still mine, whole.
    EXPECT_TRUE(fs::exists(mine.doc.journalPath(Game::Pg2)));
    EXPECT_FALSE(RestoreLeftJournal(next.doc, mine.doc.journalPath(Game::Pg2)));
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
    ASSERT_TRUE(RestoreLeftJournal(s.doc, left[0]));
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
        ReadAllSettings(doc.settings(), store);
        doc.markSettingsLoaded();
        // The question tells journals apart by the time of their last change.
        const auto left = FindLeftJournals(state.dir());
        ASSERT_EQ(left.size(), 1u);
        ::setenv("TZ", "UTC", 1);
        ::tzset();
        const std::chrono::sys_seconds when =
            std::chrono::sys_days{std::chrono::year{2026} / 3 / 4} + std::chrono::hours{5} +
            std::chrono::minutes{6};
        fs::last_write_time(left[0], fs::file_time_type::clock::from_sys(when));
        ui->expectQuestion("Varnel was not closed properly. Restore the unsaved changes to " +
                               dir.file("pg2/EQUIP97.EQP") + " (last changed 2026-03-04 05:06)?",
                           restore);
        OfferLeftJournals(doc, state.dir());
        EXPECT_EQ(doc.hasTable(Game::Pg2), restore);
        EXPECT_EQ(doc.isModified(), restore);
        EXPECT_TRUE(FindLeftJournals(state.dir()).empty());
    }
}

} // namespace
} // namespace varnel

namespace varnel {
namespace {

// Runs `work` in a child process that then dies by SIGKILL (unless `work` killed it first).
void inChildThenKill(const std::function<void()>& work) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        work();
        std::raise(SIGKILL);
        ::_exit(3);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "exit " << WEXITSTATUS(status);
}

OtherEFile otherOf(const CVarnelDoc& doc, Game g) {
    OtherEFile other;
    other.game = g;
    other.path = "other.EQP";
    other.namesRead = true;
    if (g == Game::Pg2)
        other.pg2 = *doc.pg2();
    else
        other.peg = *doc.peg();
    return other;
}

// Each fault a kill used to lose work in: the steps before the kill, and what the restored
// document then holds.
struct LostStepCase {
    const char* name;
    std::function<void(Session&)> steps;
    std::function<void(const CVarnelDoc&)> expect;
};

TEST(Journal, StepsThatUsedToBeLostAreRestored) {
    const Game g = Game::Pg2;
    const LostStepCase cases[] = {
        {"take their value",
         [](Session& s) {
             OtherEFile other = otherOf(s.doc, Game::Pg2);
             other.pg2.units[2].record[pg2::AirAtk] = 77;
             ASSERT_TRUE(TakeTheirValues(s.doc, other, {{2, FindField(Game::Pg2, "airAtk")}}));
         },
         [](const CVarnelDoc& d) {
             EXPECT_EQ(d.pg2()->units[2].record[pg2::AirAtk], 77);
             EXPECT_EQ(d.history(Game::Pg2).count(), 1u);
         }},
        {"undo after a take",
         [](Session& s) {
             field(s, Game::Pg2, 1, "airAtk", "9");
             OtherEFile other = otherOf(s.doc, Game::Pg2);
             other.pg2.units[1].record[pg2::AirAtk] = 55;
             ASSERT_TRUE(TakeTheirValues(s.doc, other, {{1, FindField(Game::Pg2, "airAtk")}}));
             ASSERT_TRUE(s.doc.undo(Game::Pg2));
         },
         [](const CVarnelDoc& d) {
             EXPECT_EQ(d.pg2()->units[1].record[pg2::AirAtk], 9);
             EXPECT_EQ(d.history(Game::Pg2).index(), 1u);
             EXPECT_EQ(d.history(Game::Pg2).count(), 2u);
         }},
        {"an edit of a unit take all added",
         [](Session& s) {
             OtherEFile other = otherOf(s.doc, Game::Pg2);
             other.pg2.units.push_back(other.pg2.units[0]);
             other.pg2.units.back().record.setCode(
                 static_cast<std::uint16_t>(other.pg2.units.size() - 1));
             other.pg2.setName(other.pg2.count() - 1, "Added by take all");
             ASSERT_TRUE(TakeAll(s.doc, other));
             field(s, Game::Pg2, s.doc.unitCount(Game::Pg2) - 1, "softAtk", "11");
         },
         [](const CVarnelDoc& d) {
             const std::size_t last = d.unitCount(Game::Pg2) - 1;
             EXPECT_EQ(*d.unitName(Game::Pg2, last), "Added by take all");
             EXPECT_EQ(d.pg2()->units[last].record[pg2::SoftAtk], 11);
         }},
        {"country names reloaded",
         [](Session& s) {
             NameTable names(CountryCount(Game::Pg2));
             names.setName(0, "None");
             names.setName(1, "Atlantis");
             names.setCount(2);
             s.doc.reloadCountries(Game::Pg2, names, s.dir + "pg2/OTHER.txt");
         },
         [](const CVarnelDoc& d) {
             EXPECT_EQ(d.countries(Game::Pg2).name(1), "Atlantis");
             EXPECT_EQ(
                 d.settings().tFile(Game::Pg2).substr(d.settings().tFile(Game::Pg2).size() - 9),
                 "OTHER.txt");
         }},
    };
    for (const LostStepCase& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir, state;
        test::WriteSampleTables(dir.dir());
        inChildThenKill([&] {
            Session s(dir.dir(), state.dir());
            if (!s.load(g))
                ::_exit(2);
            c.steps(s);
        });
        const auto left = FindLeftJournals(state.dir());
        ASSERT_EQ(left.size(), 1u);
        Session restored(dir.dir(), "");
        ASSERT_TRUE(RestoreLeftJournal(restored.doc, left[0]));
        EXPECT_TRUE(restored.ui.messages.empty()) << restored.ui.messages[0];
        c.expect(restored.doc);
    }
}

// A left journal after `edits` field edits (and `undos` undos) of the PG2 sample.
std::string leftJournal(const std::string& dir, const std::string& state, int edits, int undos) {
    inChildThenKill([&] {
        Session s(dir, state);
        if (!s.load(Game::Pg2))
            ::_exit(2);
        for (int i = 0; i < edits; ++i)
            s.doc.setField(Game::Pg2, static_cast<std::size_t>(i), "denomination",
                           "Edited " + std::to_string(i));
        for (int i = 0; i < undos; ++i)
            s.doc.undo(Game::Pg2);
    });
    const auto left = FindLeftJournals(state);
    return left.empty() ? std::string() : left.back();
}

TEST(Journal, DamageIsNeverMetWithSilence) {
    test::TempDir dir, state;
    test::WriteSampleTables(dir.dir());
    const std::string eFile = dir.file("pg2/EQUIP97.EQP");

    // Damaged in its first entry: still offered, and the message says nothing could be had.
    std::string path = leftJournal(dir.dir(), state.dir(), 1, 0);
    ASSERT_FALSE(path.empty());
    Bytes bytes = test::ReadFile(path);
    bytes.back() ^= 0xFF; // the checksum of the one entry
    test::WriteFile(path, bytes);
    ASSERT_TRUE(ReadJournalSummary(path)->changes);
    ASSERT_TRUE(ReadJournalSummary(path)->damaged);
    {
        Session s(dir.dir(), "");
        ASSERT_TRUE(RestoreLeftJournal(s.doc, path));
        ASSERT_EQ(s.ui.messages.size(), 1u);
        EXPECT_EQ(s.ui.messages[0], "The recovery journal of " + eFile +
                                        " is damaged: 0 of 1 changes could be restored.");
    }

    // Damaged further on: the steps before it, said.
    path = leftJournal(dir.dir(), state.dir(), 3, 0);
    bytes = test::ReadFile(path);
    bytes.back() ^= 0xFF;
    test::WriteFile(path, bytes);
    {
        Session s(dir.dir(), "");
        ASSERT_TRUE(RestoreLeftJournal(s.doc, path));
        EXPECT_EQ(s.doc.history(Game::Pg2).count(), 2u);
        ASSERT_EQ(s.ui.messages.size(), 1u);
        EXPECT_EQ(s.ui.messages[0], "The recovery journal of " + eFile +
                                        " is damaged: 2 of 3 changes could be restored.");
    }

    // Its base unreadable: kept under another name, and the message says where.
    path = leftJournal(dir.dir(), state.dir(), 1, 0);
    bytes = test::ReadFile(path);
    bytes[6] ^= 0xFF;
    test::WriteFile(path, bytes);
    {
        Session s(dir.dir(), "");
        EXPECT_FALSE(RestoreLeftJournal(s.doc, path));
        EXPECT_FALSE(fs::exists(path));
        EXPECT_TRUE(fs::exists(path + ".damaged"));
        ASSERT_EQ(s.ui.messages.size(), 1u);
        EXPECT_NE(s.ui.messages[0].find(path + ".damaged"), std::string::npos);
        EXPECT_TRUE(FindLeftJournals(state.dir()).empty());
    }
}

TEST(Journal, AJournalWhoseStepsCancelOutIsNotOffered) {
    test::TempDir dir, state;
    test::WriteSampleTables(dir.dir());
    const std::string path = leftJournal(dir.dir(), state.dir(), 2, 2);
    ASSERT_FALSE(path.empty());
    EXPECT_FALSE(ReadJournalSummary(path)->changes);
    auto ui = test::MakeScriptedUi(); // any question would fail the test
    MemorySettingsBackend store;
    CVarnelDoc doc(*ui, store);
    OfferLeftJournals(doc, state.dir());
    EXPECT_FALSE(doc.hasTable(Game::Pg2));
    EXPECT_TRUE(FindLeftJournals(state.dir()).empty());
}

TEST(Journal, RestoringOneJournalOfAGameKeepsTheOtherForTheNextStart) {
    test::TempDir dir, state;
    test::WriteSampleTables(dir.dir());
    const std::string first = leftJournal(dir.dir(), state.dir(), 1, 0);
    const std::string second = leftJournal(dir.dir(), state.dir(), 2, 0);
    ASSERT_NE(first, second);
    QuietUi yes;
    struct AllYes : QuietUi {
        bool question(const std::string& text) override {
            messages.push_back(text);
            return true;
        }
    } ui;
    MemorySettingsBackend store;
    CVarnelDoc doc(ui, store);
    const OfferResult offered = OfferLeftJournals(doc, state.dir());
    ASSERT_EQ(offered.restored.size(), 1u);
    EXPECT_EQ(ui.messages.size(), 1u); // one question: the second waits
    const auto left = FindLeftJournals(state.dir());
    ASSERT_EQ(left.size(), 1u);
    // The next start offers it.
    CVarnelDoc next(ui, store);
    EXPECT_EQ(OfferLeftJournals(next, state.dir()).restored.size(), 1u);
    EXPECT_TRUE(FindLeftJournals(state.dir()).empty());
}

// A kill at a point of a pair save, and the flags the restore must give: the files written are
// clean, the others keep their changes; with both written nothing is offered.
struct SaveKillCase {
    const char* name;
    int renamesBeforeKill; // 0, 1 or 2 files replaced when the process dies
    bool duringWrite;      // killed while the next file is being written, not between
};

TEST(Journal, AKillDuringAPairSaveRestoresExactlyWhatIsUnsaved) {
    const SaveKillCase cases[] = {
        {"before anything is written", 0, true},
        {"after the E-File, before the Names E-File", 1, false},
        {"while the Names E-File is written", 1, true},
        {"after both files, before the save returns", 2, false},
    };
    for (const SaveKillCase& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir, state;
        test::WriteSampleTables(dir.dir());
        inChildThenKill([&] {
            Session s(dir.dir(), state.dir());
            if (!s.load(Game::Pg2))
                ::_exit(2);
            field(s, Game::Pg2, 1, "airAtk", "9");
            field(s, Game::Pg2, 2, "denomination", "Unsaved name");
            int renames = 0;
            SetSaveStageHook([&](SaveStage stage, bool after) {
                if (after)
                    ++renames;
                if (renames == c.renamesBeforeKill &&
                    (c.duringWrite ? stage == SaveStage::Write && !after
                                   : after || c.renamesBeforeKill == 0))
                    std::raise(SIGKILL);
            });
            SaveEFilePair(s.doc, Game::Pg2, s.eFile(Game::Pg2));
        });
        const auto left = FindLeftJournals(state.dir());
        ASSERT_EQ(left.size(), 1u);
        // Our partial temporary file goes with the next save or start.
        RemoveLeftTemporaries(dir.file("pg2/EQUIP97.EQP"));
        RemoveLeftTemporaries(dir.file("pg2/EQUIP97.txt"));
        for (const auto& entry : fs::directory_iterator(dir.file("pg2")))
            EXPECT_EQ(entry.path().string().find(".varnel-"), std::string::npos) << entry.path();
        if (c.renamesBeforeKill == 2) {
            EXPECT_FALSE(ReadJournalSummary(left[0])->changes);
            continue;
        }
        Session s(dir.dir(), "");
        ASSERT_TRUE(RestoreLeftJournal(s.doc, left[0]));
        EXPECT_TRUE(s.ui.messages.empty());
        EXPECT_EQ(s.doc.flag(Game::Pg2, ChangeKind::Data), c.renamesBeforeKill == 0);
        EXPECT_TRUE(s.doc.flag(Game::Pg2, ChangeKind::Names));
        EXPECT_EQ(s.doc.pg2()->units[1].record[pg2::AirAtk], 9);
        EXPECT_EQ(*s.doc.unitName(Game::Pg2, 2), "Unsaved name");
    }
}

TEST(Journal, AStateFolderThatTakesNoFilesSaysWhy) {
    test::TempDir dir;
    test::WriteFile(dir.file("plain"), Bytes{1});
    EXPECT_FALSE(StateFolderProblem(dir.dir() + "state"));
    const auto problem = StateFolderProblem(dir.file("plain") + "/state");
    ASSERT_TRUE(problem);
    EXPECT_FALSE(problem->empty());
}

// --- A random session over every command, killed anywhere ----------------------------------

// The commands of a session, drawn from `rng`: every kind of step, undo and redo, saves.
enum class Command {
    Field,
    Name,
    Cells,
    Clone,
    Delete,
    Append,
    TakeValue,
    TakeAll,
    Convert,
    Names,
    Countries,
    Backup,
    Csv,
    Cost,
    Undo,
    Redo,
    SavePair,
    SaveEFile,
    Count
};

std::size_t pick(std::mt19937& rng, std::size_t n) {
    return n == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, n - 1)(rng);
}

// Writes a T-File of one country named `word` and a number at `path`, and reads it as a load
// would: a restore reads the T-File its base names.
std::string tFileWith(const std::string& path, const char* word, std::mt19937& rng,
                      NameTable& names) {
    const std::string text = std::string(word) + " " + std::to_string(pick(rng, 9)) + "\r\n";
    const Bytes bytes(text.begin(), text.end());
    test::WriteFile(path, bytes);
    ParseTFile(bytes, names);
    return path;
}

// Runs one command; a save reports what it wrote (0, 1 or 2 files) through the stage hook.
void runCommand(Session& s, std::mt19937& rng, Command command, Game g) {
    CVarnelDoc& doc = s.doc;
    const std::size_t count = doc.unitCount(g);
    const std::size_t unit = pick(rng, count);
    const auto editable = [&] {
        std::vector<const FieldDef*> rows;
        for (const FieldDef& f : FieldTable(g))
            if (!f.readOnly)
                rows.push_back(&f);
        return rows;
    }();
    static const char* const values[] = {"0", "1", "3", "7", "12", "120", "1950", "x", "Unit"};
    switch (command) {
    case Command::Field:
        doc.setField(g, unit, *editable[pick(rng, editable.size())], values[pick(rng, 9)]);
        break;
    case Command::Name:
        doc.setField(g, unit, *FindField(g, "denomination"),
                     "Name " + std::to_string(pick(rng, 50)));
        break;
    case Command::Cells: {
        std::vector<CellEdit> cells;
        for (int k = 0; k < 3; ++k)
            cells.push_back(
                {pick(rng, count), editable[pick(rng, editable.size())], values[pick(rng, 6)]});
        doc.setFields(g, cells, "Paste");
        break;
    }
    case Command::Clone:
        doc.cloneUnit(g, unit);
        break;
    case Command::Delete:
        if (count > 2)
            doc.deleteUnit(g, unit);
        break;
    case Command::Append: {
        OtherEFile other = otherOf(doc, g);
        if (g == Game::Pg2)
            other.pg2.units.resize(std::min<std::size_t>(2, count));
        else
            other.peg.units.resize(std::min<std::size_t>(2, count));
        // Without its Names E-File a merge brings units without names, as the editor's does.
        const bool names = pick(rng, 2) == 0;
        for (std::size_t i = 0; !names && i < other.count(); ++i)
            g == Game::Pg2 ? other.pg2.setName(i, "") : other.peg.setName(i, "");
        g == Game::Pg2 ? doc.appendUnits(other.pg2, "Merge from E-File", names)
                       : doc.appendUnits(other.peg, "Merge from E-File", names);
        break;
    }
    case Command::TakeValue: {
        OtherEFile other = otherOf(doc, g);
        const FieldDef* f = FindField(g, "hardAtk");
        if (g == Game::Pg2)
            other.pg2.units[unit].record[pg2::HardAtk] ^= 5;
        else
            other.peg.units[unit].record[peg::HardAtk] ^= 5;
        TakeTheirValues(doc, other, {{unit, f}});
        break;
    }
    case Command::TakeAll: {
        OtherEFile other = otherOf(doc, g);
        const std::size_t keep = std::max<std::size_t>(2, count - pick(rng, 3));
        if (g == Game::Pg2) {
            other.pg2.units.resize(keep);
            other.pg2.setName(0, "Taken");
        } else {
            other.peg.units.resize(keep);
            other.peg.setName(0, "Taken");
        }
        TakeAll(doc, other);
        break;
    }
    case Command::Convert: {
        CVarnelDoc::ConvertedPeg converted;
        converted.table = *doc.peg();
        converted.table.units.resize(std::max<std::size_t>(2, converted.table.count() / 2));
        converted.eFile = s.dir + "peg/CONV.EQP";
        converted.namesEFile = s.dir + "peg/CONV.txt";
        converted.tFile =
            tFileWith(s.dir + "peg/CONVGUI.txt", "Converted", rng, converted.countries);
        doc.replacePegTable(std::move(converted));
        break;
    }
    case Command::Names: {
        std::string lines;
        for (std::size_t i = 0; i < count; ++i)
            lines += (i % 3 == pick(rng, 3) ? std::string("Read ") + std::to_string(i)
                                            : std::string(*doc.unitName(g, i))) +
                     "\r\n";
        doc.reloadNames(g, Bytes(lines.begin(), lines.end()), s.dir + "names.txt");
        break;
    }
    case Command::Countries: {
        NameTable names(CountryCount(g));
        const std::string path = tFileWith(s.dir + "gui.txt", "Land", rng, names);
        doc.reloadCountries(g, names, path);
        break;
    }
    case Command::Backup: {
        OtherEFile other = otherOf(doc, g);
        if (g == Game::Pg2) {
            other.pg2.units[unit].record[pg2::SoftAtk] ^= 3;
            doc.replaceTable(other.pg2, "Restore backup");
        } else {
            other.peg.units[unit].record[peg::SoftAtk] ^= 3;
            doc.replaceTable(other.peg, "Restore backup");
        }
        break;
    }
    case Command::Csv: {
        const std::string text = "code,hardAtk,denomination\r\n" + std::to_string(unit) + "," +
                                 std::to_string(pick(rng, 20)) + ",From a sheet\r\n";
        const auto csv =
            ReadCsv(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
        if (csv.file)
            doc.importCsv(g, *csv.file, {});
        break;
    }
    case Command::Cost:
        if (g == Game::Peg) {
            CostChoices choices;
            for (std::size_t c = 0; c < choices.enabled.size(); ++c) {
                choices.enabled[c] = pick(rng, 2) == 0;
                choices.percent[c] = 50 + static_cast<int>(pick(rng, 100));
            }
            doc.changeCosts(choices);
        }
        break;
    case Command::Undo:
        doc.undo(g);
        break;
    case Command::Redo:
        doc.redo(g);
        break;
    case Command::SavePair:
        SaveEFilePair(doc, g, doc.settings().eFile(g));
        break;
    case Command::SaveEFile:
        SaveEFile(doc, g, doc.settings().eFile(g));
        break;
    case Command::Count:
        break;
    }
}

struct Drawn {
    Command command;
    Game game;
};

std::vector<Drawn> drawSession(std::mt19937& rng, std::size_t n) {
    std::vector<Drawn> session;
    for (std::size_t i = 0; i < n; ++i) {
        auto command =
            static_cast<Command>(pick(rng, static_cast<std::size_t>(Command::Count) + 4));
        if (command >= Command::Count) // undo and redo come often
            command = pick(rng, 2) == 0 ? Command::Undo : Command::Redo;
        session.push_back({command, pick(rng, 2) == 0 ? Game::Pg2 : Game::Peg});
    }
    return session;
}

// What a restore must give back of a game, paths taken relative to the session's folder.
struct State {
    Bytes eFile, names;
    bool data = false, namesFlag = false;
    std::vector<std::string> history;
    std::size_t position = 0;
    std::vector<std::string> countries;
    std::string files;
};

State stateOf(Session& s, Game g) {
    State st;
    st.data = s.doc.flag(g, ChangeKind::Data);
    st.namesFlag = s.doc.flag(g, ChangeKind::Names);
    const EditHistory& h = s.doc.history(g);
    for (std::size_t i = 0; i < h.count(); ++i)
        st.history.push_back(h.step(i).text());
    st.position = h.index();
    for (int n = 0; n < s.doc.countries(g).count(); ++n)
        st.countries.push_back(s.doc.countries(g).name(n));
    for (const std::string* p :
         {&s.doc.settings().eFile(g), &s.doc.settings().namesEFile(g), &s.doc.settings().tFile(g)})
        st.files += (p->rfind(s.dir, 0) == 0 ? p->substr(s.dir.size()) : *p) + "|";
    if (s.doc.hasTable(g)) {
        st.eFile = g == Game::Pg2 ? WritePg2EFile(*s.doc.pg2()) : WritePegEFile(*s.doc.peg());
        st.names = g == Game::Pg2 ? WriteNamesFile(*s.doc.pg2()) : WriteNamesFile(*s.doc.peg());
    }
    return st;
}

void expectRestored(const State& got, const State& want) {
    EXPECT_TRUE(got.eFile == want.eFile);
    EXPECT_TRUE(got.names == want.names);
    EXPECT_EQ(got.data, want.data);
    EXPECT_EQ(got.namesFlag, want.namesFlag);
    EXPECT_EQ(got.countries, want.countries);
    EXPECT_EQ(got.files, want.files);
    // The journal holds the history from its last base on: a stretch of the reference's, at
    // the same distance from the position.
    ASSERT_LE(got.position, want.position);
    const std::size_t floor = want.position - got.position;
    ASSERT_LE(floor + got.history.size(), want.history.size());
    for (std::size_t i = 0; i < got.history.size(); ++i)
        EXPECT_EQ(got.history[i], want.history[floor + i]);
}

TEST(Journal, ARandomSessionKilledAnywhereIsRestoredExactly) {
    const char* more = std::getenv("VARNEL_KILL_RUNS");
    const int runs = more ? std::atoi(more) : 200;
    const char* seedText = std::getenv("VARNEL_KILL_SEED");
    const unsigned base = seedText ? static_cast<unsigned>(std::atoi(seedText)) : 20261210u;
    for (int run = 0; run < runs; ++run) {
        const unsigned seed = base + static_cast<unsigned>(run);
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 draw(seed);
        const std::size_t length = 1 + pick(draw, 24);
        const std::vector<Drawn> session = drawSession(draw, length);
        // Inside the last command's saves, when it saves: the hook call to die at.
        const bool inSave = (session.back().command == Command::SavePair ||
                             session.back().command == Command::SaveEFile) &&
                            pick(draw, 2) == 0;
        const std::size_t dieAt = pick(draw, 12);
        std::string drawn;
        for (const Drawn& d : session)
            drawn += std::to_string(static_cast<int>(d.command)) + GameName(d.game) + " ";
        SCOPED_TRACE("commands " + drawn + (inSave ? "killed in the save" : ""));

        test::TempDir plain, killed, state;
        test::WriteSampleTables(plain.dir());
        test::WriteSampleTables(killed.dir());

        // The reference: the same commands in this process; a save the kill cut short counts
        // the files it replaced before the kill.
        Session reference(plain.dir(), "");
        ASSERT_TRUE(reference.load(Game::Pg2));
        ASSERT_TRUE(reference.load(Game::Peg));
        std::mt19937 rng(seed);
        int replacedBeforeDeath = -1;
        std::array<State, 2> before{};
        // Counted while the hook may be called: they outlive the loop's body.
        std::size_t calls = 0;
        int replaced = 0;
        for (std::size_t i = 0; i < session.size(); ++i) {
            const bool last = i + 1 == session.size();
            if (last && inSave) {
                before = {stateOf(reference, Game::Pg2), stateOf(reference, Game::Peg)};
                SetSaveStageHook([&](SaveStage, bool after) {
                    if (calls++ == dieAt && replacedBeforeDeath < 0)
                        replacedBeforeDeath = replaced + (after ? 1 : 0);
                    if (after)
                        ++replaced;
                });
            }
            runCommand(reference, rng, session[i].command, session[i].game);
            SetSaveStageHook(nullptr);
        }
        std::array<State, 2> want = {stateOf(reference, Game::Pg2), stateOf(reference, Game::Peg)};
        if (inSave && replacedBeforeDeath >= 0) {
            // Died in the save: the table as before it, the files it replaced clean.
            const std::size_t k = session.back().game == Game::Pg2 ? 0 : 1;
            State& w = want[k];
            const bool pair = session.back().command == Command::SavePair;
            w = before[k];
            if (replacedBeforeDeath >= 1)
                w.data = false;
            if (pair && replacedBeforeDeath >= 2)
                w.namesFlag = false;
        }

        inChildThenKill([&] {
            Session s(killed.dir(), state.dir());
            if (!s.load(Game::Pg2) || !s.load(Game::Peg))
                ::_exit(2);
            std::mt19937 childRng(seed);
            std::size_t childCalls = 0;
            for (std::size_t i = 0; i < session.size(); ++i) {
                if (i + 1 == session.size() && inSave) {
                    SetSaveStageHook([&](SaveStage, bool) {
                        if (childCalls++ == dieAt)
                            std::raise(SIGKILL);
                    });
                }
                runCommand(s, childRng, session[i].command, session[i].game);
            }
        });

        Session restored(killed.dir(), state.dir());
        for (const std::string& path : FindLeftJournals(state.dir())) {
            const auto summary = ReadJournalSummary(path);
            ASSERT_TRUE(summary);
            if (summary->changes) {
                ASSERT_TRUE(RestoreLeftJournal(restored.doc, path));
            }
        }
        EXPECT_TRUE(restored.ui.messages.empty())
            << (restored.ui.messages.empty() ? "" : restored.ui.messages[0]);
        for (Game g : {Game::Pg2, Game::Peg}) {
            SCOPED_TRACE(GameName(g));
            if (!restored.doc.hasTable(g)) {
                // Nothing offered: the files on disk are the whole truth.
                const std::size_t k = g == Game::Pg2 ? 0 : 1;
                EXPECT_FALSE(want[k].data);
                EXPECT_FALSE(want[k].namesFlag);
                continue;
            }
            expectRestored(stateOf(restored, g), want[g == Game::Pg2 ? 0 : 1]);
        }
        if (HasFailure())
            break;
    }
}

} // namespace
} // namespace varnel
