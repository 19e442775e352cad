#pragma once
// Merge by definition file: appends chosen units of another E-File of the same game, with their
// names, to the loaded table. The definition file names the source and lists the source
// positions ("codes") to take, in ascending order.

#include "convert/definitionfile.h"
#include "equip/unittable.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace varnel {

// Number of whole records of `recordSize` bytes in E-File bytes (after the 2-byte count; the
// count itself is not consulted).
std::size_t SourceRecordCount(std::span<const std::uint8_t> eFile, std::size_t recordSize);

// The codes of `codes` that can be honoured, in order: each above every code listed before it (a
// code listed after a higher or equal one is left out) and below `sourceRecords`.
std::vector<int> MergeableCodes(const std::vector<int>& codes, std::size_t sourceRecords);

// Append the source records of the honoured `codes` with their names (line c of `names`; empty
// when the names end first), each renumbered to its new index; PG2 units get their country and
// switches decoded as a load does. Returns the number appended. The caller keeps the table within
// kMaxUnits; codes that would pass it are not appended.
std::size_t MergePg2Units(Pg2UnitTable& table, std::span<const std::uint8_t> eFile,
                          std::span<const std::uint8_t> names, const std::vector<int>& codes);
std::size_t MergePegUnits(PegUnitTable& table, std::span<const std::uint8_t> eFile,
                          std::span<const std::uint8_t> names, const std::vector<int>& codes);

} // namespace varnel
