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

#include "equip/unittable.h"
#include "tools/bytes.h"

#include <span>
#include <string>
#include <vector>

namespace varnel {

struct AppState;
struct AppSettings;

constexpr std::size_t kEFileHeaderSize = 2;

template <class Record> struct ParsedEFile {
    std::uint16_t count = 0;     // from the header; 0 for a file under 2 bytes
    std::vector<Record> records; // `count` records; those the file does not supply are zero
    std::size_t supplied = 0;    // how many records the file held in full
};

ParsedEFile<Pg2UnitRecord> ParsePg2EFile(std::span<const std::uint8_t> data);
ParsedEFile<PegUnitRecord> ParsePegEFile(std::span<const std::uint8_t> data);

// The E-File bytes of a table. The PG2 writer first rebuilds each record's country mask and
// special bytes from the unit's country and switches, as saving does.
Bytes WritePg2EFile(Pg2UnitTable& table);
Bytes WritePegEFile(const PegUnitTable& table);

// Names E-File bytes: every name followed by CR LF.
template <class Unit> Bytes WriteNamesFile(const std::vector<Unit>& units) {
    Bytes out;
    for (const auto& u : units) {
        out.insert(out.end(), u.name.begin(), u.name.end());
        out.push_back('\r');
        out.push_back('\n');
    }
    return out;
}

// The Names E-File path of an E-File: the path without extension plus the suffix.
std::string NamesPathFor(const AppSettings& settings, const std::string& eFilePath);

// Reads name lines into units first .. end; stops early at the end of the data.
void ReadPg2Names(Pg2UnitTable& table, std::span<const std::uint8_t> data, std::size_t first);
void ReadPegNames(PegUnitTable& table, std::span<const std::uint8_t> data, std::size_t first);

// Fills units first .. end of the table from parsed records. PG2: a code that differs from its
// position asks "Warning!\nUnit %d \nhas Code=%d bigger than %d\n Do you want to set Code=%d ?";
// Yes corrects it and sets PG2 data changed; then the switches and country are derived.
void ReadPg2Records(AppState& state, Pg2UnitTable& table, const ParsedEFile<Pg2UnitRecord>& parsed,
                    std::size_t first);
void ReadPegRecords(PegUnitTable& table, const ParsedEFile<PegUnitRecord>& parsed,
                    std::size_t first);

// Load an E-File, the game's T-File by its search and the Names E-File, with every question and
// message of the editor. Nothing changes when the E-File cannot be had.
void LoadPg2EFile(AppState& state, const std::string& path);
void LoadPegEFile(AppState& state, const std::string& path);

// Write the table to `path` ("File %s updated"; on failure "Error on creating [%s]", and the
// flag and current path stay). True on success.
bool SavePg2EFile(AppState& state, const std::string& path);
bool SavePegEFile(AppState& state, const std::string& path);
// Write the names beside the current E-File. True on success (or when there is no table).
bool SavePg2Names(AppState& state);
bool SavePegNames(AppState& state);

} // namespace varnel
