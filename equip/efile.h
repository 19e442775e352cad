#pragma once
// E-Files (the binary unit catalogues) and Names E-Files of both games.
//
// E-File layout, both games:
// | offset | width          | meaning                     |
// |--------|----------------|-----------------------------|
// | 0      | u16            | number of units N (0..65535) |
// | 2      | N x record     | 73-byte PG2 or 74-byte PeG records |
// Bytes after the last record are ignored.
//
// Names E-File: one name per line in record order, CR LF after every line (LF accepted when
// reading); its path is the E-File's without extension plus the "Suffix" setting.

#include "base/bytes.h"
#include "equip/game.h"
#include "equip/unittable.h"

#include <span>
#include <string>
#include <vector>

namespace varnel {

class CVarnelDoc;
struct AppSettings;

constexpr std::size_t kEFileHeaderSize = 2;

// What the one E-File reader of each game found: the units the header counts (their records, a
// PG2 mask that names no single country set right; no names), how many of them the bytes held in
// full, and how many bytes follow the last counted record.
template <class Unit> struct ParsedEFile {
    std::uint16_t count = 0;  // from the header; 0 for a file under 2 bytes
    std::vector<Unit> units;  // `count` units; those the file does not supply are zero
    std::size_t supplied = 0; // how many records the file held in full
    std::size_t trailing = 0; // bytes after the last counted record (ignored)
    // Counted while each record is at hand, so a load need not walk the table again:
    std::size_t codeMismatches = 0; // records whose code differs from their position in the file
    std::size_t oddMasks = 0;       // PG2 records whose country mask names no single country
    // Those records' masks as the file held them; the units' masks are set right as they are read.
    std::vector<Pg2OddMask> oddMaskBytes;

    bool headerFitsSize() const { return supplied == count && trailing == 0; }
};

// The E-File reader of each game: fed the file's bytes in pieces of any size, in order, it builds
// the units as the bytes come, while they are still in the processor's cache. Never fails: a
// short file gives zero records for what it lacks.
template <class Unit> class EFileParser {
  public:
    static constexpr std::size_t kRecordSize = sizeof(Unit::record.bytes);

    void feed(std::span<const std::uint8_t> data);
    // The result; the parser starts over afterwards.
    ParsedEFile<Unit> finish();
    // How many bytes were fed.
    std::uintmax_t size() const { return fed_; }

  private:
    void takeRecord(const std::uint8_t* bytes);

    ParsedEFile<Unit> parsed_;
    std::uint8_t header_[kEFileHeaderSize] = {};
    std::size_t headerHeld_ = 0;
    std::uint8_t partial_[kRecordSize] = {}; // a record split between two pieces
    std::size_t partialHeld_ = 0;
    std::uintmax_t fed_ = 0;
};

using Pg2EFileParser = EFileParser<Pg2Unit>;
using PegEFileParser = EFileParser<PegUnit>;
extern template class EFileParser<Pg2Unit>;
extern template class EFileParser<PegUnit>;

// The same readers over bytes held whole, used by paste and merge.
ParsedEFile<Pg2Unit> ParsePg2EFile(std::span<const std::uint8_t> data);
ParsedEFile<PegUnit> ParsePegEFile(std::span<const std::uint8_t> data);

// The E-File bytes of a table: the header and every record as the table holds it.
Bytes WritePg2EFile(const Pg2UnitTable& table);
Bytes WritePegEFile(const PegUnitTable& table);

// Names E-File bytes: every name followed by CR LF.
template <class Unit> Bytes WriteNamesFile(const UnitTable<Unit>& table) {
    std::size_t size = 0;
    for (const auto& u : table.units)
        size += u.name.length + 2;
    Bytes out;
    out.reserve(size);
    for (std::size_t i = 0; i < table.count(); ++i) {
        const std::string_view name = table.name(i);
        out.insert(out.end(), name.begin(), name.end());
        out.push_back('\r');
        out.push_back('\n');
    }
    return out;
}

// The Names E-File path of an E-File: the path without extension plus the suffix (".txt").
std::string NamesPathFor(const std::string& suffix, const std::string& eFilePath);

// Names units first .. end from the lines of a Names E-File; stops early at the end of the data.
void ReadPg2Names(Pg2UnitTable& table, std::span<const std::uint8_t> data, std::size_t first);
void ReadPegNames(PegUnitTable& table, std::span<const std::uint8_t> data, std::size_t first);
// Makes the bytes of a Names E-File the table's name store and names every unit from its lines,
// in order; units past the last line get an empty name. Copies no name.
void AdoptPg2Names(Pg2UnitTable& table, Bytes names);
void AdoptPegNames(PegUnitTable& table, Bytes names);

// A table from a parsed E-File and the bytes of its Names E-File, whose lines name the units in
// order (a unit past the last line has none; no bytes, no names): the one way from files to a
// table, for load, paste, compare and the journal's restore.
Pg2UnitTable MakeTable(ParsedEFile<Pg2Unit> parsed, Bytes names);
PegUnitTable MakeTable(ParsedEFile<PegUnit> parsed, Bytes names);

// True when `size` bytes are a whole E-File of `game`: the header and whole records.
bool SizeFitsGame(Game game, std::uintmax_t size);

} // namespace varnel
