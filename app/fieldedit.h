#pragma once
// The one way a form changes a unit: the game's field table validates and stores the shown text,
// and the document's change flag is set only when the stored value changed.

#include "equip/fieldtable.h"

#include <string>
#include <string_view>

namespace varnel {

class CVarnelDoc;

// Sets field `field` of unit `unit` of the game's table from the text a control shows. On a
// refusal (not a number, out of range, a fifth iconed option, no such unit) the record is
// untouched and the result carries the message the form shows. A stored change marks the data
// or names of the game changed and refreshes the title.
FieldResult SetField(CVarnelDoc& doc, Game game, std::size_t unit, const FieldDef& field,
                     std::string_view shown);
// The same, the field named by its stable name; refused when there is no such field.
FieldResult SetField(CVarnelDoc& doc, Game game, std::size_t unit, std::string_view field,
                     std::string_view shown);

// The text a control shows for the field of a unit; empty when there is no such unit.
std::string FieldText(const CVarnelDoc& doc, Game game, std::size_t unit, const FieldDef& field);

} // namespace varnel
