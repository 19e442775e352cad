#pragma once
// The spreadsheet commands of the File menu and of varnel-cli: a game's table written to a CSV
// file, and a CSV file read for an import. The checking and the import step itself live in
// convert/csvtable.h and the document's edit path.

#include "convert/csvtable.h"
#include "equip/game.h"

#include <optional>
#include <string>

namespace varnel {

class CVarnelDoc;

// The CSV file proposed for an E-File: its base name + ".csv" beside it.
std::string CsvPathFor(const std::string& eFilePath);

// The CSV bytes of the game's table; empty when the game has no table.
std::string TableCsv(const CVarnelDoc& doc, Game game);

// What `path` would replace of the files a CSV export reads: "E-File" when it is the E-File
// (`eFile`), "Names E-File" when it is the Names E-File beside it (by `suffix`), else empty.
// Files are compared by identity: another spelling, letter case or link of the same file counts.
std::string CsvSourceClash(const std::string& path, const std::string& eFile,
                           const std::string& suffix);

// Writes the game's table to `path` through a temporary file beside it. Refuses a path that is
// the game's E-File or Names E-File ("%s is the E-File the units are read from\nNothing was
// written"). On failure shows "Error on creating [%s]" and returns false; the old file, if any,
// stays.
bool WriteTableCsv(CVarnelDoc& doc, Game game, const std::string& path);

// "Export to CSV...": asks for the file in a save dialog (which asks before replacing one),
// proposing CsvPathFor the game's E-File, then writes it and says "File %s updated". Nothing
// without a table ("There is nothing to export, load a file first"). The path written, or nothing.
std::optional<std::string> ExportCsvCommand(CVarnelDoc& doc);

// Reads and parses a CSV file; on failure nothing and `error` says why (the file unreadable,
// or the parser's "line N: ..." message).
std::optional<CsvFile> ReadCsvFile(const std::string& path, std::string& error);

// What saving after an import does to the Names E-File at `namesPath` besides the names the
// import changes, for a table of `units` units: a save writes exactly one CR LF line per unit, so
// lines past the last unit are dropped, units without a line get an empty one, and LF line ends
// become CR LF. One sentence naming each of these that applies; empty when none does or the file
// cannot be read.
std::string NamesSaveNote(const std::string& namesPath, std::size_t units);

// "Import from CSV...", the part before the preview: asks for the file in an open dialog and
// reads it; a file that cannot be read or parsed is shown in a message box naming the file and
// the line. Nothing when the game has no table, the user cancelled or the file was refused.
struct CsvImportSource {
    std::string path;
    CsvFile file;
};
std::optional<CsvImportSource> ChooseCsvImport(CVarnelDoc& doc);

} // namespace varnel
