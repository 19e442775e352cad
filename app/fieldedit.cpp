#include "app/fieldedit.h"

#include "app/varneldoc.h"

namespace varnel {

FieldResult SetField(CVarnelDoc& doc, Game game, std::size_t unit, const FieldDef& field,
                     std::string_view shown) {
    FieldResult result;
    if (unit >= doc.unitCount(game)) {
        result.message = "There is no such unit";
        return result;
    }
    result = game == Game::Pg2 ? SetPg2Field(*doc.pg2, unit, field, shown)
                               : SetPegField(*doc.peg, unit, field, shown);
    if (result.ok && result.change != FieldChange::None)
        doc.markChanged(game, result.change == FieldChange::Names ? ChangeKind::Names
                                                                  : ChangeKind::Data);
    return result;
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
    return game == Game::Pg2 ? Pg2FieldText(*doc.pg2, unit, field)
                             : PegFieldText(*doc.peg, unit, field);
}

} // namespace varnel
