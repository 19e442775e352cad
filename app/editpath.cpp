// The document's one edit path: every change to a game's units is a patch (app/patch.h) that a
// command computes from the table and hands to the one door, commit(). The door applies it,
// keeps it as a step of the game's history, journals it and tells the observers; undo and redo
// go through the same door. No command changes a table, notifies or journals by itself.

#include "app/varneldoc.h"

#include "app/recoveryjournal.h"

#include "base/format.h"
#include "base/textlines.h"
#include "equip/efile.h"

#include <algorithm>
#include <cstdint>
#include <map>

namespace varnel {

namespace {

// "Air attack of 3 Tiger I": the field and the unit as the form shows them.
std::string fieldStepText(const FieldDef& field, std::size_t unit, std::string_view name) {
    std::string text = field.label + (" of " + std::to_string(unit));
    if (!name.empty()) {
        text += ' ';
        text += name;
    }
    return text;
}

FieldResult setFieldOf(Pg2UnitTable& table, std::size_t unit, const FieldDef& field,
                       std::string_view shown, const NameTable& countries) {
    return SetPg2Field(table, unit, field, shown, FieldStyle::Form, &countries);
}
FieldResult setFieldOf(PegUnitTable& table, std::size_t unit, const FieldDef& field,
                       std::string_view shown, const NameTable& countries) {
    return SetPegField(table, unit, field, shown, FieldStyle::Form, &countries);
}

// Units of a table as they were before a command worked on the table in place, to be put back
// once the command's patch is made: the door then applies the patch.
template <class Table> class Originals {
  public:
    using Unit = typename PatchBuilder<Table>::Unit;
    explicit Originals(Table& table) : table_(table) {}
    // Remembers unit `index` before its first change.
    void keep(std::size_t index) {
        if (kept_.find(index) == kept_.end())
            kept_.emplace(index, Kept{table_.units[index], std::string(table_.name(index))});
    }
    // The patch from the kept units to the table as it stands.
    Patch patch() const {
        PatchBuilder<Table> builder;
        for (const auto& [index, kept] : kept_)
            builder.change(index, kept.unit, kept.name, table_.units[index], table_.name(index));
        return builder.finish();
    }
    // Puts every kept unit back as it was.
    void restore() {
        for (const auto& [index, kept] : kept_) {
            const NameRef name = table_.units[index].name;
            table_.units[index] = kept.unit;
            // The kept unit's name reference may be stale: the store compacts.
            table_.units[index].name = name;
            if (table_.name(index) != kept.name)
                table_.setName(index, kept.name);
        }
    }
    std::size_t size() const { return kept_.size(); }

  private:
    struct Kept {
        Unit unit;
        std::string name;
    };
    Table& table_;
    std::map<std::size_t, Kept> kept_;
};

// Whether a patch changes values and names: a Replace part may touch either, units put in or
// taken out touch both.
struct Touches {
    bool data = false;
    bool names = false;
};

} // namespace

// --- Loading, saving and the flags --------------------------------------------------------

template <class Table>
void CVarnelDoc::loadTable(Table table, bool dataModified, bool namesModified) {
    constexpr Game g = GameOfTable<Table>();
    slotOf<Table>().now = std::move(table);
    keepSaved(g);
    historyOf(g).reset(dataModified, namesModified);
    journalRebase(g);
    notify([&](DocObserver& o) {
        o.documentChanged(DocChange{g, DocChange::Scope::Table, 0, 0, true, true});
    });
    notify([&](DocObserver& o) { o.historyChanged(g); });
}

template void CVarnelDoc::loadTable(Pg2UnitTable, bool, bool);
template void CVarnelDoc::loadTable(PegUnitTable, bool, bool);

void CVarnelDoc::markSaved(Game g, ChangeKind kind) {
    markSaved(g, kind == ChangeKind::Data, kind == ChangeKind::Names);
}

void CVarnelDoc::markSaved(Game g, bool data, bool names) {
    if (data) {
        historyOf(g).markClean(ChangeKind::Data);
        // The file holds the masks as set right now.
        findings(g).oddMaskBytes.clear();
    }
    if (names)
        historyOf(g).markClean(ChangeKind::Names);
    keepSaved(g);
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
    state(g).countries = std::move(names);
}

// --- The one door ------------------------------------------------------------------------

void CVarnelDoc::changed(const DocChange& change) {
    notify([&](DocObserver& o) { o.documentChanged(change); });
    notify([&](DocObserver& o) { o.historyChanged(change.game); });
    refreshTitle();
}

DocChange CVarnelDoc::applyPatch(Game g, Patch& patch, bool forward, bool data, bool names,
                                 const std::vector<std::uint64_t>* check,
                                 std::vector<std::uint64_t>* record, bool* ok) {
    auto swapSide = [&] {
        SwapSide& side = *patch.swap;
        if (side.table)
            withSlot(g, [&](auto& slot) {
                using Table = typename std::remove_reference_t<decltype(slot)>::Table;
                std::swap(slot.now, side.tableOf<Table>());
            });
        if (side.countries)
            std::swap(state(g).countries, *side.countries);
        if (side.files) {
            std::swap(settings_.eFile(g), side.eFile);
            std::swap(settings_.namesEFile(g), side.namesEFile);
            std::swap(settings_.tFile(g), side.tFile);
        }
    };
    if (patch.swap && forward)
        swapSide();
    PatchReach reach;
    if (!patch.code.empty()) {
        if (!hasTable(g))
            reach.ok = false;
        else
            reach = withTable(
                g, [&](auto& table) { return ApplyPatch(table, patch, forward, check, record); });
        if (!reach.ok && patch.swap && forward)
            swapSide(); // the whole patch or nothing
    }
    if (patch.swap && !forward && reach.ok)
        swapSide();
    if (ok)
        *ok = reach.ok;
    if (patch.swap && (patch.swap->table || patch.swap->countries))
        return DocChange{g, DocChange::Scope::Table, 0, 0, data, names};
    if (reach.counted)
        return DocChange{g, DocChange::Scope::Count, reach.first, 0, data, names};
    if (reach.touched())
        return DocChange{
            g, DocChange::Scope::Units, reach.first, reach.last - reach.first + 1, data, names};
    return DocChange{g, DocChange::Scope::Units, 0, 0, data, names};
}

bool CVarnelDoc::commit(Game g, std::string text, Patch patch, bool data, bool names,
                        bool namesClean, const std::vector<std::uint64_t>* check) {
    if (patch.empty())
        return false;
    std::vector<std::uint64_t> hashes;
    bool ok = true;
    const DocChange change =
        applyPatch(g, patch, true, data, names, check, journal_ ? &hashes : nullptr, &ok);
    if (!ok)
        return false;
    std::string details = stepDetails(g, patch, change);
    EditHistory& h = historyOf(g);
    h.push(std::make_unique<EditStep>(std::move(text), std::move(patch), data, names));
    h.undoStep()->setDetails(std::move(details));
    if (namesClean)
        h.markClean(ChangeKind::Names);
    journalStep(g, *h.undoStep(), namesClean, hashes);
    changed(change);
    return true;
}

bool CVarnelDoc::undo(Game g) {
    return stepHistory(g, false);
}

bool CVarnelDoc::redo(Game g) {
    return stepHistory(g, true);
}

bool CVarnelDoc::stepHistory(Game g, bool forward) {
    EditHistory& h = historyOf(g);
    EditStep* step = forward ? h.redoStep() : h.undoStep();
    if (step == nullptr)
        return false;
    const DocChange change =
        applyPatch(g, step->patch(), forward, step->touches(ChangeKind::Data),
                   step->touches(ChangeKind::Names), nullptr, nullptr, nullptr);
    if (forward)
        h.stepForward();
    else
        h.stepBack();
    journalMove(g, !forward, forward ? h.index() - 1 : h.index() + 1);
    changed(change);
    return true;
}

void CVarnelDoc::moveHistoryTo(Game g, std::size_t index) {
    const EditHistory& h = history(g);
    while (h.index() > index && undo(g)) {
    }
    while (h.index() < index && redo(g)) {
    }
}

// --- The commands -------------------------------------------------------------------------

FieldResult CVarnelDoc::setField(Game g, std::size_t unit, const FieldDef& field,
                                 std::string_view shown) {
    if (unit >= unitCount(g)) {
        FieldResult refused;
        refused.message = "There is no such unit";
        return refused;
    }
    return withTable(g, [&](auto& table) {
        using Table = std::remove_reference_t<decltype(table)>;
        const std::string name(table.name(unit));
        Originals<Table> originals(table);
        originals.keep(unit);
        const FieldResult result = setFieldOf(table, unit, field, shown, countries(g));
        Patch patch = originals.patch();
        originals.restore();
        if (result.ok && result.change != FieldChange::None) {
            const bool names = field.kind == FieldKind::Name;
            commit(g, fieldStepText(field, unit, name), std::move(patch), !names, names);
        }
        return result;
    });
}

FieldResult CVarnelDoc::setField(Game g, std::size_t unit, std::string_view field,
                                 std::string_view shown) {
    if (const FieldDef* def = FindField(g, field))
        return setField(g, unit, *def, shown);
    FieldResult refused;
    refused.message = "There is no such field";
    return refused;
}

std::string CVarnelDoc::formatField(Game g, std::size_t unit, const FieldDef& field,
                                    FieldStyle style) const {
    if (unit >= unitCount(g))
        return {};
    return visitTable(g, [&](const auto& table) {
        return FormatField(table, unit, field, style, &countries(g));
    });
}

FieldValue CVarnelDoc::readField(Game g, std::size_t unit, const FieldDef& field) const {
    if (unit >= unitCount(g))
        return {};
    return visitTable(g, [&](const auto& table) { return ReadValue(table, unit, field); });
}

CellsResult CVarnelDoc::setFields(Game g, std::span<const CellEdit> edits,
                                  const std::string& what) {
    CellsResult result;
    if (!hasTable(g)) {
        result.message = "There is no such unit";
        result.refused = edits.empty() ? -1 : 0;
        return result;
    }
    return withTable(g, [&](auto& table) {
        using Table = std::remove_reference_t<decltype(table)>;
        Originals<Table> originals(table);
        Touches touches;
        for (const CellEdit& edit : edits) {
            FieldResult r;
            if (edit.unit >= table.count()) {
                r.message = "There is no such unit";
            } else {
                originals.keep(edit.unit);
                r = setFieldOf(table, edit.unit, *edit.field, edit.shown, countries(g));
            }
            if (!r.ok) {
                // Nothing of the block stays.
                originals.restore();
                const std::optional<std::string_view> name = unitName(g, edit.unit);
                result.message = Format("Unit %zu %s, column %s:\n%s", edit.unit,
                                        std::string(name.value_or("")).c_str(), edit.field->label,
                                        r.message.c_str());
                result.refused = &edit - edits.data();
                return result;
            }
            if (r.change != FieldChange::None) {
                ++result.changed;
                (edit.field->kind == FieldKind::Name ? touches.names : touches.data) = true;
            }
        }
        result.ok = true;
        Patch patch = originals.patch();
        originals.restore();
        if (result.changed > 0)
            commit(g, what, std::move(patch), touches.data, touches.names);
        return result;
    });
}

std::optional<std::size_t> CVarnelDoc::cloneUnit(Game g, std::size_t index) {
    const std::size_t count = unitCount(g);
    if (index >= count || count >= kMaxUnits)
        return std::nullopt;
    withTable(g, [&](auto& table) {
        using Table = std::remove_reference_t<decltype(table)>;
        Table copy;
        copy.units.push_back(table.units[index]);
        copy.units[0].record.setCode(static_cast<std::uint16_t>(count));
        copy.setName(0, table.name(index));
        PatchBuilder<Table> builder;
        builder.insert(count, copy, 0, 1);
        commit(g, "Clone of " + std::to_string(index), builder.finish(), true, true);
    });
    return count;
}

bool CVarnelDoc::deleteUnit(Game g, std::size_t index) {
    if (index >= unitCount(g))
        return false;
    const std::string text =
        Format("Delete of %d ", static_cast<int>(index)) + std::string(*unitName(g, index));
    withTable(g, [&](auto& table) {
        using Table = std::remove_reference_t<decltype(table)>;
        PatchBuilder<Table> builder;
        builder.remove(index, 1, table);
        // The units after it take codes from its code on.
        const std::uint16_t code = table.units[index].record.code();
        for (std::size_t k = index + 1; k < table.count(); ++k) {
            auto after = table.units[k];
            const auto newCode = static_cast<std::uint16_t>(code + (k - 1 - index));
            if (after.record.code() == newCode)
                continue;
            after.record.setCode(newCode);
            builder.change(k - 1, table.units[k], {}, after, {});
        }
        commit(g, text, builder.finish(), true, true);
    });
    return true;
}

template <class Table>
bool CVarnelDoc::append(Game g, Table added, const std::string& what, bool names) {
    if (!hasTable(g) || added.count() == 0 || unitCount(g) + added.count() > kMaxUnits)
        return false;
    const std::string text = Format("%s (%d units)", what.c_str(), static_cast<int>(added.count()));
    PatchBuilder<Table> builder;
    builder.insert(unitCount(g), added, 0, added.count());
    return commit(g, text, builder.finish(), true, names);
}

template <class Table>
bool CVarnelDoc::appendUnits(Table added, const std::string& what, bool names) {
    return append(GameOfTable<Table>(), std::move(added), what, names);
}
template bool CVarnelDoc::appendUnits(Pg2UnitTable, const std::string&, bool);
template bool CVarnelDoc::appendUnits(PegUnitTable, const std::string&, bool);

template <class Table>
bool CVarnelDoc::replace(Game g, const std::string& what, std::size_t count,
                         std::vector<std::size_t> positions, Table units) {
    if (!hasTable(g))
        return false;
    const Table& table = *slotOf<Table>().now;
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

    PatchBuilder<Table> builder;
    bool data = count != was;
    bool names = count != was;
    if (count < was)
        builder.remove(count, was - count, table);
    const auto kept = static_cast<std::size_t>(firstNew - positions.begin());
    for (std::size_t k = 0; k < kept; ++k) {
        const std::size_t at = positions[k];
        const bool sameValues = SameImage(table.units[at], units.units[k]);
        const bool sameName = table.name(at) == units.name(k);
        if (sameValues && sameName)
            continue;
        data = data || !sameValues;
        names = names || !sameName;
        builder.change(at, table.units[at], table.name(at), units.units[k], units.name(k));
    }
    builder.insert(was, units, kept, added);
    if (!data && !names)
        return false;
    return commit(g, what, builder.finish(), data, names);
}

template <class Table>
bool CVarnelDoc::replaceUnits(const std::string& what, std::size_t count,
                              std::vector<std::size_t> positions, Table units) {
    return replace(GameOfTable<Table>(), what, count, std::move(positions), std::move(units));
}
template bool CVarnelDoc::replaceUnits(const std::string&, std::size_t, std::vector<std::size_t>,
                                       Pg2UnitTable);
template bool CVarnelDoc::replaceUnits(const std::string&, std::size_t, std::vector<std::size_t>,
                                       PegUnitTable);

int CVarnelDoc::changeCosts(const CostChoices& choices) {
    std::optional<PegUnitTable>& peg = slotOf<PegUnitTable>().now;
    if (!peg)
        return 0;
    PegUnitTable& table = *peg;
    std::vector<std::uint8_t> before(table.count());
    for (std::size_t i = 0; i < before.size(); ++i)
        before[i] = table.units[i].record[peg::Cost];
    const int counted = ApplyCostChange(table, choices);
    PatchBuilder<PegUnitTable> builder;
    for (std::size_t i = 0; i < before.size(); ++i) {
        PegUnit& unit = table.units[i];
        if (unit.record[peg::Cost] == before[i])
            continue;
        PegUnit old = unit;
        old.record[peg::Cost] = before[i];
        builder.change(i, old, {}, unit, {});
        unit.record[peg::Cost] = before[i];
    }
    if (counted == 0)
        return 0;
    Patch patch = builder.finish();
    if (patch.empty()) // units counted, none changed (a 100 % change): a step all the same
        patch.swap = std::make_unique<SwapSide>();
    commit(Game::Peg, Format("Global Cost Modifier (%d units)", counted), std::move(patch), true,
           false);
    return counted;
}

void CVarnelDoc::replacePegTable(ConvertedPeg converted) {
    auto side = std::make_unique<SwapSide>();
    side->table = true;
    side->peg = std::move(converted.table);
    side->countries = std::move(converted.countries);
    side->files = true;
    side->eFile = std::move(converted.eFile);
    side->namesEFile = std::move(converted.namesEFile);
    side->tFile = std::move(converted.tFile);
    Patch patch;
    patch.swap = std::move(side);
    commit(Game::Peg, "Convert PG2 to PeG", std::move(patch), true, true);
}

template <class Table> void CVarnelDoc::swapTable(Game g, Table table, const std::string& what) {
    if (!hasTable(g))
        return;
    const bool names = table.count() != unitCount(g);
    auto side = std::make_unique<SwapSide>();
    side->table = true;
    side->tableOf<Table>() = std::move(table);
    Patch patch;
    patch.swap = std::move(side);
    commit(g, what, std::move(patch), true, names);
}

template <class Table> void CVarnelDoc::replaceTable(Table table, const std::string& what) {
    swapTable(GameOfTable<Table>(), std::move(table), what);
}
template void CVarnelDoc::replaceTable(Pg2UnitTable, const std::string&);
template void CVarnelDoc::replaceTable(PegUnitTable, const std::string&);

void CVarnelDoc::reloadCountries(Game g, NameTable names, const std::string& tFile) {
    auto side = std::make_unique<SwapSide>();
    side->countries = std::move(names);
    side->files = true;
    side->eFile = settings_.eFile(g);
    side->namesEFile = settings_.namesEFile(g);
    side->tFile = tFile;
    Patch patch;
    patch.swap = std::move(side);
    commit(g, "Reload country names", std::move(patch), false, false);
}

CVarnelDoc::CsvImportOutcome CVarnelDoc::importCsv(Game g, const CsvFile& file,
                                                   const CsvImportOptions& options) {
    CsvImportOutcome outcome;
    if (!hasTable(g)) {
        outcome.summary = "There is no table to import into.\n";
        outcome.refusals = 1;
        return outcome;
    }
    withTable(g, [&](auto& table) {
        using Table = std::remove_reference_t<decltype(table)>;
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
        PatchBuilder<Table> builder;
        for (std::size_t k = 0; k < plan.changedUnits.size(); ++k) {
            const std::size_t i = plan.changedUnits[k];
            data = data || !SameImage(table.units[i], plan.changed.units[k]);
            names = names || table.name(i) != plan.changed.name(k);
            builder.change(i, table.units[i], table.name(i), plan.changed.units[k],
                           plan.changed.name(k));
        }
        builder.insert(table.count(), plan.appended, 0, plan.appended.count());
        const std::string text =
            Format("Import from CSV (%d units changed, %d added)", static_cast<int>(outcome.units),
                   static_cast<int>(outcome.added));
        outcome.applied = commit(g, text, builder.finish(), data, names);
    });
    return outcome;
}

void CVarnelDoc::reloadNames(Game g, std::span<const std::uint8_t> bytes, const std::string& path) {
    if (!hasTable(g))
        return;
    withTable(g, [&](auto& table) {
        using Table = std::remove_reference_t<decltype(table)>;
        // Units past the last line keep their names.
        PatchBuilder<Table> builder;
        LineReader reader(bytes);
        std::string_view line;
        for (std::size_t i = 0; i < table.count() && reader.next(line); ++i)
            if (line != table.name(i))
                builder.change(i, table.units[i], table.name(i), table.units[i], line);
        Patch patch = builder.finish();
        patch.swap = std::make_unique<SwapSide>();
        patch.swap->files = true;
        patch.swap->eFile = settings_.eFile(g);
        patch.swap->namesEFile = path;
        patch.swap->tFile = settings_.tFile(g);
        // The names are then those of the file read: clean.
        commit(g, "Reload names", std::move(patch), false, true, true);
    });
}

} // namespace varnel
