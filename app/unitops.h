#pragma once
// Clone, delete and paste of units, for either game: the questions and messages around the
// document's edit path, each one step of the game's history. Paste asks every question before it
// changes the table, and refuses a source E-File of the other game ("not a PG2 E-File: %s").

#include <cstddef>
#include <string>

namespace varnel {

class CVarnelDoc;

// Appends a copy of unit `index` with code N and shows "Clone is Code: %d". Refused with a
// message when the table would pass 65,535 units. False when nothing changed.
bool ClonePg2Unit(CVarnelDoc& state, std::size_t index);
bool ClonePegUnit(CVarnelDoc& state, std::size_t index);

// Removes unit `index`; the units after it move up and take codes from the deleted one's on.
bool DeletePg2Unit(CVarnelDoc& state, std::size_t index);
bool DeletePegUnit(CVarnelDoc& state, std::size_t index);

// Appends every unit of the E-File at `path` and its names.
bool PastePg2Units(CVarnelDoc& state, const std::string& path);
bool PastePegUnits(CVarnelDoc& state, const std::string& path);

} // namespace varnel
