#pragma once
// The equipment report: a loaded unit table written as a text file beside its E-File, in one of
// three formats.
//
// Formats 0 and 1: a header line of column names, then one line per unit in table order. Every
// value is followed by ";" except the last of a line. Numbers are decimal, bytes unsigned, the
// code is the 16-bit unit code, the name is written unchanged (a ";" in a name is not escaped),
// icon texts are the characters up to the first NUL, at most six. Format 1 leaves out the
// columns of unnamed bytes.
//
// Format 2, the simple list (read back by merge and export as a definition file):
//   line 1            the E-File's base name
//   line 2            "'    CODE    DENOMINATION"
//   one per unit      "no: %4d    %s  [%s  %s] " code, name, class code, country name
//   last              "'total: %d Units"
//
// Every line ends in CR LF.

#include "base/bytes.h"
#include "equip/game.h"
#include "equip/tfile.h"
#include "equip/unittable.h"

#include <string>

namespace varnel {

enum ReportFormat : int {
    FullTable = 0,  // every record byte
    BriefTable = 1, // the named fields only
    SimpleList = 2, // codes, names, classes and countries
};

// The report bytes of `table` in `format` (0..2; any other value gives no bytes). `countries`
// names the units' countries in the simple list; `eFilePath` gives its first line.
Bytes WritePg2Report(const Pg2UnitTable& table, const NameTable& countries,
                     const std::string& eFilePath, int format);
Bytes WritePegReport(const PegUnitTable& table, const NameTable& countries,
                     const std::string& eFilePath, int format);

// The report file of a game's E-File: its folder, "PG2_REPORT_" or "PeG_REPORT_", its base name
// and ".TXT" (C:\PANZER2\EQUIP97.EQP gives C:\PANZER2\PG2_REPORT_EQUIP97.TXT).
std::string EquipmentReportPath(Game game, const std::string& eFilePath);

} // namespace varnel
