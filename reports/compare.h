#pragma once
// Two unit tables of one game compared unit by unit, by position: which units differ in which
// fields of the game's catalogue, which units only one table holds, and which names differ.
//
// Every byte a save writes is compared once, under the catalogue row that shows it: a byte the
// form shows whole is its row's; a flag byte whose bits the form shows only in part is reported
// as its read-only row when bits no control shows differ. Values are written as the form shows
// them (costs x 12 or x 10, years + 1900 or + 2000, drop-downs by number and item).
//
// Text layout (one line each, "\n" ends):
//   unit %d (code %d) NAME              a unit that differs, then per field
//     FIELD: OURS -> THEIRS              the catalogue name and both values
//   only in A: unit %d (code %d) NAME   (B likewise)
//   "%d units differ, %d only in A, %d only in B"
// CSV layout (RFC 4180, CR LF): header "unit,code,name,change,field,a,b", then one row per field
// that differs ("changed") and one per unit only one side holds ("only in A", "only in B").

#include "base/bytes.h"
#include "equip/fieldtable.h"
#include "equip/game.h"
#include "equip/unittable.h"

#include <cstdint>
#include <string>
#include <vector>

namespace varnel {

struct FieldDifference {
    const FieldDef* field = nullptr; // a row of the game's catalogue
    std::string ours;                // the value as the form shows it
    std::string theirs;
};

struct UnitDifference {
    std::size_t unit = 0;   // position in both tables
    std::uint16_t code = 0; // our unit's code
    std::string name;       // our unit's name
    std::vector<FieldDifference> fields;
};

// A unit that only one of the two tables holds.
struct LoneUnit {
    std::size_t unit = 0;
    std::uint16_t code = 0;
    std::string name;
};

struct TableComparison {
    Game game = Game::Pg2;
    std::size_t oursCount = 0;
    std::size_t theirsCount = 0;
    bool namesCompared = true;
    std::vector<UnitDifference> changed; // in unit order
    std::vector<LoneUnit> onlyOurs;      // units past the end of theirs
    std::vector<LoneUnit> onlyTheirs;    // units past the end of ours

    bool equal() const { return changed.empty() && onlyOurs.empty() && onlyTheirs.empty(); }
};

// Compares `ours` with `theirs` by position. `compareNames` false leaves the names out (a Names
// E-File that could not be read).
TableComparison ComparePg2Tables(const Pg2UnitTable& ours, const Pg2UnitTable& theirs,
                                 bool compareNames = true);
TableComparison ComparePegTables(const PegUnitTable& ours, const PegUnitTable& theirs,
                                 bool compareNames = true);

// Compares units first .. first + count - 1 again after they changed, keeping the rest of
// `comparison`. False (nothing changed) when the tables no longer have the counts it was made
// for: compare them whole then.
bool UpdateComparison(TableComparison& comparison, const Pg2UnitTable& ours,
                      const Pg2UnitTable& theirs, std::size_t first, std::size_t count);
bool UpdateComparison(TableComparison& comparison, const PegUnitTable& ours,
                      const PegUnitTable& theirs, std::size_t first, std::size_t count);

// The text and CSV forms above. `a` and `b` name the two sides in the text's first lines. Names
// and icon texts are written as UTF-8; the CSV starts with a byte-order mark, quotes as RFC 4180
// does, gives text values without the text form's quotes and guards formula texts with a
// leading ' as to-csv does.
std::string ComparisonText(const TableComparison& comparison, const std::string& a,
                           const std::string& b);
Bytes ComparisonCsv(const TableComparison& comparison);

// Copies what `field` holds from `theirs` into `ours`: the bytes the row stands for (a read-only
// row included, a PG2 country with its mask, a flag byte with its switches). Not for names,
// which the table keeps; a row of the other game changes nothing.
void TakePg2Field(Pg2Unit& ours, const Pg2Unit& theirs, const FieldDef& field);
void TakePegField(PegUnit& ours, const PegUnit& theirs, const FieldDef& field);

} // namespace varnel
