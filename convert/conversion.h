#pragma once
// PG2 to PeG conversion: the loaded PG2 table becomes a new PeG table, field by field, named
// "PG2_Equip97.EQP" in the PeG folder; optionally the PeG countries take the names of their PG2
// counterparts and a converted PeG T-File is written.

#include "base/bytes.h"
#include "equip/tfile.h"
#include "equip/unittable.h"

#include <cstdint>
#include <span>
#include <string>

namespace varnel {

inline constexpr const char* kConvertedEFileName = "PG2_Equip97.EQP";
inline constexpr const char* kConvertedTFileBase = "PG2_GUI97";

// The PeG country of a PG2 record, from its stored country mask (bytes 30..33): the PG2 country
// that the mask decodes to, through the fixed PG2-to-PeG country table; 0 when no byte decides.
std::uint8_t MapPg2Country(const Pg2UnitRecord& record);
// The same for unit `index` of the table; 0 outside it.
std::uint8_t MapPg2Country(const Pg2UnitTable& table, std::size_t index);

// The PeG unit converted from one PG2 unit. Uses the unit's in-memory Special1 switches and its
// stored country mask. Its name ref is the PG2 unit's: it names the unit in a copy of the PG2
// table's name store.
PegUnit ConvertPg2Unit(const Pg2Unit& unit);
// Every unit of `table` converted, in order, with the names (one copy of the store).
PegUnitTable ConvertPg2Table(const Pg2UnitTable& table);

// Gives each PeG country 1..20 the name of its PG2 counterpart; PeG country 0 keeps its name.
void TakeOverPg2CountryNames(const NameTable& pg2, NameTable& peg);

// A copy of PeG T-File bytes whose lines 1 .. count-1 hold the current PeG country names; every
// later line is kept. Lines are written with CR LF; a last line without a line end keeps none.
Bytes ConvertTFileBytes(std::span<const std::uint8_t> source, const NameTable& peg);

} // namespace varnel
