#pragma once
// Clone, delete and paste of units, for either game. Each sets the game's data and names changed
// flags and refreshes the title; paste refreshes the views too.

#include <cstddef>
#include <string>

namespace varnel {

struct AppState;

// Appends a copy of unit `index` with code N and shows "Clone is Code: %d". Refused with a
// message when the table would pass 65,535 units. False when nothing changed.
bool ClonePg2Unit(AppState& state, std::size_t index);
bool ClonePegUnit(AppState& state, std::size_t index);

// Removes unit `index`; the units after it move up and take codes from the deleted one's on.
bool DeletePg2Unit(AppState& state, std::size_t index);
bool DeletePegUnit(AppState& state, std::size_t index);

// Appends every unit of the E-File at `path` and its names.
bool PastePg2Units(AppState& state, const std::string& path);
bool PastePegUnits(AppState& state, const std::string& path);

} // namespace varnel
