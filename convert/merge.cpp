#include "convert/merge.h"

#include "app/appstate.h"
#include "app/filekind.h"
#include "equip/efile.h"
#include "tools/fileio.h"
#include "tools/paths.h"
#include "tools/textlines.h"

#include <algorithm>

namespace varnel {

namespace {


struct MergeTexts {
    const char* definitionTitle;
    const char* sourceTitle;
    const char* namesTitle;
};

constexpr MergeTexts kPg2Texts = {"Select TXT file with the Info to Merge",
                                  "Comfirm PG2 E-File to merge from",
                                  "PG2, Names E-File to merge from"};
constexpr MergeTexts kPegTexts = {"Select Definition TXT file to Merge",
                                  "Comfirm PeG E-File to merge from",
                                  "PeG, Names E-File to merge from"};

template <class Unit> constexpr std::size_t kRecordSizeOf = 0;
template <> constexpr std::size_t kRecordSizeOf<Pg2Unit> = pg2::kRecordSize;
template <> constexpr std::size_t kRecordSizeOf<PegUnit> = peg::kRecordSize;

template <class Table> using UnitOf = typename decltype(Table::units)::value_type;

template <class Record> void fillRecord(Record& record, std::span<const std::uint8_t> bytes) {
    std::copy(bytes.begin(), bytes.end(), record.bytes.begin());
}

void finishUnit(Pg2Unit& unit) {
    UnpackPg2Specials(unit);
}
void finishUnit(PegUnit&) {}

template <class Table>
std::size_t mergeUnits(Table& table, std::span<const std::uint8_t> eFile,
                       std::span<const std::uint8_t> names, const std::vector<int>& codes) {
    using Unit = UnitOf<Table>;
    constexpr std::size_t recordSize = kRecordSizeOf<Unit>;
    const std::vector<int> honoured = MergeableCodes(codes, SourceRecordCount(eFile, recordSize));

    ByteCursor cursor(eFile);
    LineReader nameLines(names);
    std::size_t nameIndex = 0; // index of the next line nameLines gives
    std::string line;
    std::size_t merged = 0;
    table.units.reserve(std::min(kMaxUnits, table.units.size() + honoured.size()));
    for (const int code : honoured) {
        if (table.units.size() >= kMaxUnits)
            break;
        const auto c = static_cast<std::size_t>(code);
        if (!cursor.seek(kEFileHeaderSize + c * recordSize))
            break;
        const auto bytes = cursor.take(recordSize);
        if (!bytes)
            break;
        Unit unit;
        fillRecord(unit.record, *bytes);
        unit.record.setCode(static_cast<std::uint16_t>(table.units.size()));
        bool haveName = false;
        while (nameIndex <= c && nameLines.next(line)) {
            haveName = nameIndex == c;
            ++nameIndex;
        }
        if (haveName)
            unit.name = std::move(line);
        finishUnit(unit);
        table.units.push_back(std::move(unit));
        ++merged;
    }
    return merged;
}

template <class Table>
std::optional<std::size_t> mergeCommand(AppState& state, Table& table, Game game,
                                        const MergeTexts& texts) {
    UiPort& ui = state.ui;
    AppSettings& s = state.settings;
    const auto chosen = ChooseDefinitionFile(state, game, texts.definitionTitle);
    if (!chosen)
        return std::nullopt;
    const std::string& definition = chosen->path;
    const DefinitionFile& parsed = chosen->parsed;
    const auto listed = static_cast<int>(parsed.codes.size());

    std::string source = ResolveDefinitionTarget(definition, parsed.sourceName);
    source = ChooseFile(ui, s, EFileKind(game), PathPart::FullPath, texts.sourceTitle, kNoValue,
                        source, kNoValue, true);
    if (source == kNoValue)
        return std::nullopt;
    std::string names = NamesPathFor(s, source);
    if (!FileExists(names)) {
        names = ChooseFile(ui, s, NamesEFileKind(game), PathPart::FullPath, texts.namesTitle,
                           kNoValue, names, kNoValue, true);
        if (names == kNoValue)
            return std::nullopt;
    }
    if (!QuestionBox(ui, "Merging %d units as defined\nin %s\nfrom: %s\nand : %s\nContinue ?",
                     listed, definition.c_str(), source.c_str(), names.c_str()))
        return std::nullopt;

    const auto sourceBytes = ReadFileBytes(source);
    if (!sourceBytes) {
        MessageBox(ui, "file [%s]\nnot found", source.c_str());
        return std::nullopt;
    }
    const auto nameBytes = ReadFileBytes(names);
    if (!nameBytes) {
        MessageBox(ui, "file [%s]\nnot found", names.c_str());
        return std::nullopt;
    }

    const std::size_t honoured =
        MergeableCodes(parsed.codes, SourceRecordCount(*sourceBytes, kRecordSizeOf<UnitOf<Table>>))
            .size();
    if (table.count() + honoured > kMaxUnits) {
        MessageBox(ui, "Merging %d units would give %d units, more than %d\nNothing merged",
                   static_cast<int>(honoured), static_cast<int>(table.count() + honoured),
                   static_cast<int>(kMaxUnits));
        return std::nullopt;
    }

    std::size_t merged = 0;
    {
        BusyCursor busy(ui);
        merged = mergeUnits(table, *sourceBytes, *nameBytes, parsed.codes);
    }
    if (merged > 0) {
        const bool pg2 = game == Game::Pg2;
        (pg2 ? state.flags.pg2Data : state.flags.pegData) = true;
        (pg2 ? state.flags.pg2Names : state.flags.pegNames) = true;
    }
    state.notifyViews();
    state.notifyTitle();
    MessageBox(ui, "Merged %d units\ndefined in  %s\nusing :%s\nand   :%s",
               static_cast<int>(merged), definition.c_str(), source.c_str(), names.c_str());
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

std::optional<std::size_t> MergeByDefinitionFile(AppState& state, Game game) {
    if (game == Game::Pg2)
        return state.pg2 ? mergeCommand(state, *state.pg2, game, kPg2Texts) : std::nullopt;
    return state.peg ? mergeCommand(state, *state.peg, game, kPegTexts) : std::nullopt;
}

} // namespace varnel
