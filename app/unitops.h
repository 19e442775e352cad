#pragma once
// Clone, delete and paste of units, for either game: the questions and messages around the
// document's edit path, each one step of the game's history. Paste asks every question before it
// changes the table, and refuses a source E-File of the other game ("not a PG2 E-File: %s").

#include "equip/game.h"

#include <cstddef>
#include <string>

namespace varnel {

class CVarnelDoc;

// Appends a copy of unit `index` of the game with code N and shows "Clone is Code: %d". Refused
// with a message when the table would pass 65,535 units. False when nothing changed. (Delete is
// the document's deleteUnit: it asks nothing.)
bool CloneUnit(CVarnelDoc& state, Game game, std::size_t index);

// Appends every unit of the game's E-File at `path` and its names.
bool PasteUnits(CVarnelDoc& state, Game game, const std::string& path);

} // namespace varnel
