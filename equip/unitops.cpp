#include "equip/unitops.h"

#include "app/appstate.h"
#include "equip/efile.h"
#include "equip/openfile.h"

namespace varnel {

namespace {

constexpr const char* kNoDenomination = "\nyou'll not see Unit's denomination";

// Refuses growth past the 16-bit count of the file, which would lose units on the next save.
bool roomFor(AppState& state, std::size_t count, std::size_t extra) {
    if (count + extra <= kMaxUnits)
        return true;
    MessageBox(state.ui, "Cannot add %zu units: a file holds at most 65535 units", extra);
    return false;
}

void readNamesInto(Pg2UnitTable& table, std::span<const std::uint8_t> data, std::size_t first) {
    ReadPg2Names(table, data, first);
}

void readNamesInto(PegUnitTable& table, std::span<const std::uint8_t> data, std::size_t first) {
    ReadPegNames(table, data, first);
}

template <class Table>
bool cloneUnit(AppState& state, std::optional<Table>& table, std::size_t index, bool& dataChanged,
               bool& namesChanged) {
    if (!table || index >= table->count() || !roomFor(state, table->count(), 1))
        return false;
    auto copy = table->units[index];
    const auto code = static_cast<std::uint16_t>(table->count());
    copy.record.setCode(code);
    table->units.push_back(std::move(copy));
    MessageBox(state.ui, "Clone is Code: %d", int{code});
    dataChanged = true;
    namesChanged = true;
    state.notifyTitle();
    return true;
}

template <class Table>
bool deleteUnit(AppState& state, std::optional<Table>& table, std::size_t index, bool& dataChanged,
                bool& namesChanged) {
    if (!table || index >= table->count())
        return false;
    auto& units = table->units;
    // The units after the deleted one take its code and count on from it.
    const std::uint16_t code = units[index].record.code();
    units.erase(units.begin() + static_cast<std::ptrdiff_t>(index));
    for (std::size_t k = index; k < units.size(); ++k)
        units[k].record.setCode(static_cast<std::uint16_t>(code + (k - index)));
    dataChanged = true;
    namesChanged = true;
    state.notifyTitle();
    return true;
}

// The shared steps of paste; `readRecords` fills the new entries from the parsed file.
template <class Table, class Parse, class ReadRecords>
bool pasteUnits(AppState& state, Game game, std::optional<Table>& table, const std::string& path,
                Parse parse, ReadRecords readRecords, bool& dataChanged, bool& namesChanged) {
    if (!table)
        return false;
    auto file = ReadFileOrAsk(state, EFileKind(game), path, "");
    if (!file)
        return false;
    const auto parsed = parse(file->bytes);
    if (parsed.count == 0) {
        MessageBox(state.ui, "Error!\n\nThere are no items in\n\n%s", file->path.c_str());
        return false;
    }
    const std::size_t first = table->count();
    if (!roomFor(state, first, parsed.count))
        return false;
    table->units.resize(first + parsed.count);
    readRecords(*table, parsed, first);
    dataChanged = true;

    auto names = ReadFileOrAsk(state, NamesEFileKind(game),
                               NamesPathFor(state.settings, file->path), kNoDenomination);
    if (names) {
        readNamesInto(*table, names->bytes, first);
        namesChanged = true;
    }
    // The units were appended either way: the views must see the new storage.
    state.notifyTitle();
    state.notifyViews();
    return true;
}

} // namespace

bool ClonePg2Unit(AppState& state, std::size_t index) {
    return cloneUnit(state, state.pg2, index, state.flags.pg2Data, state.flags.pg2Names);
}

bool ClonePegUnit(AppState& state, std::size_t index) {
    return cloneUnit(state, state.peg, index, state.flags.pegData, state.flags.pegNames);
}

bool DeletePg2Unit(AppState& state, std::size_t index) {
    return deleteUnit(state, state.pg2, index, state.flags.pg2Data, state.flags.pg2Names);
}

bool DeletePegUnit(AppState& state, std::size_t index) {
    return deleteUnit(state, state.peg, index, state.flags.pegData, state.flags.pegNames);
}

bool PastePg2Units(AppState& state, const std::string& path) {
    return pasteUnits(
        state, Game::Pg2, state.pg2, path, ParsePg2EFile,
        [&state](Pg2UnitTable& table, const ParsedEFile<Pg2UnitRecord>& parsed, std::size_t first) {
            ReadPg2Records(state, table, parsed, first);
        },
        state.flags.pg2Data, state.flags.pg2Names);
}

bool PastePegUnits(AppState& state, const std::string& path) {
    return pasteUnits(state, Game::Peg, state.peg, path, ParsePegEFile, ReadPegRecords,
                      state.flags.pegData, state.flags.pegNames);
}

} // namespace varnel
