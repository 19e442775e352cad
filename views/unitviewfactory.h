#pragma once
// How the main frame gets its unit forms (the application's form factory is MakeUnitView).

#include "app/ui/mainframe.h"

namespace varnel {

// Makes the unit form of `game` over `doc`. A double click in its unit list asks `frame` to show
// the other game's form; each time the frame shows this form, the form rebuilds its list
// (FillUnitList), adopting the other form's unit index when its own table has it.
QWidget* MakeUnitView(CMainFrame& frame, CVarnelDoc& doc, Game game);
// Makes the units table of `game`. Each time the frame shows it, it takes the shared filter and
// the form's unit; a double click or Enter on a code opens that unit in the form.
QWidget* MakeUnitTable(CMainFrame& frame, CVarnelDoc& doc, Game game);

} // namespace varnel
