#pragma once
// Arithmetic over a set of units and one field: set a value, add a signed amount, scale by a
// percentage. Every result goes through the field's own rules, and the whole set is one step of
// the document's edit path or, when one value is refused, nothing at all. The units table's
// commands and varnel-cli set both come here.

#include "app/table/tablecells.h"
#include "app/varneldoc.h"
#include "convert/csvtable.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace varnel {

enum class ArithmeticKind { Set, Add, Scale };

// Amounts and percentages beyond this are refused: no byte field comes near them.
constexpr std::int64_t kMaxArithmeticAmount = 1000000;

struct Arithmetic {
    const FieldDef* field = nullptr;
    ArithmeticKind kind = ArithmeticKind::Set;
    std::string value;       // Set: the text as typed into a cell (item texts allowed)
    std::int64_t amount = 0; // Add: the signed amount; Scale: the percentage
};

// "FIELD=VALUE", "FIELD=+N", "FIELD=-N" or "FIELD=*PCT"; the field by catalogue name or caption
// (FindColumn). Nothing, with `message` saying why, for anything else.
std::optional<Arithmetic> ParseArithmetic(Game g, std::string_view text, std::string& message);

struct ArithmeticResult {
    bool ok = false;
    std::size_t changed = 0; // values whose stored value changed
    std::size_t rounded = 0; // results put on the nearest value the byte can store
    // Why it was refused: the table's message naming unit, column and reason.
    std::string message;
    // The refused value as CSV import lists its refusals (line 0: no file line).
    std::optional<CsvRefusal> refusal;
    std::vector<CsvChange> changes;          // what changed, as the form shows it (Windows-1252)
    std::vector<std::uint32_t> changedUnits; // ascending
};

// Applies `edits` to the units `units` of game g as one step named `what` ("" for a name of its
// own): Add and Scale compute from the value each unit shows, and for a field whose steps are
// larger than one (costs) round to the nearest value the byte can store; a Set value is taken as
// typed, never rounded. Add and Scale take number columns only. A field given twice is refused.
ArithmeticResult ApplyArithmetic(CVarnelDoc& doc, Game g, std::span<const int> units,
                                 std::span<const Arithmetic> edits, std::string what = {});

// The same over the cells of a selection (the units table's "Add..."): `edit` applied to each
// cell's own column (its `field` is not used), as one step.
ArithmeticResult ApplyArithmetic(CVarnelDoc& doc, Game g, std::span<const TableCell> cells,
                                 const Arithmetic& edit, std::string what = {});

// The result as varnel-cli from-csv prints its plan: the count line, the rounding, the refusal,
// then one line per change.
std::string ArithmeticSummary(const CVarnelDoc& doc, Game g, const ArithmeticResult& result);

} // namespace varnel
