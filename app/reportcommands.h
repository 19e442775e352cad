#pragma once
// The report commands of the document: the equipment report and the used-icons report of a
// game's loaded table, written to a file and announced or opened in the external editor.

#include "reports/equipreport.h"
#include "reports/iconsreport.h"

#include <string>
#include <vector>

namespace varnel {

class CVarnelDoc;

// The "Report to file" operation: writes the report of `game`'s loaded table to `outputPath`
// (empty: the report path of the game's current E-File), replacing an old file. Without a table:
// "There is nothing to report, load a file first". A file that cannot be written:
// "Error on creating [%s]" (error box). Afterwards the file is opened in the external editor when
// `launchEditor` is set, otherwise "Generated report on file:\n\n %s  \n" is shown. True when the
// report was written.
bool RunEquipmentReport(CVarnelDoc& state, Game game, int format, bool launchEditor,
                        const std::string& outputPath = {});

// The items of a table: PG2 counts each unit's `Icon`, PeG each unit's `UnitIcon` and `MovIcon`;
// empty names are skipped. Names equal without regard to ASCII letter case are one item, which
// keeps the spelling met first. Items are sorted by the bytes of their text with ASCII letters
// upper-cased.
std::vector<IconUse> CollectPg2Icons(const Pg2UnitTable& table);
std::vector<IconUse> CollectPegIcons(const PegUnitTable& table);
// The items of `game`'s loaded table; empty when it has none.
std::vector<IconUse> CollectUsedIcons(const CVarnelDoc& state, Game game);

// The "REPORT" button: writes the report of `game`'s table to `outputPath` (empty: the report
// path of the game's current E-File), shows "Generated report on file:\n\n %s  \n" and, when
// `launchEditor` is set, opens the file in the external editor.
IconsReportResult RunIconsReport(CVarnelDoc& state, Game game, int type, bool launchEditor,
                                 const std::string& outputPath = {});

} // namespace varnel
