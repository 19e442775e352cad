// Randomized edits against a model: a seeded run drives the document through field edits (valid
// and invalid texts), clone, delete, paste, export, cost, save, save as, reload, undo, redo,
// jumps in the history, view switches and the save prompt with random answers, for both games,
// beside a plain model of the two tables, their names, their histories (every state the table
// went through, with the clean points), and the files on disk. After every step the document
// and the model must agree; after every write the files must hold what the model holds.
// VARNEL_MODEL_STEPS sets the number of steps (20,000 by default), VARNEL_MODEL_SEED the seed.

#include "app/bulkcommands.h"
#include "app/efileio.h"
#include "app/samples/samples.h"
#include "app/unitops.h"
#include "app/varneldoc.h"
#include "base/fileio.h"
#include "equip/efile.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <random>

namespace varnel {
namespace {

// Answers questions from a queue the step fills (No when it is empty) and file dialogs with the
// one path the step names; everything shown is dropped.
class ModelUi : public UiPort {
  public:
    void information(const std::string&) override {}
    bool question(const std::string&) override {
        if (answers.empty())
            return false;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    void error(const std::string&) override {}
    std::optional<std::string> fileDialog(const FileDialogRequest&) override { return file; }
    void setBusy(bool) override {}
    bool startDetached(const std::string&, const std::vector<std::string>&) override {
        return false;
    }
    std::deque<bool> answers;
    std::optional<std::string> file;
};

// The model of one game: record bytes and names as the document should hold them, the two
// flags, and the bytes its E-File and Names E-File should hold on disk.
struct GameModel {
    Game game;
    std::vector<Bytes> records;
    std::vector<std::string> names;
    std::string eFile;
    Bytes diskRecords; // the E-File's bytes
    Bytes diskNames;

    // The history: every state the table was in since the load, which files each step touched,
    // where the table stands, and where each file was last clean (-1: not any more).
    struct State {
        std::vector<Bytes> records;
        std::vector<std::string> names;
        bool data = false, namesTouched = false; // what the step into this state touched
    };
    std::vector<State> states;
    std::size_t at = 0;
    long cleanData = 0, cleanNames = 0;

    void fresh() {
        states = {State{records, names}};
        at = 0;
        cleanData = cleanNames = 0;
    }
    // The table just changed by one step.
    void stepped(bool data, bool namesTouched) {
        states.resize(at + 1);
        if (cleanData > static_cast<long>(at))
            cleanData = -1;
        if (cleanNames > static_cast<long>(at))
            cleanNames = -1;
        states.push_back(State{records, names, data, namesTouched});
        ++at;
    }
    void moveTo(std::size_t target) {
        at = target;
        records = states[at].records;
        names = states[at].names;
    }
    bool modified(bool ofNames) const {
        const long clean = ofNames ? cleanNames : cleanData;
        if (clean < 0)
            return true;
        const auto from = std::min<std::size_t>(static_cast<std::size_t>(clean), at);
        const auto to = std::max<std::size_t>(static_cast<std::size_t>(clean), at);
        for (std::size_t i = from + 1; i <= to; ++i)
            if (ofNames ? states[i].namesTouched : states[i].data)
                return true;
        return false;
    }
    void saved(bool ofNames) { (ofNames ? cleanNames : cleanData) = static_cast<long>(at); }

    Bytes eFileBytes() const {
        Bytes out{static_cast<std::uint8_t>(records.size() & 0xFF),
                  static_cast<std::uint8_t>(records.size() >> 8)};
        for (const auto& r : records)
            out.insert(out.end(), r.begin(), r.end());
        return out;
    }
    Bytes namesBytes() const {
        Bytes out;
        for (const auto& n : names) {
            out.insert(out.end(), n.begin(), n.end());
            out.push_back('\r');
            out.push_back('\n');
        }
        return out;
    }
    void setCode(std::size_t i, std::size_t code) {
        records[i][0] = static_cast<std::uint8_t>(code & 0xFF);
        records[i][1] = static_cast<std::uint8_t>(code >> 8);
    }
};

// The fields the model knows the rules of, with those rules written out on their own.
struct ModelField {
    const char* name;
    int offset;
    int min, max;
    int scale, base;
};
constexpr ModelField kPg2Fields[] = {
    {"airAtk", pg2::AirAtk, 0, 255, 1, 0}, {"softAtk", pg2::SoftAtk, 0, 255, 1, 0},
    {"cost", pg2::Cost, 0, 3060, 12, 0},   {"yearAvaible", pg2::YearAvaible, 1900, 2155, 1, 1900},
    {"atkMel", pg2::atkMel, 0, 99, 1, 0},  {"fuel", pg2::Fuel, 0, 255, 1, 0},
};
constexpr ModelField kPegFields[] = {
    {"airAtk", peg::AirAtk, 0, 255, 1, 0}, {"heloAtk", peg::HeloAtk, 0, 255, 1, 0},
    {"cost", peg::Cost, 0, 2550, 10, 0},   {"yearAvaible", peg::YearAvaible, 2000, 2255, 1, 2000},
    {"atkSnd", peg::atkSnd, 0, 99, 1, 0},  {"profile", peg::Profile, 0, 255, 1, 0},
};

class ModelRun {
  public:
    explicit ModelRun(unsigned seed) : rng_(seed), doc_(ui_, store_) {
        ReadAllSettings(doc_.settings(), store_);
        doc_.settings().dir(Game::Pg2) = doc_.settings().dir(Game::Peg) = dir_.dir();
        test::WriteSampleTables(dir_.dir());
        for (Game g : {Game::Pg2, Game::Peg}) {
            doc_.setCurrentGame(g);
            GameModel& m = model(g);
            m.game = g;
            m.eFile = dir_.file(g == Game::Pg2 ? "pg2/EQUIP97.EQP" : "peg/EQUIP97.EQP");
            EXPECT_TRUE(LoadEFile(doc_, g, m.eFile));
            m.diskRecords = *ReadFileBytes(m.eFile);
            m.diskNames = *ReadFileBytes(NamesPathFor(".txt", m.eFile));
            fromDisk(m);
        }
    }

    // One random step; false when the document and the model part.
    void step(int n) {
        const Game g = rng_() % 2 ? Game::Pg2 : Game::Peg;
        doc_.setCurrentGame(g);
        GameModel& m = model(g);
        const int kind = static_cast<int>(rng_() % 100);
        std::string what;
        if (kind < 38) {
            what = edit(m);
        } else if (kind < 43) {
            what = "name";
            editName(m);
        } else if (kind < 48) {
            what = "clone";
            clone(m);
        } else if (kind < 53) {
            what = "delete";
            remove(m);
        } else if (kind < 60) {
            what = "save";
            save(m);
        } else if (kind < 63) {
            what = "save as";
            saveAs(m);
        } else if (kind < 67) {
            what = "reload";
            reload(m);
        } else if (kind < 72) {
            what = "prompt";
            prompt();
        } else if (kind < 76) {
            what = "export and paste";
            exportAndPaste(m);
        } else if (kind < 80) {
            what = "cost";
            cost();
        } else if (kind < 89) {
            what = "undo";
            undo(m);
        } else if (kind < 95) {
            what = "redo";
            redo(m);
        } else if (kind < 97) {
            what = "history jump";
            jump(m);
        } else {
            what = "switch";
            doc_.setCurrentGame(OtherGame(g));
        }
        SCOPED_TRACE("step " + std::to_string(n) + ": " + what + " on " + GameName(g));
        compare(model(Game::Pg2));
        compare(model(Game::Peg));
    }

    bool failed() const { return ::testing::Test::HasFailure(); }

  private:
    GameModel& model(Game g) { return g == Game::Pg2 ? pg2_ : peg_; }

    void fromDisk(GameModel& m) {
        const std::size_t size = RecordSize(m.game);
        const std::size_t count = m.diskRecords[0] | (m.diskRecords[1] << 8);
        m.records.clear();
        for (std::size_t i = 0; i < count; ++i)
            m.records.emplace_back(m.diskRecords.begin() + 2 + static_cast<long>(i * size),
                                   m.diskRecords.begin() + 2 + static_cast<long>((i + 1) * size));
        m.names.clear();
        std::string line;
        for (std::size_t i = 0; i < m.diskNames.size(); ++i) {
            if (m.diskNames[i] == '\r')
                continue;
            if (m.diskNames[i] == '\n') {
                m.names.push_back(line);
                line.clear();
            } else {
                line.push_back(static_cast<char>(m.diskNames[i]));
            }
        }
        m.names.resize(count);
        m.fresh();
    }

    void undo(GameModel& m) {
        EXPECT_EQ(doc_.undo(m.game), m.at > 0);
        if (m.at > 0)
            m.moveTo(m.at - 1);
    }

    void redo(GameModel& m) {
        EXPECT_EQ(doc_.redo(m.game), m.at + 1 < m.states.size());
        if (m.at + 1 < m.states.size())
            m.moveTo(m.at + 1);
    }

    // A click on a line of the history panel.
    void jump(GameModel& m) {
        const std::size_t target = rng_() % m.states.size();
        doc_.moveHistoryTo(m.game, target);
        m.moveTo(target);
    }

    std::size_t unit(const GameModel& m) {
        return m.records.empty() ? 0 : rng_() % m.records.size();
    }

    std::string edit(GameModel& m) {
        if (m.records.empty())
            return "edit (no unit)";
        const auto& fields = m.game == Game::Pg2 ? kPg2Fields : kPegFields;
        const ModelField& f = fields[rng_() % 6];
        const std::size_t u = unit(m);
        std::string text;
        int value = 0;
        bool valid = true;
        switch (rng_() % 5) {
        case 0:
            text = "x" + std::to_string(rng_() % 9);
            valid = false;
            break;
        case 1:
            value = f.max + 1 + static_cast<int>(rng_() % 300);
            text = std::to_string(value);
            valid = false;
            break;
        case 2:
            value = -1 - static_cast<int>(rng_() % 50);
            text = std::to_string(value);
            valid = false;
            break;
        default:
            value = f.min + static_cast<int>(rng_() % static_cast<unsigned>(f.max - f.min + 1));
            text = " " + std::to_string(value);
            // A cost between two stored values is refused, never rounded.
            valid = (value - f.base) % f.scale == 0;
        }
        const FieldResult r = doc_.setField(m.game, u, f.name, text);
        EXPECT_EQ(r.ok, valid) << f.name << " '" << text << "': " << r.message;
        if (valid) {
            const int stored = (value - f.base) / f.scale;
            if (m.records[u][static_cast<std::size_t>(f.offset)] != stored) {
                m.records[u][static_cast<std::size_t>(f.offset)] =
                    static_cast<std::uint8_t>(stored);
                m.stepped(true, false);
            }
        }
        return std::string("edit ") + f.name + " '" + text + "'";
    }

    void editName(GameModel& m) {
        if (m.records.empty())
            return;
        const std::size_t u = unit(m);
        std::string name = "Unit " + std::to_string(rng_() % 1000);
        if (rng_() % 10 == 0)
            name += "\xE9\xFC"; // Windows-1252 letters stay bytes
        const bool valid = rng_() % 8 != 0;
        if (!valid)
            name += "\nsecond line";
        EXPECT_EQ(doc_.setField(m.game, u, "denomination", name).ok, valid);
        if (valid && m.names[u] != name) {
            m.names[u] = name;
            m.stepped(false, true);
        }
    }

    void clone(GameModel& m) {
        if (m.records.empty() || m.records.size() > 120)
            return;
        const std::size_t u = unit(m);
        doc_.view(m.game).registered = true;
        doc_.view(m.game).currentUnit = static_cast<int>(u);
        doc_.cloneItem();
        m.records.push_back(m.records[u]);
        m.names.push_back(m.names[u]);
        m.setCode(m.records.size() - 1, m.records.size() - 1);
        m.stepped(true, true);
    }

    void remove(GameModel& m) {
        if (m.records.size() < 2)
            return;
        const std::size_t u = unit(m);
        doc_.view(m.game).registered = true;
        doc_.view(m.game).currentUnit = static_cast<int>(u);
        const bool yes = rng_() % 4 != 0;
        ui_.answers = {yes};
        doc_.deleteItem();
        if (!yes)
            return;
        const std::size_t code = m.records[u][0] | (m.records[u][1] << 8);
        m.records.erase(m.records.begin() + static_cast<long>(u));
        m.names.erase(m.names.begin() + static_cast<long>(u));
        for (std::size_t k = u; k < m.records.size(); ++k)
            m.setCode(k, (code + (k - u)) & 0xFFFF);
        m.stepped(true, true);
    }

    // Save asks "is NOT modified" for each clean file; the model answers at random.
    void save(GameModel& m) {
        const bool data = m.modified(false);
        const bool names = m.modified(true);
        const bool e = data || rng_() % 2;
        const bool n = names || rng_() % 2;
        ui_.answers.clear();
        if (!data)
            ui_.answers.push_back(e);
        if (!names)
            ui_.answers.push_back(n);
        doc_.save();
        if (e) {
            m.diskRecords = m.eFileBytes();
            m.saved(false);
        }
        if (n) {
            m.diskNames = m.namesBytes();
            m.saved(true);
        }
        compareDisk(m);
    }

    void saveAs(GameModel& m) {
        m.eFile =
            dir_.file(std::string(GameName(m.game)) + "_" + std::to_string(rng_() % 3) + ".EQP");
        ui_.file = m.eFile;
        doc_.saveAs();
        ui_.file.reset();
        m.diskRecords = m.eFileBytes();
        m.diskNames = m.namesBytes();
        m.saved(false);
        m.saved(true);
        compareDisk(m);
    }

    // Open the game's own file again; the save prompt answers No, so every change is dropped.
    void reload(GameModel& m) {
        ui_.answers.clear();
        ui_.file = m.eFile;
        doc_.open();
        ui_.file.reset();
        fromDisk(m);
    }

    // The save-modified prompt over both games, answered at random.
    void prompt() {
        struct Q {
            GameModel* m;
            bool names;
        };
        std::vector<Q> asked;
        for (GameModel* m : {&pg2_, &peg_})
            if (m->modified(false))
                asked.push_back({m, false});
        for (GameModel* m : {&pg2_, &peg_})
            if (m->modified(true))
                asked.push_back({m, true});
        std::vector<bool> answers;
        ui_.answers.clear();
        for (std::size_t i = 0; i < asked.size(); ++i) {
            answers.push_back(rng_() % 2);
            ui_.answers.push_back(answers.back());
        }
        EXPECT_TRUE(doc_.saveModified());
        for (std::size_t i = 0; i < asked.size(); ++i) {
            if (!answers[i])
                continue;
            GameModel& m = *asked[i].m;
            if (asked[i].names) {
                m.diskNames = m.namesBytes();
                m.saved(true);
            } else {
                m.diskRecords = m.eFileBytes();
                m.saved(false);
            }
        }
        compareDisk(pg2_);
        compareDisk(peg_);
    }

    // Export a few listed units to a file of their own, check it, then paste it back.
    void exportAndPaste(GameModel& m) {
        if (m.records.empty() || m.records.size() > 120)
            return;
        ExportRequest request;
        request.definition.path = dir_.file("def.txt");
        for (int k = 0; k < 3; ++k)
            request.definition.parsed.codes.push_back(static_cast<int>(unit(m)));
        request.target = dir_.file(std::string("X") + GameName(m.game) + ".EQP");
        ASSERT_EQ(RunExport(doc_, m.game, request), std::optional<std::size_t>(3));
        GameModel exported = m;
        exported.records.clear();
        exported.names.clear();
        for (int code : request.definition.parsed.codes) {
            exported.records.push_back(m.records[static_cast<std::size_t>(code)]);
            exported.names.push_back(m.names[static_cast<std::size_t>(code)]);
        }
        EXPECT_EQ(*ReadFileBytes(request.target), exported.eFileBytes());
        EXPECT_EQ(*ReadFileBytes(NamesPathFor(".txt", request.target)), exported.namesBytes());

        // Paste asks about each PG2 code that differs from its new position: No keeps them.
        ui_.answers.clear();
        EXPECT_TRUE(PasteUnits(doc_, m.game, request.target));
        m.records.insert(m.records.end(), exported.records.begin(), exported.records.end());
        m.names.insert(m.names.end(), exported.names.begin(), exported.names.end());
        m.stepped(true, true);
    }

    void cost() {
        GameModel& m = peg_;
        CostChoices choices;
        const int country = 1 + static_cast<int>(rng_() % 20);
        const int percent = static_cast<int>(rng_() % 300);
        choices.enabled[static_cast<std::size_t>(country)] = true;
        choices.percent[static_cast<std::size_t>(country)] = percent;
        doc_.setCurrentGame(Game::Peg);
        const int changed = doc_.globalCostModifier(choices);
        int expected = 0;
        for (auto& r : m.records)
            if (r[peg::Country] == country) {
                r[peg::Cost] = static_cast<std::uint8_t>((r[peg::Cost] * percent) / 100);
                ++expected;
            }
        EXPECT_EQ(changed, expected);
        if (expected > 0)
            m.stepped(true, false);
    }

    void compare(const GameModel& m) {
        ASSERT_TRUE(doc_.hasTable(m.game));
        const std::size_t n = doc_.unitCount(m.game);
        ASSERT_EQ(n, m.records.size());
        for (std::size_t i = 0; i < n; ++i) {
            const auto& bytes = m.game == Game::Pg2 ? doc_.pg2()->units[i].record.bytes.data()
                                                    : doc_.peg()->units[i].record.bytes.data();
            ASSERT_TRUE(std::equal(m.records[i].begin(), m.records[i].end(), bytes))
                << "record " << i;
            ASSERT_EQ(*doc_.unitName(m.game, i), m.names[i]) << "name " << i;
        }
        EXPECT_EQ(doc_.flag(m.game, ChangeKind::Data), m.modified(false));
        EXPECT_EQ(doc_.flag(m.game, ChangeKind::Names), m.modified(true));
        // The document's history stands where the model's does, with as many steps.
        EXPECT_EQ(doc_.history(m.game).index(), m.at);
        EXPECT_EQ(doc_.history(m.game).count() + 1, m.states.size());
        EXPECT_EQ(doc_.settings().eFile(m.game), m.eFile);
    }

    void compareDisk(const GameModel& m) {
        EXPECT_EQ(*ReadFileBytes(m.eFile), m.diskRecords) << m.eFile;
        EXPECT_EQ(*ReadFileBytes(NamesPathFor(".txt", m.eFile)), m.diskNames);
    }

    std::mt19937 rng_;
    test::TempDir dir_;
    MemorySettingsBackend store_;
    ModelUi ui_;
    CVarnelDoc doc_;
    GameModel pg2_, peg_;
};

int envOr(const char* name, int fallback) {
    const char* v = std::getenv(name);
    return v && *v ? std::atoi(v) : fallback;
}

TEST(Model, RandomEditsAgreeWithTheModel) {
    const int steps = envOr("VARNEL_MODEL_STEPS", 20000);
    const auto seed = static_cast<unsigned>(envOr("VARNEL_MODEL_SEED", 20261209));
    ModelRun run(seed);
    for (int n = 0; n < steps && !run.failed(); ++n)
        run.step(n);
    RecordProperty("steps", steps);
}

} // namespace
} // namespace varnel
