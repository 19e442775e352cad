#include "convert/export.h"

#include "app/appstate.h"
#include "app/filekind.h"
#include "convert/filerestore.h"
#include "equip/efile.h"
#include "tools/fileio.h"
#include "tools/paths.h"
#include "tools/textlines.h"

#include <type_traits>

namespace varnel {

namespace {

constexpr const char* kDefinitionTitle = "Select TXT file with the Export info";

const char* targetTitle(Game game) {
    return game == Game::Pg2 ? "Comfirm PG2 Efile to create" : "Comfirm PeG Efile to create";
}

template <class Table, class Prepare>
ExportFiles buildExport(Table& table, const std::vector<int>& codes, Prepare prepare) {
    ExportFiles files;
    ByteWriter out(files.eFile);
    out.u16(static_cast<std::uint16_t>(codes.size()));
    for (const int code : codes) {
        auto& unit = table.units[static_cast<std::size_t>(code)];
        prepare(unit);
        out.append(unit.record.bytes);
        AppendLine(files.names, unit.name);
    }
    return files;
}

template <class Table>
std::optional<std::size_t> exportCommand(AppState& state, Table& table, Game game) {
    UiPort& ui = state.ui;
    AppSettings& s = state.settings;
    const auto chosen = ChooseDefinitionFile(state, game, kDefinitionTitle);
    if (!chosen)
        return std::nullopt;
    const std::string& definition = chosen->path;
    const DefinitionFile& parsed = chosen->parsed;
    // Refused before anything is asked or written: the count on disk must match the records.
    if (const auto outside = FirstCodeOutside(parsed.codes, table.count())) {
        MessageBox(ui,
                   "Code %d in %s\nis not a unit of the loaded table (%d units)\nNothing exported",
                   *outside, definition.c_str(), static_cast<int>(table.count()));
        return std::nullopt;
    }
    if (parsed.codes.size() > kMaxUnits) {
        MessageBox(ui, "%d units listed in %s\nAn E-File holds at most %d units\nNothing exported",
                   static_cast<int>(parsed.codes.size()), definition.c_str(),
                   static_cast<int>(kMaxUnits));
        return std::nullopt;
    }
    const auto listed = static_cast<int>(parsed.codes.size());

    std::string target = ResolveDefinitionTarget(definition, parsed.sourceName);
    target = ChooseFile(ui, s, EFileKind(game), PathPart::FullPath, targetTitle(game), kNoValue,
                        target, kNoValue, false);
    if (target == kNoValue)
        return std::nullopt;
    const std::string names = NamesPathFor(s, target);
    if (!QuestionBox(
            ui, "Exporting %d units as defined\nin %s\nto  Efile: %s\nand Tfile: %s\nContinue ?",
            listed, definition.c_str(), target.c_str(), names.c_str()))
        return std::nullopt;

    ExportFiles files;
    {
        BusyCursor busy(ui);
        if constexpr (std::is_same_v<Table, Pg2UnitTable>)
            files = BuildPg2Export(table, parsed.codes);
        else
            files = BuildPegExport(table, parsed.codes);
    }
    if (const auto failed = WriteFilePair(target, files.eFile, names, files.names)) {
        MessageBox(ui, "Error creating %s", failed->c_str());
        return std::nullopt;
    }
    MessageBox(ui, "Exported %d units\ndefined in  %s\nas :%s\nand:%s", listed, definition.c_str(),
               target.c_str(), names.c_str());
    return parsed.codes.size();
}

} // namespace

std::optional<int> FirstCodeOutside(const std::vector<int>& codes, std::size_t unitCount) {
    for (const int code : codes)
        if (code < 0 || static_cast<std::size_t>(code) >= unitCount)
            return code;
    return std::nullopt;
}

ExportFiles BuildPg2Export(Pg2UnitTable& table, const std::vector<int>& codes) {
    return buildExport(table, codes, [](Pg2Unit& unit) { PackPg2Specials(unit); });
}

ExportFiles BuildPegExport(const PegUnitTable& table, const std::vector<int>& codes) {
    return buildExport(table, codes, [](const PegUnit&) {});
}

std::optional<std::string> WriteFilePair(const std::string& eFilePath, const Bytes& eFile,
                                         const std::string& namesPath, const Bytes& names) {
    FileRestorer written;
    written.remember(eFilePath);
    if (!SaveFileBytes(eFilePath, eFile))
        return eFilePath;
    if (!SaveFileBytes(namesPath, names)) {
        written.restore();
        return namesPath;
    }
    return std::nullopt;
}

std::optional<std::size_t> ExportByDefinitionFile(AppState& state, Game game) {
    if (game == Game::Pg2)
        return state.pg2 ? exportCommand(state, *state.pg2, game) : std::nullopt;
    return state.peg ? exportCommand(state, *state.peg, game) : std::nullopt;
}

} // namespace varnel
