// The document's one edit path: every change to a game's units is a step of that game's history,
// made here, undone and redone here, and told to the observers from here.

#include "app/varneldoc.h"

#include "app/recoveryjournal.h"

#include "base/format.h"
#include "base/textlines.h"
#include "equip/efile.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace varnel {

// The steps reach the document's tables through this one door.
class EditSteps {
  public:
    template <Game G> static auto& table(CVarnelDoc& doc) {
        if constexpr (G == Game::Pg2)
            return *doc.pg2_;
        else
            return *doc.peg_;
    }
    static std::optional<PegUnitTable>& pegSlot(CVarnelDoc& doc) { return doc.peg_; }
    static NameTable& pegCountries(CVarnelDoc& doc) { return doc.pegCountries_; }
};

namespace {

template <Game G> using TableOf = typename GameTraits<G>::Table;
template <Game G> using UnitOf = typename GameTraits<G>::Unit;

int storedValue(const Pg2Unit& unit, const FieldDef& field) {
    return Pg2StoredValue(unit, field);
}
int storedValue(const PegUnit& unit, const FieldDef& field) {
    return PegStoredValue(unit, field);
}
void setStoredValue(Pg2Unit& unit, const FieldDef& field, int stored) {
    SetPg2StoredValue(unit, field, stored);
}
void setStoredValue(PegUnit& unit, const FieldDef& field, int stored) {
    SetPegStoredValue(unit, field, stored);
}

DocChange unitsChange(Game g, std::size_t first, std::size_t count, bool data, bool names) {
    return DocChange{g, DocChange::Scope::Units, first, count, data, names};
}

DocChange countChange(Game g, std::size_t first, bool names = true) {
    return DocChange{g, DocChange::Scope::Count, first, 0, true, names};
}

// "Air attack of 3 Tiger I": the field and the unit as the form shows them.
std::string fieldStepText(const FieldDef& field, std::size_t unit, std::string_view name) {
    std::string text = FieldLabel(field) + " of " + std::to_string(unit);
    if (!name.empty()) {
        text += ' ';
        text += name;
    }
    return text;
}

// A number, check box or drop-down of one unit: its stored value before and after.
template <Game G> class NumberStep final : public EditStep {
  public:
    NumberStep(std::string text, const FieldDef& field, std::size_t unit, int before, int after)
        : EditStep(std::move(text), true, false), field_(&field),
          unit_(static_cast<std::uint32_t>(unit)), before_(before), after_(after) {}
    DocChange undo(CVarnelDoc& doc) override { return put(doc, before_); }
    DocChange redo(CVarnelDoc& doc) override { return put(doc, after_); }

  private:
    DocChange put(CVarnelDoc& doc, int value) {
        setStoredValue(EditSteps::table<G>(doc).units[unit_], *field_, value);
        return unitsChange(G, unit_, 1, true, false);
    }
    const FieldDef* field_;
    std::uint32_t unit_;
    int before_;
    int after_;
};

// An icon name: the six bytes before and after.
template <Game G> class IconStep final : public EditStep {
  public:
    using Icon = std::array<std::uint8_t, pg2::kIconLength>;
    IconStep(std::string text, const FieldDef& field, std::size_t unit, const Icon& before,
             const Icon& after)
        : EditStep(std::move(text), true, false), offset_(field.offset),
          unit_(static_cast<std::uint32_t>(unit)), before_(before), after_(after) {}
    DocChange undo(CVarnelDoc& doc) override { return put(doc, before_); }
    DocChange redo(CVarnelDoc& doc) override { return put(doc, after_); }

  private:
    DocChange put(CVarnelDoc& doc, const Icon& icon) {
        auto& record = EditSteps::table<G>(doc).units[unit_].record;
        std::copy(icon.begin(), icon.end(), record.bytes.begin() + offset_);
        return unitsChange(G, unit_, 1, true, false);
    }
    int offset_;
    std::uint32_t unit_;
    Icon before_;
    Icon after_;
};

template <class Unit>
std::array<std::uint8_t, pg2::kIconLength> iconBytes(const Unit& unit, int offset) {
    std::array<std::uint8_t, pg2::kIconLength> icon{};
    std::copy_n(unit.record.bytes.begin() + offset, icon.size(), icon.begin());
    return icon;
}

// A unit's name before and after.
template <Game G> class NameStep final : public EditStep {
  public:
    NameStep(std::string text, std::size_t unit, std::string before, std::string after)
        : EditStep(std::move(text), false, true), unit_(static_cast<std::uint32_t>(unit)),
          before_(std::move(before)), after_(std::move(after)) {}
    DocChange undo(CVarnelDoc& doc) override { return put(doc, before_); }
    DocChange redo(CVarnelDoc& doc) override { return put(doc, after_); }

  private:
    DocChange put(CVarnelDoc& doc, const std::string& name) {
        EditSteps::table<G>(doc).setName(unit_, name);
        return unitsChange(G, unit_, 1, false, true);
    }
    std::uint32_t unit_;
    std::string before_;
    std::string after_;
};

// A copy of unit `source` appended at the end; undo takes the last unit off again.
template <Game G> class CloneStep final : public EditStep {
  public:
    explicit CloneStep(std::size_t source)
        : EditStep("Clone of " + std::to_string(source), true, true),
          source_(static_cast<std::uint32_t>(source)) {}
    DocChange undo(CVarnelDoc& doc) override {
        auto& table = EditSteps::table<G>(doc);
        table.units.pop_back();
        return countChange(G, table.count());
    }
    DocChange redo(CVarnelDoc& doc) override { return apply(EditSteps::table<G>(doc)); }
    DocChange apply(TableOf<G>& table) {
        auto copy = table.units[source_];
        const auto code = static_cast<std::uint16_t>(table.count());
        copy.record.setCode(code);
        table.units.push_back(copy);
        return countChange(G, code);
    }

  private:
    std::uint32_t source_;
};

// A run of units whose codes count up by one: enough to put back the codes a delete renumbered,
// which in a well-kept table are one run however many units follow.
struct CodeRun {
    std::uint32_t first;  // index of the first unit of the run
    std::uint32_t length; // units in the run
    std::uint16_t code;   // code of the first unit
};

template <class Unit>
std::vector<CodeRun> codeRuns(const std::vector<Unit>& units, std::size_t from) {
    std::vector<CodeRun> runs;
    for (std::size_t k = from; k < units.size(); ++k) {
        const std::uint16_t code = units[k].record.code();
        if (!runs.empty()) {
            CodeRun& last = runs.back();
            if (static_cast<std::uint16_t>(last.code + last.length) == code) {
                ++last.length;
                continue;
            }
        }
        runs.push_back({static_cast<std::uint32_t>(k), 1, code});
    }
    runs.shrink_to_fit();
    return runs;
}

// One unit removed; the units after it take codes from its code on. Undo puts it back with its
// name and the old codes of the units after it.
template <Game G> class DeleteStep final : public EditStep {
  public:
    DeleteStep(std::string text, const TableOf<G>& table, std::size_t index)
        : EditStep(std::move(text), true, true), index_(static_cast<std::uint32_t>(index)),
          unit_(table.units[index]), name_(table.name(index)),
          codes_(codeRuns(table.units, index + 1)) {}
    DocChange undo(CVarnelDoc& doc) override {
        auto& table = EditSteps::table<G>(doc);
        auto& units = table.units;
        units.insert(units.begin() + index_, unit_);
        table.setName(index_, name_);
        for (const CodeRun& run : codes_)
            for (std::uint32_t k = 0; k < run.length; ++k)
                units[run.first + k].record.setCode(static_cast<std::uint16_t>(run.code + k));
        return countChange(G, index_);
    }
    DocChange redo(CVarnelDoc& doc) override { return apply(EditSteps::table<G>(doc)); }
    DocChange apply(TableOf<G>& table) {
        auto& units = table.units;
        const std::uint16_t code = units[index_].record.code();
        units.erase(units.begin() + index_);
        for (std::size_t k = index_; k < units.size(); ++k)
            units[k].record.setCode(static_cast<std::uint16_t>(code + (k - index_)));
        return countChange(G, index_);
    }

  private:
    std::uint32_t index_;
    UnitOf<G> unit_; // its name ref means nothing: the name is kept as text
    std::string name_;
    std::vector<CodeRun> codes_;
};

// Units appended at the end with their names (paste, merge): undo cuts the table back.
template <Game G> class AppendStep final : public EditStep {
  public:
    AppendStep(std::string text, std::size_t first, TableOf<G> added, bool names)
        : EditStep(std::move(text), true, names), first_(first), added_(std::move(added)),
          names_(names) {}
    DocChange undo(CVarnelDoc& doc) override {
        EditSteps::table<G>(doc).units.resize(first_);
        return countChange(G, first_, names_);
    }
    DocChange redo(CVarnelDoc& doc) override { return apply(EditSteps::table<G>(doc)); }
    DocChange apply(TableOf<G>& table) {
        table.units.reserve(first_ + added_.count());
        for (std::size_t k = 0; k < added_.count(); ++k) {
            table.units.push_back(added_.units[k]);
            table.setName(first_ + k, added_.name(k));
        }
        return countChange(G, first_, names_);
    }

  private:
    std::size_t first_;
    TableOf<G> added_;
    bool names_;
};

// Whole units put in place (another file's values taken), the table perhaps cut or grown: the
// units it changed or removed as they were, and those it changed or added as they became.
template <Game G> class ReplaceUnitsStep final : public EditStep {
  public:
    struct Kept {
        std::uint32_t index;
        UnitOf<G> unit; // its name ref means nothing: the name is kept as text
        std::string name;
    };
    ReplaceUnitsStep(std::string text, bool data, bool names, std::size_t oldCount,
                     std::size_t newCount, std::vector<Kept> before, std::vector<Kept> after)
        : EditStep(std::move(text), data, names), oldCount_(oldCount), newCount_(newCount),
          before_(std::move(before)), after_(std::move(after)) {}
    DocChange undo(CVarnelDoc& doc) override { return put(doc, oldCount_, before_); }
    DocChange redo(CVarnelDoc& doc) override { return put(doc, newCount_, after_); }
    DocChange put(CVarnelDoc& doc, std::size_t count, const std::vector<Kept>& units) {
        auto& table = EditSteps::table<G>(doc);
        const std::size_t was = table.count();
        table.units.resize(count);
        for (const Kept& k : units) {
            table.units[k.index] = k.unit;
            table.setName(k.index, k.name);
        }
        const std::size_t first =
            std::min({units.empty() ? count : std::size_t{units.front().index}, was, count});
        if (was != count)
            return countChange(G, first, touches(ChangeKind::Names));
        const std::size_t last = units.empty() ? first : units.back().index + 1;
        return unitsChange(G, first, last - first, touches(ChangeKind::Data),
                           touches(ChangeKind::Names));
    }

  private:
    std::size_t oldCount_;
    std::size_t newCount_;
    std::vector<Kept> before_;
    std::vector<Kept> after_;
};

template <class Unit> bool sameUnit(const Unit& a, const Unit& b) {
    if constexpr (std::is_same_v<Unit, Pg2Unit>)
        return a.record.bytes == b.record.bytes && a.country == b.country &&
               a.special1 == b.special1 && a.special2 == b.special2;
    else
        return a.record.bytes == b.record.bytes;
}

// The cost change: for each changed unit one byte, old cost XOR new cost, and one bit of a map
// over the table saying which units changed. The same XOR takes the step back and does it again.
class CostStep final : public EditStep {
  public:
    CostStep(std::string text, const std::vector<std::uint8_t>& before, const PegUnitTable& after)
        : EditStep(std::move(text), true, false), changed_((before.size() + 7) / 8) {
        for (std::size_t i = 0; i < before.size(); ++i) {
            const auto delta =
                static_cast<std::uint8_t>(before[i] ^ after.units[i].record[peg::Cost]);
            if (delta == 0)
                continue;
            changed_[i / 8] = static_cast<std::uint8_t>(changed_[i / 8] | (1u << (i % 8)));
            deltas_.push_back(delta);
            last_ = i;
        }
        deltas_.shrink_to_fit();
        if (deltas_.empty())
            changed_.clear();
        changed_.shrink_to_fit();
    }
    DocChange undo(CVarnelDoc& doc) override { return flip(doc); }
    DocChange redo(CVarnelDoc& doc) override { return flip(doc); }

  private:
    DocChange flip(CVarnelDoc& doc) {
        auto& units = EditSteps::table<Game::Peg>(doc).units;
        std::size_t next = 0;
        std::size_t first = units.size();
        for (std::size_t byte = 0; byte < changed_.size(); ++byte) {
            for (std::uint8_t bits = changed_[byte]; bits != 0; bits &= bits - 1) {
                const std::size_t i = byte * 8 + static_cast<std::size_t>(__builtin_ctz(bits));
                first = std::min(first, i);
                units[i].record[peg::Cost] ^= deltas_[next++];
            }
        }
        if (deltas_.empty())
            return unitsChange(Game::Peg, 0, 0, true, false);
        return unitsChange(Game::Peg, first, last_ + 1 - first, true, false);
    }
    std::vector<std::uint8_t> changed_; // bit i: unit i changed
    std::vector<std::uint8_t> deltas_;  // one per changed unit, in unit order
    std::size_t last_ = 0;
};

// A step that swaps what the document holds with what it keeps: the same move undoes and redoes.
// The conversion keeps the PeG table it replaced (and its country names and files).
class ReplacePegStep final : public EditStep {
  public:
    ReplacePegStep(std::optional<PegUnitTable> table, NameTable countries, std::string eFile,
                   std::string namesEFile, std::string tFile)
        : EditStep("Convert PG2 to PeG", true, true), table_(std::move(table)),
          countries_(std::move(countries)), eFile_(std::move(eFile)),
          namesEFile_(std::move(namesEFile)), tFile_(std::move(tFile)) {}
    DocChange undo(CVarnelDoc& doc) override { return swap(doc); }
    DocChange redo(CVarnelDoc& doc) override { return swap(doc); }
    DocChange swap(CVarnelDoc& doc) {
        std::swap(EditSteps::pegSlot(doc), table_);
        std::swap(EditSteps::pegCountries(doc), countries_);
        std::swap(doc.settings.pegEFile, eFile_);
        std::swap(doc.settings.pegNamesEFile, namesEFile_);
        std::swap(doc.settings.pegTFile, tFile_);
        return DocChange{Game::Peg, DocChange::Scope::Table, 0, 0, true, true};
    }

  private:
    std::optional<PegUnitTable> table_;
    NameTable countries_;
    std::string eFile_, namesEFile_, tFile_;
};

// The names read again from a Names E-File: the names and the file it swaps.
template <Game G> class NamesStep final : public EditStep {
  public:
    NamesStep(std::vector<std::string> names, std::string path)
        : EditStep("Reload names", false, true), names_(std::move(names)), path_(std::move(path)) {}
    DocChange undo(CVarnelDoc& doc) override { return swap(doc); }
    DocChange redo(CVarnelDoc& doc) override { return swap(doc); }
    DocChange swap(CVarnelDoc& doc) {
        auto& table = EditSteps::table<G>(doc);
        const std::size_t count = std::min(names_.size(), table.count());
        for (std::size_t i = 0; i < count; ++i) {
            std::string current(table.name(i));
            table.setName(i, names_[i]);
            names_[i] = std::move(current);
        }
        std::swap(doc.settings.namesEFile(G), path_);
        return unitsChange(G, 0, table.count(), false, true);
    }

  private:
    std::vector<std::string> names_;
    std::string path_;
};

// Many fields of many units changed as one (a block of cells): the parts are undone last first.
class GroupStep final : public EditStep {
  public:
    GroupStep(std::string text, Game game, std::vector<std::unique_ptr<EditStep>> parts,
              std::size_t first, std::size_t last, bool data, bool names)
        : EditStep(std::move(text), data, names), game_(game), parts_(std::move(parts)),
          first_(first), last_(last) {}
    DocChange undo(CVarnelDoc& doc) override {
        for (auto it = parts_.rbegin(); it != parts_.rend(); ++it)
            (*it)->undo(doc);
        return change();
    }
    DocChange redo(CVarnelDoc& doc) override {
        for (auto& part : parts_)
            part->redo(doc);
        return change();
    }

  private:
    DocChange change() const {
        return unitsChange(game_, first_, last_ - first_ + 1, touches(ChangeKind::Data),
                           touches(ChangeKind::Names));
    }
    Game game_;
    std::vector<std::unique_ptr<EditStep>> parts_;
    std::size_t first_;
    std::size_t last_;
};

// A spreadsheet import: existing units that take new values, and units appended after them.
// The step keeps the other side of each changed unit (at first the new values, once done the old
// ones), so the same swap undoes and redoes it.
template <Game G> class ImportStep final : public EditStep {
  public:
    ImportStep(std::string text, bool data, bool names, std::size_t first,
               std::vector<std::uint32_t> indexes, TableOf<G> other, TableOf<G> added)
        : EditStep(std::move(text), data, names), first_(first), indexes_(std::move(indexes)),
          other_(std::move(other)), added_(std::move(added)) {}
    DocChange undo(CVarnelDoc& doc) override {
        auto& table = EditSteps::table<G>(doc);
        table.units.resize(first_);
        swap(table);
        return change();
    }
    DocChange redo(CVarnelDoc& doc) override { return apply(EditSteps::table<G>(doc)); }
    DocChange apply(TableOf<G>& table) {
        swap(table);
        table.units.reserve(first_ + added_.count());
        for (std::size_t k = 0; k < added_.count(); ++k) {
            table.units.push_back(added_.units[k]);
            table.setName(first_ + k, added_.name(k));
        }
        return change();
    }

  private:
    void swap(TableOf<G>& table) {
        for (std::size_t k = 0; k < indexes_.size(); ++k) {
            const std::size_t i = indexes_[k];
            UnitOf<G> old = table.units[i];
            std::string oldName(table.name(i));
            table.units[i] = other_.units[k];
            table.setName(i, other_.name(k));
            other_.units[k] = old;
            other_.setName(k, oldName);
        }
    }
    DocChange change() const {
        const std::size_t first = indexes_.empty() ? first_ : indexes_.front();
        if (added_.count() != 0)
            return countChange(G, first, touches(ChangeKind::Names));
        return unitsChange(G, first, indexes_.back() + 1 - first, touches(ChangeKind::Data),
                           touches(ChangeKind::Names));
    }
    std::size_t first_; // the count before the import: where the new units go
    std::vector<std::uint32_t> indexes_;
    TableOf<G> other_;
    TableOf<G> added_;
};

bool sameValues(const Pg2Unit& a, const Pg2Unit& b) {
    return a.record.bytes == b.record.bytes && a.country == b.country && a.special1 == b.special1 &&
           a.special2 == b.special2;
}
bool sameValues(const PegUnit& a, const PegUnit& b) {
    return a.record.bytes == b.record.bytes;
}

// A whole table put in place of the game's one (a backup restored): the same swap undoes and
// redoes it.
template <Game G> class SwapTableStep final : public EditStep {
  public:
    SwapTableStep(std::string text, TableOf<G> table, bool names)
        : EditStep(std::move(text), true, names), table_(std::move(table)) {}
    DocChange undo(CVarnelDoc& doc) override { return swap(doc); }
    DocChange redo(CVarnelDoc& doc) override { return swap(doc); }
    DocChange swap(CVarnelDoc& doc) {
        std::swap(EditSteps::table<G>(doc), table_);
        return DocChange{G, DocChange::Scope::Table, 0, 0, true, touches(ChangeKind::Names)};
    }

  private:
    TableOf<G> table_;
};

// Stores the field through the field table's rules; when the value changed, `step` is the step
// that takes it back.
// `named`: whether the step gets its own text for the Edit menu (not when it is part of a
// larger step).
template <Game G>
FieldResult setField(TableOf<G>& table, std::size_t unit, const FieldDef& field,
                     std::string_view shown, std::unique_ptr<EditStep>& step, bool named = true) {
    auto& u = table.units[unit];
    const std::string name(field.kind == FieldKind::Name || named ? table.name(unit) : "");
    const int before = storedValue(u, field);
    const auto iconBefore = field.kind == FieldKind::Icon
                                ? iconBytes(u, field.offset)
                                : std::array<std::uint8_t, pg2::kIconLength>{};
    FieldResult result;
    if constexpr (G == Game::Pg2)
        result = SetPg2Field(table, unit, field, shown);
    else
        result = SetPegField(table, unit, field, shown);
    if (!result.ok || result.change == FieldChange::None)
        return result;
    std::string text = named ? fieldStepText(field, unit, name) : std::string();
    if (field.kind == FieldKind::Name)
        step = std::make_unique<NameStep<G>>(std::move(text), unit, name,
                                             std::string(table.name(unit)));
    else if (field.kind == FieldKind::Icon)
        step = std::make_unique<IconStep<G>>(std::move(text), field, unit, iconBefore,
                                             iconBytes(table.units[unit], field.offset));
    else
        step = std::make_unique<NumberStep<G>>(std::move(text), field, unit, before,
                                               storedValue(table.units[unit], field));
    return result;
}

template <Game G> std::vector<std::string> namesOf(const TableOf<G>& table) {
    std::vector<std::string> names;
    names.reserve(table.count());
    for (std::size_t i = 0; i < table.count(); ++i)
        names.emplace_back(table.name(i));
    return names;
}

} // namespace

// --- Loading, saving and the flags --------------------------------------------------------

template <class Table>
void CVarnelDoc::load(std::optional<Table>& slot, Game g, Table table, bool dataModified,
                      bool namesModified) {
    slot = std::move(table);
    historyOf(g).reset(dataModified, namesModified);
    journalRebase(g);
    notify([&](DocObserver& o) { o.historyChanged(g); });
}

void CVarnelDoc::loadTable(Pg2UnitTable table, bool dataModified, bool namesModified) {
    load(pg2_, Game::Pg2, std::move(table), dataModified, namesModified);
}

void CVarnelDoc::loadTable(PegUnitTable table, bool dataModified, bool namesModified) {
    load(peg_, Game::Peg, std::move(table), dataModified, namesModified);
}

void CVarnelDoc::markSaved(Game g, ChangeKind kind) {
    historyOf(g).markClean(kind);
    // What was saved needs no journal: the files (or, while the other file is unsaved, a copy)
    // are the new base.
    journalRebase(g);
    notify([&](DocObserver& o) { o.historyChanged(g); });
}

bool CVarnelDoc::flag(Game g, ChangeKind kind) const {
    return history(g).modified(kind);
}

bool CVarnelDoc::isModified() const {
    for (Game g : {Game::Pg2, Game::Peg})
        for (ChangeKind kind : {ChangeKind::Data, ChangeKind::Names})
            if (flag(g, kind))
                return true;
    return false;
}

ChangeFlags CVarnelDoc::flags() const {
    return ChangeFlags{flag(Game::Pg2, ChangeKind::Data), flag(Game::Peg, ChangeKind::Data),
                       flag(Game::Pg2, ChangeKind::Names), flag(Game::Peg, ChangeKind::Names)};
}

void CVarnelDoc::markModified(Game g, ChangeKind kind) {
    historyOf(g).markModified(kind);
    journalRebase(g);
    notify([&](DocObserver& o) { o.historyChanged(g); });
    refreshTitle();
}

void CVarnelDoc::setCountries(Game g, NameTable names) {
    (g == Game::Pg2 ? pg2Countries_ : pegCountries_) = std::move(names);
}

// --- The edit path ------------------------------------------------------------------------

void CVarnelDoc::changed(const DocChange& change) {
    notify([&](DocObserver& o) { o.documentChanged(change); });
    notify([&](DocObserver& o) { o.historyChanged(change.game); });
    refreshTitle();
}

void CVarnelDoc::pushStep(Game g, std::unique_ptr<EditStep> step, const DocChange& change) {
    historyOf(g).push(std::move(step));
    changed(change);
}

FieldResult CVarnelDoc::setField(Game g, std::size_t unit, const FieldDef& field,
                                 std::string_view shown) {
    if (unit >= unitCount(g)) {
        FieldResult refused;
        refused.message = "There is no such unit";
        return refused;
    }
    std::unique_ptr<EditStep> step;
    const FieldResult result = g == Game::Pg2
                                   ? varnel::setField<Game::Pg2>(*pg2_, unit, field, shown, step)
                                   : varnel::setField<Game::Peg>(*peg_, unit, field, shown, step);
    if (step) {
        const bool names = field.kind == FieldKind::Name;
        pushStep(g, std::move(step), unitsChange(g, unit, 1, !names, names));
        journal(g, [&] { return JournalFieldEntry(unit, field.name, shown); });
    }
    return result;
}

CellsResult CVarnelDoc::setFields(Game g, std::span<const CellEdit> edits,
                                  const std::string& what) {
    CellsResult result;
    std::vector<std::unique_ptr<EditStep>> parts;
    std::size_t first = SIZE_MAX;
    std::size_t last = 0;
    bool data = false;
    bool names = false;
    for (const CellEdit& edit : edits) {
        FieldResult r;
        std::unique_ptr<EditStep> part;
        if (edit.unit >= unitCount(g))
            r.message = "There is no such unit";
        else if (g == Game::Pg2)
            r = varnel::setField<Game::Pg2>(*pg2_, edit.unit, *edit.field, edit.shown, part, false);
        else
            r = varnel::setField<Game::Peg>(*peg_, edit.unit, *edit.field, edit.shown, part, false);
        if (!r.ok) {
            // Nothing of the block stays: the parts done so far are taken back.
            for (auto it = parts.rbegin(); it != parts.rend(); ++it)
                (*it)->undo(*this);
            const std::optional<std::string_view> name = unitName(g, edit.unit);
            result.message = Format("Unit %zu %s, column %s:\n%s", edit.unit,
                                    std::string(name.value_or("")).c_str(),
                                    FieldLabel(*edit.field).c_str(), r.message.c_str());
            result.refused = &edit - edits.data();
            return result;
        }
        if (part) {
            first = std::min(first, edit.unit);
            last = std::max(last, edit.unit);
            (edit.field->kind == FieldKind::Name ? names : data) = true;
            parts.push_back(std::move(part));
        }
    }
    result.ok = true;
    result.changed = parts.size();
    if (!parts.empty()) {
        pushStep(g,
                 std::make_unique<GroupStep>(what, g, std::move(parts), first, last, data, names),
                 unitsChange(g, first, last - first + 1, data, names));
        journal(g, [&] { return JournalCellsEntry(what, edits); });
    }
    return result;
}

std::optional<std::size_t> CVarnelDoc::cloneUnit(Game g, std::size_t index) {
    const std::size_t count = unitCount(g);
    if (index >= count || count >= kMaxUnits)
        return std::nullopt;
    DocChange change;
    std::unique_ptr<EditStep> step;
    if (g == Game::Pg2) {
        auto clone = std::make_unique<CloneStep<Game::Pg2>>(index);
        change = clone->apply(*pg2_);
        step = std::move(clone);
    } else {
        auto clone = std::make_unique<CloneStep<Game::Peg>>(index);
        change = clone->apply(*peg_);
        step = std::move(clone);
    }
    pushStep(g, std::move(step), change);
    journal(g, [&] { return JournalUnitEntry(JournalRecord::Clone, index); });
    return count;
}

bool CVarnelDoc::deleteUnit(Game g, std::size_t index) {
    if (index >= unitCount(g))
        return false;
    const std::string text =
        Format("Delete of %d ", static_cast<int>(index)) + std::string(*unitName(g, index));
    DocChange change;
    std::unique_ptr<EditStep> step;
    if (g == Game::Pg2) {
        auto del = std::make_unique<DeleteStep<Game::Pg2>>(text, *pg2_, index);
        change = del->apply(*pg2_);
        step = std::move(del);
    } else {
        auto del = std::make_unique<DeleteStep<Game::Peg>>(text, *peg_, index);
        change = del->apply(*peg_);
        step = std::move(del);
    }
    pushStep(g, std::move(step), change);
    journal(g, [&] { return JournalUnitEntry(JournalRecord::Delete, index); });
    return true;
}

bool CVarnelDoc::appendUnits(Pg2UnitTable added, const std::string& what, bool names) {
    if (!pg2_ || added.count() == 0 || pg2_->count() + added.count() > kMaxUnits)
        return false;
    const std::string text = Format("%s (%d units)", what.c_str(), static_cast<int>(added.count()));
    Bytes entry;
    if (journaling())
        entry = JournalAppendEntry(what, names, WritePg2EFile(added), WriteNamesFile(added));
    auto step =
        std::make_unique<AppendStep<Game::Pg2>>(text, pg2_->count(), std::move(added), names);
    const DocChange change = step->apply(*pg2_);
    pushStep(Game::Pg2, std::move(step), change);
    journal(Game::Pg2, [&] { return entry; });
    return true;
}

bool CVarnelDoc::appendUnits(PegUnitTable added, const std::string& what, bool names) {
    if (!peg_ || added.count() == 0 || peg_->count() + added.count() > kMaxUnits)
        return false;
    const std::string text = Format("%s (%d units)", what.c_str(), static_cast<int>(added.count()));
    Bytes entry;
    if (journaling())
        entry = JournalAppendEntry(what, names, WritePegEFile(added), WriteNamesFile(added));
    auto step =
        std::make_unique<AppendStep<Game::Peg>>(text, peg_->count(), std::move(added), names);
    const DocChange change = step->apply(*peg_);
    pushStep(Game::Peg, std::move(step), change);
    journal(Game::Peg, [&] { return entry; });
    return true;
}

template <Game G, class Table>
bool CVarnelDoc::replace(Table& table, const std::string& what, std::size_t count,
                         std::vector<std::size_t> positions, Table units) {
    using Step = ReplaceUnitsStep<G>;
    const std::size_t was = table.count();
    if (count > kMaxUnits || positions.size() != units.count() ||
        !std::is_sorted(positions.begin(), positions.end()) ||
        std::adjacent_find(positions.begin(), positions.end()) != positions.end() ||
        (!positions.empty() && positions.back() >= count))
        return false;
    // Every new position must be filled: those past the old end are the last ones given.
    const std::size_t added = count > was ? count - was : 0;
    const auto firstNew = std::lower_bound(positions.begin(), positions.end(), was);
    if (static_cast<std::size_t>(positions.end() - firstNew) != added)
        return false;

    std::vector<typename Step::Kept> before;
    std::vector<typename Step::Kept> after;
    bool data = count != was;
    bool names = count != was;
    for (std::size_t k = 0; k < positions.size(); ++k) {
        const std::size_t at = positions[k];
        const auto index = static_cast<std::uint32_t>(at);
        const std::string_view name = units.name(k);
        if (at < was) {
            const bool sameRecord = sameUnit(table.units[at], units.units[k]);
            const bool sameName = table.name(at) == name;
            if (sameRecord && sameName)
                continue;
            data = data || !sameRecord;
            names = names || !sameName;
            before.push_back({index, table.units[at], std::string(table.name(at))});
        }
        after.push_back({index, units.units[k], std::string(name)});
    }
    for (std::size_t at = count; at < was; ++at)
        before.push_back(
            {static_cast<std::uint32_t>(at), table.units[at], std::string(table.name(at))});
    if (!data && !names)
        return false;
    auto step =
        std::make_unique<Step>(what, data, names, was, count, std::move(before), std::move(after));
    const DocChange change = step->redo(*this);
    pushStep(G, std::move(step), change);
    return true;
}

bool CVarnelDoc::replaceUnits(const std::string& what, std::size_t count,
                              std::vector<std::size_t> positions, Pg2UnitTable units) {
    return pg2_ && replace<Game::Pg2>(*pg2_, what, count, std::move(positions), std::move(units));
}

bool CVarnelDoc::replaceUnits(const std::string& what, std::size_t count,
                              std::vector<std::size_t> positions, PegUnitTable units) {
    return peg_ && replace<Game::Peg>(*peg_, what, count, std::move(positions), std::move(units));
}

int CVarnelDoc::changeCosts(const CostChoices& choices) {
    if (!peg_)
        return 0;
    std::vector<std::uint8_t> before(peg_->count());
    for (std::size_t i = 0; i < before.size(); ++i)
        before[i] = peg_->units[i].record[peg::Cost];
    const int counted = ApplyCostChange(*peg_, choices);
    if (counted == 0)
        return 0;
    auto step = std::make_unique<CostStep>(Format("Global Cost Modifier (%d units)", counted),
                                           before, *peg_);
    before = {};
    pushStep(Game::Peg, std::move(step), unitsChange(Game::Peg, 0, peg_->count(), true, false));
    journal(Game::Peg, [&] { return JournalCostEntry(choices); });
    return counted;
}

void CVarnelDoc::replacePegTable(ConvertedPeg converted) {
    Bytes entry;
    if (journaling())
        entry = JournalConvertEntry(converted.table, converted.countries, converted.eFile,
                                    converted.namesEFile, converted.tFile);
    auto step = std::make_unique<ReplacePegStep>(
        std::optional<PegUnitTable>(std::move(converted.table)), std::move(converted.countries),
        std::move(converted.eFile), std::move(converted.namesEFile), std::move(converted.tFile));
    const DocChange change = step->swap(*this);
    pushStep(Game::Peg, std::move(step), change);
    journal(Game::Peg, [&] { return entry; });
}

void CVarnelDoc::replaceTable(Pg2UnitTable table, const std::string& what) {
    if (!pg2_)
        return;
    const bool names = table.count() != pg2_->count();
    Bytes entry;
    if (journaling())
        entry = JournalTableEntry(what, WritePg2EFile(table), WriteNamesFile(table));
    auto step = std::make_unique<SwapTableStep<Game::Pg2>>(what, std::move(table), names);
    const DocChange change = step->swap(*this);
    pushStep(Game::Pg2, std::move(step), change);
    journal(Game::Pg2, [&] { return entry; });
}

void CVarnelDoc::replaceTable(PegUnitTable table, const std::string& what) {
    if (!peg_)
        return;
    const bool names = table.count() != peg_->count();
    Bytes entry;
    if (journaling())
        entry = JournalTableEntry(what, WritePegEFile(table), WriteNamesFile(table));
    auto step = std::make_unique<SwapTableStep<Game::Peg>>(what, std::move(table), names);
    const DocChange change = step->swap(*this);
    pushStep(Game::Peg, std::move(step), change);
    journal(Game::Peg, [&] { return entry; });
}

CVarnelDoc::CsvImportOutcome CVarnelDoc::importCsv(Game g, const CsvFile& file,
                                                   const CsvImportOptions& options) {
    CsvImportOutcome outcome;
    if (!hasTable(g)) {
        outcome.summary = "There is no table to import into.\n";
        outcome.refusals = 1;
        return outcome;
    }
    auto run = [&]<Game G>(TableOf<G>& table) {
        auto plan = PlanCsvImport(table, file, options);
        outcome.changes = plan.changes.size();
        outcome.units = plan.changedUnits.size();
        outcome.added = plan.appended.count();
        outcome.refusals = plan.refusals.size();
        outcome.summary = CsvPlanSummary(plan, table);
        if (!plan.ok() || plan.empty())
            return;
        if (table.count() + plan.appended.count() > kMaxUnits)
            return;
        bool data = plan.appended.count() != 0;
        bool names = data;
        for (std::size_t k = 0; k < plan.changedUnits.size(); ++k) {
            const std::size_t i = plan.changedUnits[k];
            data = data || !sameValues(table.units[i], plan.changed.units[k]);
            names = names || table.name(i) != plan.changed.name(k);
        }
        const std::string text =
            Format("Import from CSV (%d units changed, %d added)", static_cast<int>(outcome.units),
                   static_cast<int>(outcome.added));
        auto step = std::make_unique<ImportStep<G>>(
            text, data, names, table.count(), std::move(plan.changedUnits), std::move(plan.changed),
            std::move(plan.appended));
        const DocChange change = step->apply(table);
        pushStep(G, std::move(step), change);
        journal(G, [&] { return JournalCsvEntry(file, options); });
        outcome.applied = true;
    };
    if (g == Game::Pg2)
        run.operator()<Game::Pg2>(*pg2_);
    else
        run.operator()<Game::Peg>(*peg_);
    return outcome;
}

void CVarnelDoc::reloadNames(Game g, std::span<const std::uint8_t> bytes, const std::string& path) {
    if (!hasTable(g))
        return;
    std::unique_ptr<EditStep> step;
    DocChange change;
    // The step keeps the names as read; swapping puts them in and keeps the old ones. Units past
    // the last line keep their names.
    auto names = [&](auto& table) {
        std::vector<std::string> read(table.count());
        LineReader reader(bytes);
        std::string_view line;
        for (std::size_t i = 0; i < table.count(); ++i)
            read[i] = i < table.count() && reader.next(line) ? std::string(line)
                                                             : std::string(table.name(i));
        return read;
    };
    if (g == Game::Pg2) {
        auto reload = std::make_unique<NamesStep<Game::Pg2>>(names(*pg2_), path);
        change = reload->swap(*this);
        step = std::move(reload);
    } else {
        auto reload = std::make_unique<NamesStep<Game::Peg>>(names(*peg_), path);
        change = reload->swap(*this);
        step = std::move(reload);
    }
    historyOf(g).push(std::move(step));
    historyOf(g).markClean(ChangeKind::Names);
    changed(change);
    journal(g, [&] { return JournalNamesEntry(path, bytes); });
}

// --- Undo and redo ------------------------------------------------------------------------

bool CVarnelDoc::undo(Game g) {
    EditHistory& h = historyOf(g);
    EditStep* step = h.undoStep();
    if (step == nullptr)
        return false;
    const DocChange change = step->undo(*this);
    h.stepBack();
    changed(change);
    journalMove(g, true, h.index() + 1);
    return true;
}

bool CVarnelDoc::redo(Game g) {
    EditHistory& h = historyOf(g);
    EditStep* step = h.redoStep();
    if (step == nullptr)
        return false;
    const DocChange change = step->redo(*this);
    h.stepForward();
    changed(change);
    journalMove(g, false, h.index() - 1);
    return true;
}

void CVarnelDoc::moveHistoryTo(Game g, std::size_t index) {
    const EditHistory& h = history(g);
    while (h.index() > index && undo(g)) {
    }
    while (h.index() < index && redo(g)) {
    }
}

} // namespace varnel
