#include "equip/efile.h"

#include "app/appstate.h"
#include "equip/openfile.h"
#include "tools/fileio.h"
#include "tools/paths.h"
#include "tools/textlines.h"

#include <algorithm>
#include <tuple>

namespace varnel {

namespace {

constexpr const char* kNoDenomination = "\nyou'll not see Unit's denomination";
constexpr int kPg2DirSetting = 2;
constexpr int kPegDirSetting = 9;

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

template <class Record> ParsedEFile<Record> parseEFile(std::span<const std::uint8_t> data) {
    constexpr std::size_t size = std::tuple_size_v<decltype(Record::bytes)>;
    ParsedEFile<Record> parsed;
    parsed.count = eFileCount(data);
    parsed.records.reserve(parsed.count);
    visitRecords<size>(data, [&](std::size_t, std::span<const std::uint8_t> bytes) {
        Record& record = parsed.records.emplace_back();
        if (!bytes.empty()) {
            std::copy(bytes.begin(), bytes.end(), record.bytes.begin());
            ++parsed.supplied;
        }
    });
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

// The code question for the record at `position` of a table of `count` units. True when the
// user wants the code set to the position; that counts as a change of the data.
bool askCodeFix(AppState& state, std::uint16_t code, std::size_t position, std::size_t count) {
    const auto index = static_cast<std::uint16_t>(position);
    if (code == index ||
        !QuestionBox(state.ui,
                     "Warning!\nUnit %d \nhas Code=%d bigger than %d\n Do you want to set "
                     "Code=%d ?",
                     int{index}, int{code}, static_cast<int>(count), int{index}))
        return false;
    state.flags.pg2Data = true;
    return true;
}

// A record from the file's bytes; zero when the file lacks it.
template <std::size_t N>
void copyRecord(std::array<std::uint8_t, N>& record, std::span<const std::uint8_t> bytes) {
    if (bytes.size() == N)
        std::copy(bytes.begin(), bytes.end(), record.begin());
    else
        record.fill(0);
}

// Gives the game's table (created when absent) `count` entries for a load to overwrite, keeping
// its storage and the capacity of its names: a full file has 65,535 entries.
template <class Table>
auto reuseTable(std::optional<Table>& table, std::size_t count) -> decltype(table->units)& {
    if (!table)
        table.emplace();
    table->units.resize(count);
    return table->units;
}

// Stores the game's main folder from the first E-File loaded while it is unset.
void rememberGameFolder(AppState& state, Game game, const std::string& eFilePath) {
    std::string& dir = state.settings.dir(game);
    if (dir != kNoValue)
        return;
    dir = GetPathPart(eFilePath, PathPart::Folder);
    WriteSetting(state.store, game == Game::Pg2 ? kPg2DirSetting : kPegDirSetting, dir);
}

// The Names E-File of an E-File just opened, when it can be read without asking: its lines are
// then taken in the same pass as the records, so a load walks the table once.
std::optional<Bytes> namesReadAhead(const AppState& state, const std::string& eFilePath) {
    return ReadFileBytes(NamesPathFor(state.settings, eFilePath));
}

// Hands out the lines of a Names E-File read ahead, one per unit; an empty name once the lines
// run out or when there were none to read.
class NameFeed {
  public:
    explicit NameFeed(const std::optional<Bytes>& names)
        : reader_(names ? std::span<const std::uint8_t>(*names) : std::span<const std::uint8_t>()) {
    }
    void next(std::string& name) {
        if (!reader_.next(name))
            name.clear();
    }

  private:
    LineReader reader_;
};

// The names of the units: from the lines already read with the records when there were any,
// otherwise read now, asking for the file when it cannot be opened. False when the user
// cancelled: the units keep empty names.
template <class Table>
bool loadNames(AppState& state, Game game, Table& table, bool namesAlreadyRead) {
    std::string& namesPath = state.settings.namesEFile(game);
    namesPath = NamesPathFor(state.settings, state.settings.eFile(game));
    if (namesAlreadyRead)
        return true;
    auto file = ReadFileOrAsk(state, NamesEFileKind(game), namesPath, kNoDenomination);
    if (!file)
        return false;
    namesPath = file->path;
    // The load has emptied every name.
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
        // A record the file lacked is zero and has no code of its own to question.
        if (k < parsed.supplied && askCodeFix(state, unit.record.code(), first + k, n))
            unit.record.setCode(static_cast<std::uint16_t>(first + k));
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
    // Every question is asked while the old table still stands whole (a view may repaint behind
    // the question box); the answers go into the file's bytes.
    const std::size_t count = eFileCount(file->bytes);
    state.flags.pg2Data = false;
    visitRecords<pg2::kRecordSize>(
        file->bytes, [&](std::size_t i, std::span<const std::uint8_t> bytes) {
            if (!bytes.empty() && askCodeFix(state, readU16(bytes.data()), i, count))
                writeU16(file->bytes.data() + kEFileHeaderSize + i * pg2::kRecordSize,
                         static_cast<std::uint16_t>(i));
        });
    const auto names = namesReadAhead(state, file->path);
    NameFeed feed(names);
    // Only now is the old table given up.
    auto& units = reuseTable(state.pg2, count);
    visitRecords<pg2::kRecordSize>(file->bytes,
                                   [&](std::size_t i, std::span<const std::uint8_t> bytes) {
                                       Pg2Unit& unit = units[i];
                                       copyRecord(unit.record.bytes, bytes);
                                       UnpackPg2Specials(unit);
                                       feed.next(unit.name);
                                   });
    file->bytes = Bytes();

    rememberGameFolder(state, Game::Pg2, file->path);
    state.settings.pg2EFile = file->path;
    if (state.addRecentFile)
        state.addRecentFile(file->path);
    LoadPg2TFile(state, "");
    if (loadNames(state, Game::Pg2, *state.pg2, names.has_value()))
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
    const auto names = namesReadAhead(state, file->path);
    NameFeed feed(names);
    auto& units = reuseTable(state.peg, eFileCount(file->bytes));
    visitRecords<peg::kRecordSize>(file->bytes,
                                   [&](std::size_t i, std::span<const std::uint8_t> bytes) {
                                       PegUnit& unit = units[i];
                                       copyRecord(unit.record.bytes, bytes);
                                       feed.next(unit.name);
                                   });
    file->bytes = Bytes();
    state.flags.pegData = false;

    rememberGameFolder(state, Game::Peg, file->path);
    state.settings.pegEFile = file->path;
    if (state.addRecentFile)
        state.addRecentFile(file->path);
    LoadPegTFile(state, "");
    if (loadNames(state, Game::Peg, *state.peg, names.has_value()))
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
