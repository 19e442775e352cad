#include "app/fieldedit.h"

#include "app/varneldoc.h"

namespace varnel {

FieldResult SetField(CVarnelDoc& doc, Game game, std::size_t unit, const FieldDef& field,
                     std::string_view shown) {
    return doc.setField(game, unit, field, shown);
}

FieldResult SetField(CVarnelDoc& doc, Game game, std::size_t unit, std::string_view field,
                     std::string_view shown) {
    if (const FieldDef* def = FindField(game, field))
        return SetField(doc, game, unit, *def, shown);
    FieldResult refused;
    refused.message = "There is no such field";
    return refused;
}

std::string FieldText(const CVarnelDoc& doc, Game game, std::size_t unit, const FieldDef& field) {
    if (unit >= doc.unitCount(game))
        return {};
    return game == Game::Pg2 ? Pg2FieldText(*doc.pg2(), unit, field)
                             : PegFieldText(*doc.peg(), unit, field);
}

} // namespace varnel
