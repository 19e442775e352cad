// Feeds arbitrary text to the condition parser of both games, with country names, and tests
// what the filters rely on: a refusal has a reason and a position inside the text and leaves
// the empty condition; an accepted condition picks units of the table only, in order, and
// picks the same units when the table is tested unit by unit.

#include "equip/condition.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace {

// Five units whose values vary field by field, names with blanks, quotes and keywords.
template <class Table> Table units(varnel::Game game) {
    Table table;
    table.units.resize(5);
    auto set = [&](std::size_t u, const varnel::FieldDef& field, const std::string& text) {
        if constexpr (std::is_same_v<Table, varnel::Pg2UnitTable>)
            (void)varnel::SetPg2Field(table, u, field, text);
        else
            (void)varnel::SetPegField(table, u, field, text);
    };
    const char* names[] = {"Tiger I", "", "and or", "\xC9lan \"x\"", "Puma"};
    int k = 0;
    for (const varnel::FieldDef& field : varnel::FormFields(game)) {
        for (std::size_t u = 0; u < table.count(); ++u) {
            if (varnel::IsTextField(field)) {
                set(u, field, names[u]);
                continue;
            }
            const int steps = static_cast<int>((u * 7 + static_cast<std::size_t>(k)) % 3);
            set(u, field, std::to_string(field.minShown + steps * field.scale));
        }
        ++k;
    }
    return table;
}

template <class Table>
void check(varnel::Game game, const Table& table, std::string_view text,
           const varnel::NameTable& countries) {
    const varnel::ConditionParse parse = varnel::ParseCondition(game, text, &countries);
    if (!parse.ok) {
        if (parse.reason.empty() || parse.position > text.size() || !parse.condition.empty())
            std::abort();
        return;
    }
    const std::vector<int> picked = varnel::MatchingUnits(table, parse.condition);
    std::size_t next = 0;
    for (std::size_t u = 0; u < table.count(); ++u) {
        const bool in = next < picked.size() && picked[next] == static_cast<int>(u);
        if (in != parse.condition.matches(table, u))
            std::abort();
        next += in ? 1 : 0;
    }
    if (next != picked.size())
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const varnel::Pg2UnitTable pg2 = units<varnel::Pg2UnitTable>(varnel::Game::Pg2);
    static const varnel::PegUnitTable peg = units<varnel::PegUnitTable>(varnel::Game::Peg);
    static const varnel::NameTable countries = [] {
        varnel::NameTable n(varnel::pg2::kCountryCount);
        n.setName(0, "None");
        n.setName(1, "Germany");
        n.setName(2, "Great Britain");
        n.setCount(3);
        return n;
    }();
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    check(varnel::Game::Pg2, pg2, text, countries);
    check(varnel::Game::Peg, peg, text, countries);
    return 0;
}
