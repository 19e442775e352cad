#pragma once
// The document's side of the icon archives: finding and reading a game's archive, and the icon of
// a unit of the loaded table.

#include "icons/iconarchive.h"
#include "icons/painter.h"

#include <string>

namespace varnel {

class CVarnelDoc;
struct AppSettings;
class UiPort;

// The archive "ReLoad Icons" looks for: "PANZER2.dat" (PG2) or "MODGEN.dat" (PeG) in the folder
// of the game's E-File, then its main folder, then its alternative folder; the first that exists,
// else the last candidate.
std::string FindIconArchivePath(const AppSettings& settings, Game game);

// Opens and indexes the game's archive at `path`. An empty path searches "PANZER2.dat" (PG2) or
// "MODGEN.dat" (PeG) in the folder of the game's E-File, then its main folder, then its
// alternative folder. A path that does not exist shows "%s\nnot found!" and asks with the file
// chooser; cancelling (or choosing nothing that exists) returns false and changes nothing.
// Otherwise the path becomes the "PG2 DAT" / "PeG DAT" setting (in memory) and the file is read;
// if that fails the archive is closed (selections are refused) but keeps its index, and false is
// returned.
bool LoadIconArchive(UiPort& ui, AppSettings& settings, IconArchive& archive,
                     const std::string& path);

// Selects the icon named by unit `unitIndex` of the archive's game (PG2 `Icon`, PeG `UnitIcon`);
// false when no table of the game is loaded or the index is out of range.
bool SelectIconOfUnit(const CVarnelDoc& doc, IconArchive& archive, int unitIndex);
// DrawFrame, then DrawPixels when SelectIconOfUnit succeeds.
void ShowIconOfUnit(Painter& painter, const CVarnelDoc& doc, IconArchive& archive, int unitIndex);

} // namespace varnel
