#pragma once
// Which units a list shows and in what order: the country filter, the class filter and the name
// search that the form's list and the units table share, and the units table's sort. Lists are
// table indexes; nothing here copies a unit.

#include "equip/fieldtable.h"
#include "equip/unittable.h"

#include <string>
#include <string_view>
#include <vector>

namespace varnel {

struct UnitFilter {
    int country = 0;   // 0: every country
    int unitClass = 0; // 0: every class
    // Windows-1252 bytes found anywhere in the name, without regard to case; empty: every name.
    std::string find;
    // The search holds a character no name can hold: no unit matches.
    bool unmatchable = false;
    // A condition on any column (equip/condition.h), Windows-1252; empty: every unit. The
    // document applies it and `changedOnly`: FilterUnits leaves both to it.
    std::string where;
    // Only the units changed since the game's last load or save.
    bool changedOnly = false;

    bool active() const {
        return country != 0 || unitClass != 0 || !find.empty() || unmatchable || !where.empty() ||
               changedOnly;
    }
    bool operator==(const UnitFilter&) const = default;
};

// Lower case of a Windows-1252 byte: ASCII and the accented letters with a lower-case partner.
unsigned char FoldCase1252(unsigned char byte);
std::string Folded1252(std::string_view bytes);
// Whether `haystack` contains `foldedNeedle` (already folded), without regard to case. An empty
// needle is contained everywhere.
bool ContainsFolded1252(std::string_view haystack, std::string_view foldedNeedle);
// <0, 0, >0 as `a` sorts before, with or after `b` without regard to case.
int CompareFolded1252(std::string_view a, std::string_view b);

// The indexes of the units that pass the filter, in table order.
template <class Table> std::vector<int> FilterUnits(const Table& table, const UnitFilter& filter);
// Whether unit `index` (inside the table) is one FilterUnits lists.
template <class Table>
bool PassesFilter(const Table& table, std::size_t index, const UnitFilter& filter);

// Orders `units` (indexes into the table) by the row's value: numbers by their value, texts
// (names, icons) without regard to case. Units of equal value keep their order either way.
template <class Table>
void SortUnits(const Table& table, const FieldDef& field, bool ascending, std::vector<int>& units);

} // namespace varnel
