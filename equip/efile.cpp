#include "equip/efile.h"

#include "app/appstate.h"
#include "equip/openfile.h"
#include "tools/fileio.h"
#include "tools/paths.h"
#include "tools/textlines.h"

#include <algorithm>

namespace varnel {

namespace {

constexpr const char* kNoDenomination = "\nyou'll not see Unit's denomination";
constexpr int kPg2DirSetting = 2;
constexpr int kPegDirSetting = 9;

template <class Record> ParsedEFile<Record> parseEFile(std::span<const std::uint8_t> data) {
    ParsedEFile<Record> parsed;
    ByteCursor cursor(data);
    const auto count = cursor.u16();
    if (!count)
        return parsed;
    parsed.count = *count;
    // The count is 16 bits, so this never exceeds 65,535 records whatever the file claims.
    parsed.records.resize(parsed.count);
    for (auto& record : parsed.records) {
        const auto bytes = cursor.take(record.bytes.size());
        if (!bytes)
            break;
        std::copy(bytes->begin(), bytes->end(), record.bytes.begin());
        ++parsed.supplied;
    }
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

template <class Unit>
void readNames(std::vector<Unit>& units, std::span<const std::uint8_t> data, std::size_t first) {
    LineReader reader(data);
    for (std::size_t i = first; i < units.size(); ++i)
        if (!reader.next(units[i].name))
            break;
}

// Stores the game's main folder from the first E-File loaded while it is unset.
void rememberGameFolder(AppState& state, Game game, const std::string& eFilePath) {
    std::string& dir = state.settings.dir(game);
    if (dir != kNoValue)
        return;
    dir = GetPathPart(eFilePath, PathPart::Folder);
    WriteSetting(state.store, game == Game::Pg2 ? kPg2DirSetting : kPegDirSetting, dir);
}

// Reads the Names E-File of the loaded E-File into every unit, asking for the file when it cannot
// be opened. False when the user cancelled: the units keep empty names.
template <class Table> bool loadNames(AppState& state, Game game, Table& table) {
    std::string& namesPath = state.settings.namesEFile(game);
    namesPath = NamesPathFor(state.settings, state.settings.eFile(game));
    auto file = ReadFileOrAsk(state, NamesEFileKind(game), namesPath, kNoDenomination);
    if (!file)
        return false;
    namesPath = file->path;
    for (auto& unit : table.units)
        unit.name.clear();
    readNames(table.units, file->bytes, 0);
    return true;
}

// A table past the 16-bit count cannot be written without losing units.
bool fitsInFile(AppState& state, std::size_t count) {
    if (count <= kMaxUnits)
        return true;
    MessageBox(state.ui, "Cannot save %zu units: a file holds at most 65535 units", count);
    return false;
}

bool saveBytes(AppState& state, const std::string& path, const Bytes& bytes) {
    if (!SaveFileBytes(path, bytes)) {
        ErrorBox(state.ui, "Error on creating [%s]", path.c_str());
        return false;
    }
    return true;
}

template <class Table>
bool saveNames(AppState& state, Game game, const std::optional<Table>& table, bool& changed) {
    if (!table)
        return true;
    const std::string path = NamesPathFor(state.settings, state.settings.eFile(game));
    if (!saveBytes(state, path, WriteNamesFile(table->units)))
        return false;
    state.settings.namesEFile(game) = path;
    changed = false;
    MessageBox(state.ui, "File %s updated", path.c_str());
    return true;
}

} // namespace

ParsedEFile<Pg2UnitRecord> ParsePg2EFile(std::span<const std::uint8_t> data) {
    return parseEFile<Pg2UnitRecord>(data);
}

ParsedEFile<PegUnitRecord> ParsePegEFile(std::span<const std::uint8_t> data) {
    return parseEFile<PegUnitRecord>(data);
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

std::string NamesPathFor(const AppSettings& settings, const std::string& eFilePath) {
    return GetPathPart(eFilePath, PathPart::PathWithoutExt) + settings.textSuffix;
}

void ReadPg2Names(Pg2UnitTable& table, std::span<const std::uint8_t> data, std::size_t first) {
    readNames(table.units, data, first);
}

void ReadPegNames(PegUnitTable& table, std::span<const std::uint8_t> data, std::size_t first) {
    readNames(table.units, data, first);
}

void ReadPg2Records(AppState& state, Pg2UnitTable& table, const ParsedEFile<Pg2UnitRecord>& parsed,
                    std::size_t first) {
    const std::size_t n = table.units.size();
    for (std::size_t k = 0; k < parsed.records.size() && first + k < n; ++k) {
        Pg2Unit& unit = table.units[first + k];
        unit.record = parsed.records[k];
        const auto index = static_cast<std::uint16_t>(first + k);
        // Records the file did not hold are zero: there is no code of theirs to question.
        if (k < parsed.supplied && unit.record.code() != index &&
            QuestionBox(state.ui,
                        "Warning!\nUnit %d \nhas Code=%d bigger than %d\n Do you want to set "
                        "Code=%d ?",
                        int{index}, int{unit.record.code()}, static_cast<int>(n), int{index})) {
            unit.record.setCode(index);
            state.flags.pg2Data = true;
        }
        UnpackPg2Specials(unit);
    }
}

void ReadPegRecords(PegUnitTable& table, const ParsedEFile<PegUnitRecord>& parsed,
                    std::size_t first) {
    const std::size_t n = table.units.size();
    for (std::size_t k = 0; k < parsed.records.size() && first + k < n; ++k)
        table.units[first + k].record = parsed.records[k];
}

void LoadPg2EFile(AppState& state, const std::string& path) {
    auto file = ReadFileOrAsk(state, FileKind::Pg2EFile, path, "");
    if (!file)
        return;
    const auto parsed = ParsePg2EFile(file->bytes);
    file->bytes = Bytes();
    // The old table stays until the new file has been read.
    Pg2UnitTable table;
    table.units.resize(parsed.count);
    state.flags.pg2Data = false;
    ReadPg2Records(state, table, parsed, 0);
    state.pg2 = std::move(table);

    rememberGameFolder(state, Game::Pg2, file->path);
    state.settings.pg2EFile = file->path;
    if (state.addRecentFile)
        state.addRecentFile(file->path);
    LoadPg2TFile(state, "");
    if (loadNames(state, Game::Pg2, *state.pg2))
        state.flags.pg2Names = false;
    // The table was replaced even when the names could not be had: the views must let go of it.
    state.notifyViews();
    state.notifyTitle();
    if (state.currentGame != Game::Pg2)
        MessageBox(state.ui, "To see the file just loaded, switch to PG2 View");
}

void LoadPegEFile(AppState& state, const std::string& path) {
    auto file = ReadFileOrAsk(state, FileKind::PegEFile, path, "");
    if (!file)
        return;
    PegUnitTable table;
    {
        const auto parsed = ParsePegEFile(file->bytes);
        table.units.resize(parsed.count);
        ReadPegRecords(table, parsed, 0);
    }
    state.peg = std::move(table);
    state.flags.pegData = false;

    rememberGameFolder(state, Game::Peg, file->path);
    state.settings.pegEFile = file->path;
    if (state.addRecentFile)
        state.addRecentFile(file->path);
    LoadPegTFile(state, "");
    if (loadNames(state, Game::Peg, *state.peg))
        state.flags.pegNames = false;
    state.notifyViews();
    state.notifyTitle();
}

bool SavePg2EFile(AppState& state, const std::string& path) {
    if (!state.pg2 || !fitsInFile(state, state.pg2->count()))
        return false;
    if (!saveBytes(state, path, pg2EFileBytes(*state.pg2)))
        return false;
    // Only a written file makes the rebuilt bytes the unit's own.
    for (auto& unit : state.pg2->units)
        PackPg2Specials(unit);
    state.flags.pg2Data = false;
    state.settings.pg2EFile = path;
    MessageBox(state.ui, "File %s updated", path.c_str());
    return true;
}

bool SavePegEFile(AppState& state, const std::string& path) {
    if (!state.peg || !fitsInFile(state, state.peg->count()))
        return false;
    if (!saveBytes(state, path, WritePegEFile(*state.peg)))
        return false;
    state.flags.pegData = false;
    state.settings.pegEFile = path;
    MessageBox(state.ui, "File %s updated", path.c_str());
    return true;
}

bool SavePg2Names(AppState& state) {
    return saveNames(state, Game::Pg2, state.pg2, state.flags.pg2Names);
}

bool SavePegNames(AppState& state) {
    return saveNames(state, Game::Peg, state.peg, state.flags.pegNames);
}

} // namespace varnel
