#pragma once
// Sample icon archives for the sample game folders: every icon drawn by code as a simple
// silhouette, nine views each.

#include "base/bytes.h"
#include "equip/game.h"

#include <string>
#include <vector>

namespace varnel {

enum class IconShape { Vehicle, Gun, Ship, Plane };

struct SampleIcon {
    std::string name; // the unit record's icon name, without extension
    IconShape shape;
};

// The silhouette a sample icon name suggests (PLANE, SHIP, GUN words and common type letters);
// names that suggest nothing take the shapes in turn by `position`.
IconShape GuessIconShape(const std::string& name, std::size_t position);

// The archive bytes of `game` with an icon of nine views for every sample icon (PG2 SHP entries;
// PeG S16 entries, every other icon run-length coded) and a few entries that are not icons.
// Names repeated without regard to case are written once.
Bytes MakeSampleIconArchive(Game game, const std::vector<SampleIcon>& icons);

// Writes PANZER2.DAT (PG2) or MODGEN.DAT (PeG) into `folderPath` (ending in the separator) with an
// icon for each of `iconNames`, shapes guessed from the names. False when the file could not be
// written.
bool WriteSampleIconArchive(const std::string& folderPath, Game game,
                            const std::vector<std::string>& iconNames);

} // namespace varnel
