#pragma once
// Export by definition file: writes a new E-File and its Names E-File holding the units of the
// loaded table that a definition file lists, in the listed order (repeats kept, codes not
// renumbered).

#include "base/bytes.h"
#include "convert/definitionfile.h"
#include "equip/unittable.h"

#include <optional>
#include <vector>

namespace varnel {

struct ExportFiles {
    Bytes eFile; // u16 count, then the listed records
    Bytes names; // the listed names, each followed by CR LF
};

// The first code that is not an index of a table of `unitCount` units, if any.
std::optional<int> FirstCodeOutside(const std::vector<int>& codes, std::size_t unitCount);

// The files an export of `codes` writes. Every code must be below the table's count and there
// must be at most kMaxUnits codes. The table is not changed.
ExportFiles BuildPg2Export(const Pg2UnitTable& table, const std::vector<int>& codes);
ExportFiles BuildPegExport(const PegUnitTable& table, const std::vector<int>& codes);

} // namespace varnel
