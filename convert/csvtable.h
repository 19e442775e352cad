#pragma once
// A game's unit table as a spreadsheet file and back.
//
// The file is RFC 4180 CSV: UTF-8 with a byte-order mark, comma-delimited, CR LF line ends,
// cells quoted only where they must be. One header row, then one row per unit:
//
// | column          | value                                                                  |
// |-----------------|------------------------------------------------------------------------|
// | `code`          | the unit's position in the table (the key that brings the row back)    |
// | each catalogue  | the row's stable name; the value the form shows (costs x 12 / x 10,    |
// | row, in order   | years + base, drop-downs and countries by number, check boxes 0/1,     |
// |                 | names and icons as text, read-only bytes as numbers)                   |
//
// Names and icons are Windows-1252 bytes in the tables; the file holds them as Unicode, by the
// mapping of base/csvtext.h, so every one of the 256 byte values comes back.
//
// Reading takes the same files, and also semicolon-delimited ones: the delimiter is the one the
// header row uses, headers match a row's stable name or its report column in any letter case,
// and a file without a byte-order mark that is not valid UTF-8 is read as Windows-1252. A
// semicolon file whose header row is an equipment report's (short or full table, as the report
// writes it) holds costs and years as stored; any other holds them as the form shows them.

#include "base/csvtext.h"
#include "equip/fieldtable.h"
#include "equip/game.h"
#include "equip/unittable.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace varnel {

// The whole CSV file of a table, byte-order mark first.
std::string WriteCsv(const Pg2UnitTable& table);
std::string WriteCsv(const PegUnitTable& table);

// A parsed CSV file: every cell as UTF-8 text, in one pool.
struct CsvFile {
    char delimiter = ',';
    bool read1252 = false; // no byte-order mark and not UTF-8: read as Windows-1252
    std::vector<std::string> header;
    // Row r has cells cellStart[r] .. cellStart[r + 1] - 1, each a [begin, end) of `pool`.
    std::vector<std::uint32_t> lines; // the file line each row starts on (1 = the header)
    std::vector<std::size_t> cellStart;
    std::vector<std::pair<std::size_t, std::size_t>> cells;
    std::string pool;

    std::size_t rowCount() const { return lines.size(); }
    std::string_view cell(std::size_t row, std::size_t column) const {
        const auto& c = cells[cellStart[row] + column];
        return std::string_view(pool.data() + c.first, c.second - c.first);
    }
};

struct CsvReadResult {
    std::optional<CsvFile> file;
    std::size_t line = 0; // where reading failed
    std::string error;    // why: "line %d: ...", empty on success
};

// Parses the bytes of a CSV file. Refused, with the line named: unbalanced quotes, a row with
// more or fewer cells than the header, an empty file, a binary one (a NUL byte), a file with a
// byte-order mark that is not valid UTF-8, UTF-16 ("UTF-16: save the file as UTF-8"). Blank
// lines are skipped; a doubled byte-order mark counts as one.
CsvReadResult ReadCsv(std::span<const std::uint8_t> bytes);

// --- Import ----------------------------------------------------------------------------------

// A field that an import changes: the unit's position and the texts the form shows.
struct CsvChange {
    std::size_t unit = 0;
    const FieldDef* field = nullptr;
    std::string before; // empty for a new unit
    std::string after;
};

// A cell the import refuses, or a row or column it cannot take.
// How much of a cell a message shows: longer cells are cut there and end in "...".
constexpr std::size_t kCsvCellShown = 80;

struct CsvRefusal {
    std::size_t line = 0;
    std::string column; // the header as written; empty for the whole file
    std::string value;  // the cell as written, cut at kCsvCellShown characters
    std::string reason; // the form's message, or what is wrong
    std::string unit;   // "unit 3 Tiger I", "new unit 40 Name" (UTF-8); empty when unknown
};

// A text change that looks like a spreadsheet's doing rather than the user's: leading zeros
// dropped ("0123" -> "123"), a number turned into or out of exponent form ("1E5" -> "100000"),
// a text turned into a date. The change is still planned; the warning says to look at it.
struct CsvWarning {
    std::size_t line = 0;
    std::size_t unit = 0;
    const FieldDef* field = nullptr;
    std::string before; // Windows-1252, as the field stores it
    std::string after;
    std::string why; // "leading zeros dropped", "a number in exponent form", "a date"
};

// What an import of a CSV file into a table would do. Nothing changes the table: the document
// applies `changed` and `appended` as one step, and only when there is no refusal; with
// refusals the rest still says what the other rows would change.
template <class Table> struct CsvImportPlan {
    std::vector<CsvChange> changes;
    std::vector<CsvRefusal> refusals;
    std::vector<CsvWarning> warnings;
    std::vector<std::string> notes;          // what the user should know ("read as Windows-1252")
    std::vector<std::uint32_t> changedUnits; // ascending positions of existing units that change
    Table changed;                           // their new values, in the same order
    Table appended; // units after the end, in code order, their codes their positions
    bool ok() const { return refusals.empty(); }
    bool empty() const { return changedUnits.empty() && appended.count() == 0; }
};
using Pg2CsvImportPlan = CsvImportPlan<Pg2UnitTable>;
using PegCsvImportPlan = CsvImportPlan<PegUnitTable>;

struct CsvImportOptions {
    bool append = false; // rows past the end add units; otherwise they are refused
};

// Checks every row and cell of `file` against `table`: rows by `code` (the position), columns by
// header (a row's stable name or report column, any case). Each cell goes through SetField on a
// copy of its unit, so the refusals carry the form's messages; a read-only column must hold the
// unit's value. A cell equal to what the form shows leaves its field untouched. An absent column
// leaves its field as it is. Columns with an empty header and no values, and rows whose cells
// are all empty, are what spreadsheets add: they are skipped.
Pg2CsvImportPlan PlanCsvImport(const Pg2UnitTable& table, const CsvFile& file,
                               const CsvImportOptions& options);
PegCsvImportPlan PlanCsvImport(const PegUnitTable& table, const CsvFile& file,
                               const CsvImportOptions& options);

// The rows of `file` that an import may apply when the refused rows are left out: `file`
// without every row that holds a refusal, again while leaving rows out refuses others (a new
// unit after a left-out one would leave a gap). Nothing when a refusal concerns the whole file
// (the header: an unknown column, no code column), which no row can be left out for. `skipped`
// receives the lines of the rows left out, ascending.
std::optional<CsvFile> WithoutRefusedRows(const Pg2UnitTable& table, const CsvFile& file,
                                          const CsvImportOptions& options,
                                          std::vector<std::size_t>& skipped);
std::optional<CsvFile> WithoutRefusedRows(const PegUnitTable& table, const CsvFile& file,
                                          const CsvImportOptions& options,
                                          std::vector<std::size_t>& skipped);

// The plan as text, one line each, the problems first: a count line, the notes, every refusal
// as "refused: line 5, column cost, value \"abc\": Please enter an integer. (unit 3 Tiger I)",
// every warning as "warning: line 6, unit 4 Panther, Icon \"0123\" -> \"123\": leading zeros
// dropped, as a spreadsheet does", then the changes ("unit 3 Tiger I: Air attack 4 -> 6") and
// the new units. Names and icon texts in UTF-8. At most `limit` lines of each kind (0: all),
// then a line saying more follow.
template <class Table>
std::string CsvPlanSummary(const CsvImportPlan<Table>& plan, const Table& table,
                           std::size_t limit = 0);

} // namespace varnel
