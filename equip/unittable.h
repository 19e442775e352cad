#pragma once
// The in-memory unit tables of both games. A table holds at most 65,535 units (the count on disk
// is 16 bits). Nobody keeps a pointer into a table across a command: storage is replaced by
// clone, delete, paste and merge.

#include "equip/pegrecord.h"
#include "equip/pg2record.h"

#include "base/namestore.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace varnel {

constexpr std::size_t kMaxUnits = 65535;

// The units of one game and, in one store, their names. `units[i].name` is a ref into `names`
// and means nothing in another table: a unit moved between tables takes its name by text
// (`setName(i, other.name(j))`).
template <class Unit> struct UnitTable {
    std::vector<Unit> units;
    NameStore names;

    std::size_t count() const { return units.size(); }
    // Valid until the next change of a name of this table.
    std::string_view name(std::size_t index) const { return names.view(units[index].name); }
    void setName(std::size_t index, std::string_view text) {
        units[index].name = names.add(text);
        if (names.size() > compactAt_)
            compactNames();
    }
    // Drops the bytes no unit points at any more, once they are most of the store.
    void compactNames() {
        std::size_t live = 0;
        for (const Unit& unit : units)
            live += unit.name.length;
        if (live * 2 < names.size()) {
            NameStore fresh;
            fresh.reserve(live);
            for (Unit& unit : units)
                unit.name = fresh.add(names.view(unit.name));
            names = std::move(fresh);
        }
        compactAt_ = std::max(kMinNameCompactBytes, 2 * names.size());
    }

  private:
    std::size_t compactAt_ = kMinNameCompactBytes;
};

struct Pg2UnitTable : UnitTable<Pg2Unit> {};
struct PegUnitTable : UnitTable<PegUnit> {};

// The country and the class a unit's form shows: the one place that knows where each game keeps
// them (the PG2 country is read from the mask).
inline int UnitCountry(const Pg2Unit& unit) {
    return Pg2Country(unit.record);
}
inline int UnitCountry(const PegUnit& unit) {
    return unit.record[peg::Country];
}
inline int UnitClass(const Pg2Unit& unit) {
    return unit.record[pg2::Class];
}
inline int UnitClass(const PegUnit& unit) {
    return unit.record[peg::Class];
}

// Sets right what a unit's bytes may hold that names nothing: a PG2 mask of no single country
// (see SetPg2MaskRight). For a unit whose bytes were given one by one.
inline void SetMaskRight(Pg2Unit& unit) {
    SetPg2MaskRight(unit.record);
}
inline void SetMaskRight(PegUnit&) {}

// The four change flags at one moment (the document derives them from its histories).
struct ChangeFlags {
    bool pg2Data = false;
    bool pegData = false;
    bool pg2Names = false;
    bool pegNames = false;

    bool any() const { return pg2Data || pegData || pg2Names || pegNames; }
};

} // namespace varnel
