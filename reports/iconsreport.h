#pragma once
// The used-icons report: every icon file name that the units of an E-File use, with the number of
// icon-name fields naming it, written as a text file beside the E-File.
//
// Report layout (CR LF after every line):
//   ";This is an index of icons used in %s"   the E-File's full path
//   ";(Number of icons used: %d)"             n, the number of items
//   "%d"                                      n + 1
//   one line per item in list order           type 0: "%-13s  used: %d times"; type 1: the text

#include "base/bytes.h"
#include "equip/game.h"
#include "equip/unittable.h"

#include <string>
#include <vector>

namespace varnel {

enum IconsReportType : int {
    StatInfo = 0, // each item with its count
    Repack = 1,   // the item texts alone
};

struct IconUse {
    std::string text; // icon name and ".shp" (PG2) or ".s16" (PeG), as first spelled
    int count = 0;    // icon-name fields that name it
};

// The report bytes; any `type` other than 1 writes counts.
Bytes WriteIconsReport(const std::vector<IconUse>& items, const std::string& eFilePath, int type);

// "%s_ICONS.TXT" with the E-File path without its extension.
std::string IconsReportPath(const std::string& eFilePath);

enum class IconsReportResult {
    Written, // report written and announced: the dialog closes
    Empty,   // no items: nothing written; the dialog closes
    Failed,  // the file could not be written ("Error on creating [%s]"): the dialog stays
};

} // namespace varnel
