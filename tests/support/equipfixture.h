#pragma once
// Shared set-up of the equipment tests: generated E-Files and Names E-Files of both games, and a
// state whose settings point into a temporary game folder.

#include "app/bulkcommands.h"
#include "app/efileio.h"
#include "app/filekind.h"
#include "app/reportcommands.h"
#include "app/unitops.h"
#include "app/varneldoc.h"
#include "equip/efile.h"
#include "tests/support/testsupport.h"

#include <memory>
#include <string>

namespace varnel::test {

// A consistent PG2 E-File: every code equals its index, every country mask holds one of the 27
// positions, and the other bytes (the special bits included) vary.
Bytes MakePg2EFile(std::size_t units);
// A PeG E-File whose bytes vary; codes equal their index.
Bytes MakePegEFile(std::size_t units);
// A Names E-File of `units` lines, each ended by CR LF, with blanks and accented bytes.
std::string MakeNames(std::size_t units);
// The country names of a T-File: "Country 1" .. "Country lines".
std::string MakeTFile(int lines);

class EquipEnv {
  public:
    EquipEnv();
    std::unique_ptr<ScriptedUi> uiPtr;
    ScriptedUi& ui;
    MemorySettingsBackend store;
    CVarnelDoc state;
    TempDir dir;

    // Writes an E-File and its Names E-File into the temporary folder; returns the E-File path.
    std::string writeGame(const std::string& name, const Bytes& eFile, const std::string& names);
    // Writes GUI97.txt for both games into the temporary folder.
    void writeTFile(int lines = 26);
};

} // namespace varnel::test
