#pragma once
// The sample game folders that scripts/run and the tests use: DIR/pg2/ and DIR/peg/, each with
// EQUIP97.EQP, EQUIP97.txt and GUI97.txt holding invented units that together use every class,
// country, month, movement method, transport kind and flag bit, and the edge values 0 and 255.

#include "app/appsettings.h"
#include "equip/unittable.h"

#include <string>
#include <vector>

namespace varnel {

Pg2UnitTable MakeSamplePg2Table();
PegUnitTable MakeSamplePegTable();
// The T-File text of each game: the country lines, then some of the game's other texts.
std::string SampleTFile(Game game);

// The icon names the sample units use (PeG: unit and movement icons), each once, sorted.
std::vector<std::string> SampleIconNames(Game game);
// The sound file numbers the sample units use: 1000 + move, 2000 + attack, 3000 + death.
std::vector<int> SampleSoundNumbers(Game game);

// Writes both sample game folders under `dir` (created as needed). False with `error` set when
// a file could not be written.
bool WriteSampleGameFolders(const std::string& dir, std::string& error);

} // namespace varnel
