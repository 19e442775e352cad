#include "equip/efile.h"

#include "base/fileio.h"
#include "base/paths.h"
#include "base/textlines.h"

#include <algorithm>
#include <tuple>
#include <type_traits>

namespace varnel {

namespace {

Bytes eFileHeader(std::size_t count, std::size_t recordSize) {
    Bytes out;
    out.reserve(kEFileHeaderSize + count * recordSize);
    ByteWriter(out).u16(static_cast<std::uint16_t>(count));
    return out;
}

template <class Table> Bytes eFileBytes(const Table& table) {
    Bytes out = eFileHeader(table.units.size(), sizeof(table.units[0].record.bytes));
    ByteWriter writer(out);
    for (const auto& unit : table.units)
        writer.append(unit.record.bytes);
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

template <class Unit> void EFileParser<Unit>::takeRecord(const std::uint8_t* bytes) {
    // Built one after another rather than zeroed as a whole first: one pass over the memory.
    const std::size_t position = parsed_.units.size();
    Unit& unit = parsed_.units.emplace_back();
    std::copy(bytes, bytes + kRecordSize, unit.record.bytes.begin());
    if (unit.record.code() != position)
        ++parsed_.codeMismatches;
    if constexpr (std::is_same_v<Unit, Pg2Unit>) {
        if (!Pg2MaskIsSingle(unit.record)) {
            ++parsed_.oddMasks;
            Pg2OddMask odd{position, {}};
            std::copy_n(bytes + pg2::CountryMask, odd.bytes.size(), odd.bytes.begin());
            parsed_.oddMaskBytes.push_back(odd);
            SetPg2MaskRight(unit.record);
        }
    }
}

template <class Unit> void EFileParser<Unit>::feed(std::span<const std::uint8_t> data) {
    fed_ += data.size();
    while (headerHeld_ < kEFileHeaderSize && !data.empty()) {
        header_[headerHeld_++] = data.front();
        data = data.subspan(1);
        if (headerHeld_ == kEFileHeaderSize) {
            // The count is 16 bits: a damaged header can ask for no more than 65,535 records.
            parsed_.count = readU16(header_);
            parsed_.units.reserve(parsed_.count);
        }
    }
    std::size_t wanted = parsed_.count - parsed_.units.size();
    if (partialHeld_ > 0 && wanted > 0) {
        const std::size_t n = std::min(kRecordSize - partialHeld_, data.size());
        std::copy_n(data.begin(), n, partial_ + partialHeld_);
        partialHeld_ += n;
        data = data.subspan(n);
        if (partialHeld_ < kRecordSize)
            return;
        takeRecord(partial_);
        partialHeld_ = 0;
        --wanted;
    }
    const std::size_t whole = std::min(wanted, data.size() / kRecordSize);
    for (std::size_t k = 0; k < whole; ++k)
        takeRecord(data.data() + k * kRecordSize);
    data = data.subspan(whole * kRecordSize);
    wanted -= whole;
    if (wanted > 0) {
        std::copy(data.begin(), data.end(), partial_);
        partialHeld_ = data.size();
    } else {
        parsed_.trailing += data.size();
    }
}

template <class Unit> ParsedEFile<Unit> EFileParser<Unit>::finish() {
    ParsedEFile<Unit> parsed = std::move(parsed_);
    parsed.supplied = parsed.units.size();
    // The records the file does not hold in full are zero, a cut one included, but for the mask
    // of country 0 that every PG2 unit carries.
    parsed.units.resize(parsed.count);
    if constexpr (std::is_same_v<Unit, Pg2Unit>)
        for (std::size_t i = parsed.supplied; i < parsed.units.size(); ++i)
            SetPg2MaskRight(parsed.units[i].record);
    *this = EFileParser();
    return parsed;
}

template class EFileParser<Pg2Unit>;
template class EFileParser<PegUnit>;

ParsedEFile<Pg2Unit> ParsePg2EFile(std::span<const std::uint8_t> data) {
    Pg2EFileParser parser;
    parser.feed(data);
    return parser.finish();
}

ParsedEFile<PegUnit> ParsePegEFile(std::span<const std::uint8_t> data) {
    PegEFileParser parser;
    parser.feed(data);
    return parser.finish();
}

Bytes WritePg2EFile(const Pg2UnitTable& table) {
    return eFileBytes(table);
}

Bytes WritePegEFile(const PegUnitTable& table) {
    return eFileBytes(table);
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

template <class Table, class Unit> Table makeTable(ParsedEFile<Unit> parsed, Bytes names) {
    Table table;
    table.units = std::move(parsed.units);
    adoptNames(table, std::move(names));
    return table;
}

Pg2UnitTable MakeTable(ParsedEFile<Pg2Unit> parsed, Bytes names) {
    return makeTable<Pg2UnitTable>(std::move(parsed), std::move(names));
}

PegUnitTable MakeTable(ParsedEFile<PegUnit> parsed, Bytes names) {
    return makeTable<PegUnitTable>(std::move(parsed), std::move(names));
}

bool SizeFitsGame(Game game, std::uintmax_t size) {
    return size >= kEFileHeaderSize && (size - kEFileHeaderSize) % RecordSize(game) == 0;
}

} // namespace varnel
