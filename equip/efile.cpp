#include "equip/efile.h"

#include "tools/fileio.h"
#include "tools/paths.h"
#include "tools/textlines.h"

#include <algorithm>
#include <tuple>

namespace varnel {

namespace {

// The header's count, 0 for data under two bytes.
std::uint16_t eFileCount(std::span<const std::uint8_t> data) {
    return ByteCursor(data).u16().value_or(0);
}

// Calls `sink(index, bytes)` for each record the header counts, in order; `bytes` is empty for the
// records the data does not hold in full. The count is 16 bits, so a damaged header can ask for
// no more than 65,535 records.
template <std::size_t RecordSize, class Sink>
void visitRecords(std::span<const std::uint8_t> data, Sink&& sink) {
    ByteCursor cursor(data);
    const std::size_t count = cursor.u16().value_or(0);
    for (std::size_t i = 0; i < count; ++i) {
        const auto bytes = cursor.take(RecordSize);
        sink(i, bytes ? *bytes : std::span<const std::uint8_t>());
    }
}

void finishUnit(Pg2Unit& unit) {
    UnpackPg2Specials(unit);
}
void finishUnit(PegUnit&) {}

template <class Unit> ParsedEFile<Unit> parseEFile(std::span<const std::uint8_t> data) {
    constexpr std::size_t size = std::tuple_size_v<decltype(Unit::record.bytes)>;
    ParsedEFile<Unit> parsed;
    parsed.count = eFileCount(data);
    // Built one after another rather than zeroed as a whole first: one pass over the memory.
    parsed.units.reserve(parsed.count);
    visitRecords<size>(data, [&](std::size_t, std::span<const std::uint8_t> bytes) {
        Unit& unit = parsed.units.emplace_back();
        if (!bytes.empty()) {
            std::copy(bytes.begin(), bytes.end(), unit.record.bytes.begin());
            finishUnit(unit);
            ++parsed.supplied;
        }
    });
    const std::size_t used = kEFileHeaderSize + parsed.supplied * size;
    parsed.trailing = parsed.supplied == parsed.count && data.size() > used ? data.size() - used : 0;
    return parsed;
}

Bytes eFileHeader(std::size_t count, std::size_t recordSize) {
    Bytes out;
    out.reserve(kEFileHeaderSize + count * recordSize);
    ByteWriter(out).u16(static_cast<std::uint16_t>(count));
    return out;
}

// The record of a PG2 unit as it is saved: mask and special bytes rebuilt from the unit's
// country and switches. The unit itself is left alone.
Pg2UnitRecord packedRecord(const Pg2Unit& unit) {
    Pg2Unit copy;
    copy.record = unit.record;
    copy.country = unit.country;
    copy.special1 = unit.special1;
    copy.special2 = unit.special2;
    PackPg2Specials(copy);
    return copy.record;
}

Bytes pg2EFileBytes(const Pg2UnitTable& table) {
    Bytes out = eFileHeader(table.units.size(), pg2::kRecordSize);
    ByteWriter writer(out);
    for (const auto& unit : table.units)
        writer.append(packedRecord(unit).bytes);
    return out;
}

template <class Table>
void readNames(Table& table, std::span<const std::uint8_t> data, std::size_t first) {
    LineReader reader(data);
    std::string_view line;
    for (std::size_t i = first; i < table.count(); ++i) {
        if (!reader.next(line))
            break;
        table.setName(i, line);
    }
}

template <class Table> void adoptNames(Table& table, Bytes bytes) {
    const std::uintptr_t base = reinterpret_cast<std::uintptr_t>(bytes.data());
    std::size_t used = 0;
    {
        LineReader reader(bytes);
        std::string_view line;
        for (auto& unit : table.units) {
            if (!reader.next(line)) {
                unit.name = {};
                continue;
            }
            unit.name = {reinterpret_cast<std::uintptr_t>(line.data()) - base, line.size()};
            used = unit.name.offset + unit.name.length;
        }
    }
    table.names = NameStore(std::move(bytes));
    // Lines past the last unit are no one's name.
    table.names.truncate(used);
}

} // namespace

ParsedEFile<Pg2Unit> ParsePg2EFile(std::span<const std::uint8_t> data) {
    return parseEFile<Pg2Unit>(data);
}

ParsedEFile<PegUnit> ParsePegEFile(std::span<const std::uint8_t> data) {
    return parseEFile<PegUnit>(data);
}

Bytes WritePg2EFile(Pg2UnitTable& table) {
    for (auto& unit : table.units)
        PackPg2Specials(unit);
    return pg2EFileBytes(table);
}

Bytes WritePegEFile(const PegUnitTable& table) {
    Bytes out = eFileHeader(table.units.size(), peg::kRecordSize);
    ByteWriter writer(out);
    for (const auto& unit : table.units)
        writer.append(unit.record.bytes);
    return out;
}

std::string NamesPathFor(const std::string& suffix, const std::string& eFilePath) {
    return GetPathPart(eFilePath, PathPart::PathWithoutExt) + suffix;
}

void ReadPg2Names(Pg2UnitTable& table, std::span<const std::uint8_t> data, std::size_t first) {
    readNames(table, data, first);
}

void ReadPegNames(PegUnitTable& table, std::span<const std::uint8_t> data, std::size_t first) {
    readNames(table, data, first);
}

void AdoptPg2Names(Pg2UnitTable& table, Bytes names) {
    adoptNames(table, std::move(names));
}

void AdoptPegNames(PegUnitTable& table, Bytes names) {
    adoptNames(table, std::move(names));
}

bool SizeFitsGame(Game game, std::uintmax_t size) {
    return size >= kEFileHeaderSize && (size - kEFileHeaderSize) % RecordSize(game) == 0;
}

Bytes Pg2EFileBytes(const Pg2UnitTable& table) {
    return pg2EFileBytes(table);
}

} // namespace varnel
