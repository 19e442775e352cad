#pragma once
// The in-memory unit tables of both games. A table holds at most 65,535 units (the count on disk
// is 16 bits). Nobody keeps a pointer into a table across a command: storage is replaced by
// clone, delete, paste and merge.

#include "equip/pegrecord.h"
#include "equip/pg2record.h"

#include <vector>

namespace varnel {

constexpr std::size_t kMaxUnits = 65535;

struct Pg2UnitTable {
    std::vector<Pg2Unit> units;
    std::size_t count() const { return units.size(); }
};

struct PegUnitTable {
    std::vector<PegUnit> units;
    std::size_t count() const { return units.size(); }
};

// The four change flags, owned by the document.
struct ChangeFlags {
    bool pg2Data = false;
    bool pegData = false;
    bool pg2Names = false;
    bool pegNames = false;

    bool any() const { return pg2Data || pegData || pg2Names || pegNames; }
};

} // namespace varnel
