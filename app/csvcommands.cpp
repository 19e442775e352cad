#include "app/csvcommands.h"

#include "app/efileio.h"
#include "app/varneldoc.h"
#include "base/fileio.h"
#include "base/format.h"
#include "base/paths.h"
#include "equip/efile.h"

namespace varnel {

namespace {
constexpr const char* kCsvFilter = "CSV files (*.csv)|*.csv|";

// Asks for a CSV file of the game's units (`open`: to read, else to write), proposing the
// E-File's base name + ".csv" beside it.
std::optional<std::string> askCsvPath(CVarnelDoc& doc, Game game, bool open,
                                      const std::string& title) {
    const std::string proposed = CsvPathFor(doc.settings().eFile(game));
    FileDialogRequest request;
    request.open = open;
    request.title = title;
    request.filter = kCsvFilter;
    request.defaultExtension = ".csv";
    request.initialName = GetPathPart(proposed, NameExtension);
    request.initialFolder = GetPathPart(proposed, Folder);
    return doc.ui.fileDialog(request);
}
constexpr const char* kNothingToExport = "There is nothing to export, load a file first";
constexpr const char* kNothingToImport = "There is nothing to import into, load a file first";
} // namespace

std::string CsvPathFor(const std::string& eFilePath) {
    return GetPathPart(eFilePath, PathWithoutExt) + ".csv";
}

std::string TableCsv(const CVarnelDoc& doc, Game game) {
    if (!doc.hasTable(game))
        return {};
    return doc.visitTable(game, [](const auto& table) { return WriteCsv(table); });
}

std::string CsvSourceClash(const std::string& path, const std::string& eFile,
                           const std::string& suffix) {
    if (eFile.empty())
        return {};
    if (SameFile(path, eFile))
        return "E-File";
    if (SameFile(path, NamesPathFor(suffix, eFile)))
        return "Names E-File";
    return {};
}

bool WriteTableCsv(CVarnelDoc& doc, Game game, const std::string& path) {
    const std::string clash =
        CsvSourceClash(path, doc.settings().eFile(game), doc.settings().textSuffix);
    if (!clash.empty()) {
        doc.ui.error(Format("%s is the %s the units are read from\nNothing was written",
                            path.c_str(), clash.c_str()));
        return false;
    }
    const std::string csv = TableCsv(doc, game);
    if (!SaveFileBytes(path, Bytes(csv.begin(), csv.end()))) {
        doc.ui.error(Format("Error on creating [%s]", path.c_str()));
        return false;
    }
    return true;
}

std::optional<std::string> ExportCsvCommand(CVarnelDoc& doc) {
    const Game game = doc.currentGame();
    if (!doc.hasTable(game)) {
        doc.ui.information(kNothingToExport);
        return std::nullopt;
    }
    const auto path =
        askCsvPath(doc, game, false, Format("Export %s units to CSV", GameName(game)));
    if (!path)
        return std::nullopt;
    if (!WriteTableCsv(doc, game, *path))
        return std::nullopt;
    doc.ui.information(Format("File %s updated", path->c_str()));
    return path;
}

std::string NamesSaveNote(const std::string& namesPath, std::size_t units) {
    const auto bytes = ReadFileBytes(namesPath);
    if (!bytes)
        return {};
    std::size_t lines = 0;
    std::size_t lfOnly = 0;
    for (std::size_t i = 0; i < bytes->size(); ++i)
        if ((*bytes)[i] == '\n') {
            ++lines;
            if (i == 0 || (*bytes)[i - 1] != '\r')
                ++lfOnly;
        }
    if (!bytes->empty() && bytes->back() != '\n')
        ++lines; // a last line without its line end
    std::vector<std::string> does;
    if (lines > units)
        does.push_back(Format("its %zu lines past the last unit are dropped", lines - units));
    if (lines < units)
        does.push_back(Format("%zu units without a line get an empty one", units - lines));
    if (lfOnly != 0)
        does.push_back(Format("its %zu LF line ends become CR LF", lfOnly));
    if (does.empty())
        return {};
    std::string note = "Saving rewrites the Names E-File " + namesPath + ": ";
    for (std::size_t k = 0; k < does.size(); ++k)
        note += (k == 0 ? "" : k + 1 == does.size() ? " and " : ", ") + does[k];
    return note + ".";
}

std::optional<CsvFile> ReadCsvFile(const std::string& path, std::string& error) {
    const auto bytes = ReadFileBytes(path);
    if (!bytes) {
        error = "cannot read " + path + ": " + ReadFailure(path);
        return std::nullopt;
    }
    CsvReadResult result = ReadCsv(*bytes);
    if (!result.file) {
        error = path + ", " + result.error;
        return std::nullopt;
    }
    return std::move(result.file);
}

std::optional<CsvImportSource> ChooseCsvImport(CVarnelDoc& doc) {
    const Game game = doc.currentGame();
    if (!doc.hasTable(game)) {
        doc.ui.information(kNothingToImport);
        return std::nullopt;
    }
    const auto path =
        askCsvPath(doc, game, true, Format("Import %s units from CSV", GameName(game)));
    if (!path)
        return std::nullopt;
    std::string error;
    auto file = ReadCsvFile(*path, error);
    if (!file) {
        doc.ui.information("Nothing was imported:\n" + error);
        return std::nullopt;
    }
    return CsvImportSource{*path, std::move(*file)};
}

} // namespace varnel
