// What changed since a game's last load or save, and the filter that lists units by it.

#include "app/varneldoc.h"
#include "base/format.h"
#include "equip/condition.h"
#include "equip/unitimage.h"

#include <algorithm>

namespace varnel {

namespace {

template <class Table>
bool fieldDiffers(const Table& table, const std::optional<Table>& saved, std::size_t unit,
                  const FieldDef& field) {
    if (unit >= table.count())
        return false;
    if (!saved || unit >= saved->count())
        return true;
    return ReadValue(table, unit, field) != ReadValue(*saved, unit, field);
}

template <class Table>
bool unitDiffers(const Table& table, const std::optional<Table>& saved, std::size_t unit) {
    if (unit >= table.count())
        return false;
    if (!saved || unit >= saved->count())
        return true;
    return !SameImage(table.units[unit], saved->units[unit]) ||
           table.name(unit) != saved->name(unit);
}

// The values a step changed in units first .. first + count - 1 of `table`, where it now stands
// after the step: the units before it are had by taking the patch back and applying it again.
template <class Table>
std::string describe(Table& table, const Patch& patch, const DocChange& change,
                     const NameTable& countries) {
    const std::size_t end = std::min(change.first + change.count, table.count());
    Table after;
    for (std::size_t i = change.first; i < end; ++i) {
        after.units.push_back(table.units[i]);
        after.setName(after.count() - 1, table.name(i));
    }
    ApplyPatch(table, patch, false);
    Table before;
    for (std::size_t i = change.first; i < end; ++i) {
        before.units.push_back(table.units[i]);
        before.setName(before.count() - 1, table.name(i));
    }
    ApplyPatch(table, patch, true);

    std::vector<std::string> lines;
    std::size_t values = 0;
    for (std::size_t k = 0; k < after.count(); ++k)
        for (const FieldDef& f : FieldTable(GameOfTable<Table>())) {
            if (f.readOnly)
                continue;
            const FieldValue was = ReadValue(before, k, f);
            const FieldValue is = ReadValue(after, k, f);
            if (was == is)
                continue;
            if (++values > kStepDetailValues)
                continue;
            std::string line = std::to_string(change.first + k) + ' ';
            line += after.name(k);
            line += ", ";
            line += f.label;
            line += ": ";
            line += FormatValue(f, was, FieldStyle::Cell, &countries);
            line += " -> ";
            line += FormatValue(f, is, FieldStyle::Cell, &countries);
            lines.push_back(std::move(line));
        }
    if (values > kStepDetailValues)
        return Counted(static_cast<long long>(values), "value", "values") + " changed";
    std::string text;
    for (const std::string& line : lines) {
        if (!text.empty())
            text += '\n';
        text += line;
    }
    return text;
}

} // namespace

std::string CVarnelDoc::stepDetails(Game g, Patch& patch, const DocChange& change) {
    if (change.scope != DocChange::Scope::Units || change.count == 0)
        return {};
    // A step over many units is not taken back and forth only to say how many values it changed.
    if (change.count > kStepDetailValues)
        return Counted(static_cast<long long>(change.count), "unit", "units") + " changed";
    return withTable(g, [&](auto& table) { return describe(table, patch, change, countries(g)); });
}

void CVarnelDoc::keepSaved(Game g) {
    withSlot(g, [](auto& slot) { slot.saved = slot.now; });
}

bool CVarnelDoc::fieldChanged(Game g, std::size_t unit, const FieldDef& field) const {
    if (!hasTable(g))
        return false;
    return withSlot(
        g, [&](const auto& slot) { return fieldDiffers(*slot.now, slot.saved, unit, field); });
}

bool CVarnelDoc::unitChanged(Game g, std::size_t unit) const {
    if (!hasTable(g))
        return false;
    return withSlot(g, [&](const auto& slot) { return unitDiffers(*slot.now, slot.saved, unit); });
}

std::vector<int> CVarnelDoc::changedUnits(Game g) const {
    std::vector<int> units;
    for (std::size_t i = 0; i < unitCount(g); ++i)
        if (unitChanged(g, i))
            units.push_back(static_cast<int>(i));
    return units;
}

bool CVarnelDoc::passesFilter(Game g, int index, const UnitFilter& filter) const {
    if (!hasTable(g) || index < 0)
        return false;
    const auto i = static_cast<std::size_t>(index);
    const bool passes =
        visitTable(g, [&](const auto& table) { return PassesFilter(table, i, filter); });
    if (!passes || (filter.changedOnly && !unitChanged(g, i)))
        return false;
    if (filter.where.empty())
        return true;
    const ConditionParse parse = ParseCondition(g, filter.where, &countries(g));
    if (!parse.ok)
        return false;
    const std::vector<int> one{index};
    return !visitTable(g, [&](const auto& table) {
                return MatchingUnits(table, parse.condition, one);
            }).empty();
}

std::vector<int> CVarnelDoc::filterUnits(Game g, const UnitFilter& filter) const {
    if (!hasTable(g))
        return {};
    std::vector<int> units =
        visitTable(g, [&](const auto& table) { return FilterUnits(table, filter); });
    if (filter.changedOnly)
        std::erase_if(units, [&](int u) { return !unitChanged(g, static_cast<std::size_t>(u)); });
    if (!filter.where.empty()) {
        // The views keep only conditions that parse; one that does not lists nothing.
        const ConditionParse parse = ParseCondition(g, filter.where, &countries(g));
        if (!parse.ok)
            return {};
        units = visitTable(
            g, [&](const auto& table) { return MatchingUnits(table, parse.condition, units); });
    }
    return units;
}

} // namespace varnel
