#include "convert/merge.h"

#include "base/fileio.h"
#include "base/paths.h"
#include "base/textlines.h"
#include "equip/efile.h"

#include <algorithm>

namespace varnel {

namespace {

template <class Unit> constexpr std::size_t kRecordSizeOf = 0;
template <> constexpr std::size_t kRecordSizeOf<Pg2Unit> = pg2::kRecordSize;
template <> constexpr std::size_t kRecordSizeOf<PegUnit> = peg::kRecordSize;

template <class Table> using UnitOf = typename decltype(Table::units)::value_type;

template <class Record> void fillRecord(Record& record, std::span<const std::uint8_t> bytes) {
    std::copy(bytes.begin(), bytes.end(), record.bytes.begin());
}

template <class Table>
std::size_t mergeUnits(Table& table, std::span<const std::uint8_t> eFile,
                       std::span<const std::uint8_t> names, const std::vector<int>& codes) {
    using Unit = UnitOf<Table>;
    constexpr std::size_t recordSize = kRecordSizeOf<Unit>;
    const std::vector<int> honoured = MergeableCodes(codes, SourceRecordCount(eFile, recordSize));

    ByteCursor cursor(eFile);
    LineReader nameLines(names);
    std::size_t nameIndex = 0; // index of the next line nameLines gives
    std::string_view line;
    std::size_t merged = 0;
    table.units.reserve(std::min(kMaxUnits, table.units.size() + honoured.size()));
    // At most every line of the source joins the store: one allocation, not one per unit.
    table.names.reserve(table.names.size() + names.size());
    for (const int code : honoured) {
        if (table.units.size() >= kMaxUnits)
            break;
        const auto c = static_cast<std::size_t>(code);
        if (!cursor.seek(kEFileHeaderSize + c * recordSize))
            break;
        const auto bytes = cursor.take(recordSize);
        if (!bytes)
            break;
        Unit& unit = table.units.emplace_back();
        fillRecord(unit.record, *bytes);
        unit.record.setCode(static_cast<std::uint16_t>(table.units.size() - 1));
        bool haveName = false;
        while (nameIndex <= c && nameLines.next(line)) {
            haveName = nameIndex == c;
            ++nameIndex;
        }
        if (haveName)
            table.setName(table.units.size() - 1, line);
        SetMaskRight(unit);
        ++merged;
    }
    return merged;
}

} // namespace

std::size_t SourceRecordCount(std::span<const std::uint8_t> eFile, std::size_t recordSize) {
    if (eFile.size() < kEFileHeaderSize || recordSize == 0)
        return 0;
    return (eFile.size() - kEFileHeaderSize) / recordSize;
}

std::vector<int> MergeableCodes(const std::vector<int>& codes, std::size_t sourceRecords) {
    std::vector<int> honoured;
    honoured.reserve(codes.size());
    int highest = -1; // the highest code listed so far, honoured or not
    for (const int code : codes) {
        const bool inOrder = code > highest;
        highest = std::max(highest, code);
        if (inOrder && code >= 0 && static_cast<std::size_t>(code) < sourceRecords)
            honoured.push_back(code);
    }
    return honoured;
}

std::size_t MergePg2Units(Pg2UnitTable& table, std::span<const std::uint8_t> eFile,
                          std::span<const std::uint8_t> names, const std::vector<int>& codes) {
    return mergeUnits(table, eFile, names, codes);
}

std::size_t MergePegUnits(PegUnitTable& table, std::span<const std::uint8_t> eFile,
                          std::span<const std::uint8_t> names, const std::vector<int>& codes) {
    return mergeUnits(table, eFile, names, codes);
}

} // namespace varnel
