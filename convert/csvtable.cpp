#include "convert/csvtable.h"

#include "base/format.h"
#include "base/numbers.h"

#include <csv.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <memory>
#include <type_traits>
#include <unordered_map>

namespace varnel {

namespace {

constexpr char kCodeColumn[] = "code";
// The full PeG report's last column names a byte past the record; it comes back ignored.
constexpr char kPegPaddingColumn[] = "byte74";
// The line (1-based) on which byte `offset` of `text` lies.
std::size_t lineAt(std::string_view text, std::size_t offset) {
    return 1 + static_cast<std::size_t>(std::count(text.begin(), text.begin() + offset, '\n'));
}

// --- Writing -------------------------------------------------------------------------------

FieldResult setOf(Pg2UnitTable& table, std::size_t i, const FieldDef& field, std::string_view s,
                  FieldStyle style) {
    return SetPg2Field(table, i, field, s, style);
}
FieldResult setOf(PegUnitTable& table, std::size_t i, const FieldDef& field, std::string_view s,
                  FieldStyle style) {
    return SetPegField(table, i, field, s, style);
}
constexpr Game gameOf(const Pg2UnitTable*) {
    return Game::Pg2;
}
constexpr Game gameOf(const PegUnitTable*) {
    return Game::Peg;
}

// The catalogue's rows that make columns: every row but the code, which leads as the position.
std::vector<const FieldDef*> csvColumns(Game game) {
    std::vector<const FieldDef*> columns;
    for (const FieldDef& f : FieldTable(game))
        if (f.kind != FieldKind::Code)
            columns.push_back(&f);
    return columns;
}

template <class Table> std::string writeCsv(const Table& table) {
    const Game game = gameOf(&table);
    const auto columns = csvColumns(game);
    std::vector<NumberColumn> numbers;
    numbers.reserve(columns.size());
    for (const FieldDef* f : columns)
        numbers.emplace_back(game, *f, FieldStyle::Csv);
    std::string out(kUtf8Bom);
    out.reserve(table.count() * (columns.size() * 3 + 32) + 1024);
    out += kCodeColumn;
    for (const FieldDef* f : columns) {
        out += ',';
        out += f->name;
    }
    out += "\r\n";
    // Numbers go through a small buffer, so a row costs a few appends instead of one per cell.
    char buffer[512];
    char* at = buffer;
    constexpr std::size_t kNumberRoom = 16; // a sign, ten digits and the delimiter
    auto flush = [&] {
        out.append(buffer, static_cast<std::size_t>(at - buffer));
        at = buffer;
    };
    auto number = [&](int value) {
        if (static_cast<std::size_t>(buffer + sizeof buffer - at) < kNumberRoom)
            flush();
        at = std::to_chars(at, buffer + sizeof buffer, value).ptr;
    };
    std::string text;
    for (std::size_t i = 0; i < table.count(); ++i) {
        number(static_cast<int>(i));
        const auto& unit = table.units[i];
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const FieldDef* f = columns[c];
            *at++ = ',';
            if (IsTextField(*f)) {
                flush();
                text.clear();
                AppendValue(text, *f, ReadValue(table, i, *f), FieldStyle::Csv);
                AppendCsvCell(out, text);
            } else {
                number(numbers[c].written(unit));
            }
        }
        *at++ = '\r';
        *at++ = '\n';
        flush();
    }
    return out;
}

// --- Reading -------------------------------------------------------------------------------

struct ParseState {
    CsvFile* file;
    std::size_t chunkLine = 0; // the line being fed
    std::size_t rowLine = 0;   // the line the row being read started on
    bool awaitingRow = true;   // no cell of a row yet since the last row end
    std::size_t rowCells = 0;  // cells of the row being read
    std::size_t headerCells = 0;
    bool inHeader = true;
    std::size_t badLine = 0; // a row whose cell count differs from the header's
    std::size_t badCount = 0;
};

void onCell(void* data, std::size_t length, void* user) {
    auto& s = *static_cast<ParseState*>(user);
    CsvFile& f = *s.file;
    const std::string_view cell(static_cast<const char*>(data), data ? length : 0);
    if (s.inHeader) {
        f.header.emplace_back(cell);
    } else {
        const std::size_t begin = f.pool.size();
        f.pool += cell;
        f.cells.emplace_back(begin, f.pool.size());
    }
    ++s.rowCells;
}

void onRowEnd(int, void* user) {
    auto& s = *static_cast<ParseState*>(user);
    CsvFile& f = *s.file;
    const std::size_t cells = s.rowCells;
    s.rowCells = 0;
    s.awaitingRow = true;
    if (cells == 0)
        return; // a line end outside a row: a blank line, or the LF of a CR LF
    if (s.inHeader) {
        s.inHeader = false;
        s.headerCells = cells;
        f.cellStart.push_back(0);
        return;
    }
    if (cells != s.headerCells && s.badLine == 0) {
        s.badLine = s.rowLine;
        s.badCount = cells;
    }
    f.lines.push_back(static_cast<std::uint32_t>(s.rowLine));
    f.cellStart.push_back(f.cells.size());
}

int noSpace(unsigned char) {
    return 0; // blanks are part of a cell: a name may start or end with one
}

char delimiterOf(std::string_view text) {
    const std::string_view first = text.substr(0, text.find('\n'));
    const auto commas = std::count(first.begin(), first.end(), ',');
    const auto semicolons = std::count(first.begin(), first.end(), ';');
    return semicolons > commas ? ';' : ',';
}

CsvReadResult failAt(std::size_t line, const std::string& what) {
    CsvReadResult r;
    r.line = line;
    r.error = Format("line %d: ", static_cast<int>(line)) + what;
    return r;
}

} // namespace

std::string WriteCsv(const Pg2UnitTable& table) {
    return writeCsv(table);
}

std::string WriteCsv(const PegUnitTable& table) {
    return writeCsv(table);
}

CsvReadResult ReadCsv(std::span<const std::uint8_t> bytes) {
    std::string_view raw(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    // UTF-16 is full of NUL bytes; say what it is rather than calling it binary.
    if (raw.starts_with("\xFF\xFE") || raw.starts_with("\xFE\xFF"))
        return failAt(1, "UTF-16: save the file as UTF-8");
    // A NUL byte never appears in text the writer makes or a spreadsheet saves.
    if (const auto nul = raw.find('\0'); nul != std::string_view::npos)
        return failAt(lineAt(raw, nul), "the file holds binary data (a NUL byte), not CSV text");
    const bool bom = raw.starts_with(kUtf8Bom);
    // A file saved twice through a tool that adds a mark each time carries two: neither is text.
    while (raw.starts_with(kUtf8Bom))
        raw.remove_prefix(kUtf8Bom.size());

    CsvFile file;
    std::string converted;
    std::string_view text = raw;
    constexpr std::uint64_t kHighBits = 0x8080808080808080u;
    for (std::size_t i = 0; i < raw.size();) {
        // Eight ASCII bytes at a time: most of a file is ASCII.
        if (std::uint64_t word;
            i + sizeof word <= raw.size() &&
            (std::memcpy(&word, raw.data() + i, sizeof word), word & kHighBits) == 0) {
            i += sizeof word;
            continue;
        }
        if (static_cast<std::uint8_t>(raw[i]) < 0x80) {
            ++i;
            continue;
        }
        const std::size_t at = i;
        if (NextUtf8CodePoint(raw, i) >= 0)
            continue;
        if (bom)
            return failAt(lineAt(raw, at), "the file has a UTF-8 byte-order mark but is not "
                                           "valid UTF-8");
        converted = Utf8From1252(raw);
        text = converted;
        file.read1252 = true;
        break;
    }
    if (text.find_first_not_of(" \t\r\n") == std::string_view::npos)
        return failAt(1, "the file is empty");

    csv_parser parser;
    // Not strict inside a cell: the equipment reports write names unquoted, so a quote in the
    // middle of a name is a letter.
    if (csv_init(&parser, CSV_REPALL_NL) != 0)
        return failAt(1, "out of memory");
    std::unique_ptr<csv_parser, void (*)(csv_parser*)> guard(&parser, csv_free);
    file.delimiter = delimiterOf(text);
    csv_set_delim(&parser, static_cast<unsigned char>(file.delimiter));
    csv_set_space_func(&parser, noSpace);

    // Every cell's text fits in the file's; each delimiter or line end ends at most one cell.
    file.pool.reserve(text.size());
    // Each delimiter or line end ends at most one cell: counted in the first part of the file and
    // taken for the whole, with room to spare (the vector grows if the rest is denser).
    const std::string_view sample = text.substr(0, 1 << 16);
    std::size_t ends = 1;
    for (const char c : sample)
        ends += static_cast<std::size_t>(c == file.delimiter) + static_cast<std::size_t>(c == '\n');
    const std::size_t estimate = ends * text.size() / sample.size();
    file.cells.reserve(estimate + estimate / 8);
    ParseState state;
    state.file = &file;
    // Fed a line at a time, so every row knows the line it started on.
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find('\n', begin);
        end = end == std::string_view::npos ? text.size() : end + 1;
        ++state.chunkLine;
        if (state.awaitingRow) {
            state.rowLine = state.chunkLine;
            state.awaitingRow = false;
        }
        const std::size_t length = end - begin;
        if (csv_parse(&parser, text.data() + begin, length, onCell, onRowEnd, &state) != length)
            return failAt(state.chunkLine, "out of memory");
        begin = end;
    }
    // libcsv reports an unclosed quote only in its strict mode, which would also refuse the
    // reports' quotes inside names: a quoted cell still open at the end is one.
    constexpr int kFieldBegun = 2; // libcsv's state inside a cell
    if ((parser.quoted != 0 && parser.pstate == kFieldBegun) ||
        csv_fini(&parser, onCell, onRowEnd, &state) != 0)
        return failAt(state.rowLine, "a quoted cell is never closed (unbalanced quotes)");
    if (state.badLine != 0)
        return failAt(state.badLine, Format("the row has %d cells, but the header has %d",
                                            static_cast<int>(state.badCount),
                                            static_cast<int>(state.headerCells)));
    if (file.header.empty())
        return failAt(1, "the file is empty");
    CsvReadResult result;
    result.file = std::move(file);
    return result;
}

// --- Import --------------------------------------------------------------------------------

namespace {

std::string lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") + 1 - first);
}

// The row a header names: its stable name or its report column, in any letter case.
const FieldDef* fieldOfHeader(Game game, std::string_view header) {
    using Names = std::unordered_map<std::string, const FieldDef*>;
    auto build = [](Game g) {
        Names names;
        for (const FieldDef& f : FieldTable(g)) {
            names.emplace(lower(f.name), &f);
            if (*f.report != '\0')
                names.emplace(lower(f.report), &f);
        }
        return names;
    };
    static const Names pg2Names = build(Game::Pg2);
    static const Names pegNames = build(Game::Peg);
    const Names& names = game == Game::Pg2 ? pg2Names : pegNames;
    const auto it = names.find(lower(header));
    // A person may head a column with the form's caption ("Air attack").
    return it == names.end() ? FindColumn(game, header) : it->second;
}

// Whether `header` is the header row of an equipment report of `game` (the short or the full
// table), as the report writes it; empty cells a spreadsheet adds at the end do not count.
bool isReportHeader(Game game, const std::vector<std::string>& header) {
    std::size_t used = header.size();
    while (used > 0 && trimmed(header[used - 1]).empty())
        --used;
    for (const bool full : {false, true}) {
        std::vector<std::string_view> columns;
        for (const FieldDef* f : ReportColumns(game))
            if (full || !f->fullOnly)
                columns.push_back(f->report);
        if (full && game == Game::Peg)
            columns.push_back(kPegPaddingColumn);
        if (columns.size() == used &&
            std::equal(columns.begin(), columns.end(), header.begin(),
                       [](std::string_view c, const std::string& h) { return trimmed(h) == c; }))
            return true;
    }
    return false;
}

// A whole number 0..max with blanks around it, or nothing.
std::optional<int> parseCode(std::string_view text, int max) {
    return ParseInteger(text, 0, max);
}

// `text` cut after kCsvCellShown characters (UTF-8 sequences kept whole), with "..." added.
std::string shownCell(std::string_view text) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<std::uint8_t>(text[i]) & 0xC0) == 0x80)
            continue; // inside a character
        if (chars++ == kCsvCellShown)
            return std::string(text.substr(0, i)) + "...";
    }
    return std::string(text);
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool allDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), isDigit);
}

// A decimal number as a spreadsheet writes it: an optional sign, digits, an optional fraction.
bool isPlainNumber(std::string_view text) {
    if (!text.empty() && (text.front() == '-' || text.front() == '+'))
        text.remove_prefix(1);
    const auto dot = text.find('.');
    if (dot == std::string_view::npos)
        return allDigits(text);
    return allDigits(text.substr(0, dot)) &&
           (dot + 1 == text.size() || allDigits(text.substr(dot + 1)));
}

// "1E5", "1.23E+10", "2e-3".
bool isExponentNumber(std::string_view text) {
    const auto e = text.find_first_of("eE");
    if (e == std::string_view::npos || e == 0)
        return false;
    std::string_view power = text.substr(e + 1);
    if (!power.empty() && (power.front() == '-' || power.front() == '+'))
        power.remove_prefix(1);
    return isPlainNumber(text.substr(0, e)) && allDigits(power);
}

// Three groups of digits joined by the same '/', '-' or '.': 12/03/2024, 2024-03-12, 1.2.24.
bool isDate(std::string_view text) {
    const auto first = text.find_first_of("/-.");
    if (first == std::string_view::npos || first == 0)
        return false;
    const char separator = text[first];
    const auto second = text.find(separator, first + 1);
    if (second == std::string_view::npos)
        return false;
    const std::string_view a = text.substr(0, first);
    const std::string_view b = text.substr(first + 1, second - first - 1);
    const std::string_view c = text.substr(second + 1);
    return allDigits(a) && allDigits(b) && allDigits(c) && a.size() <= 4 && b.size() <= 2 &&
           c.size() <= 4;
}

// Why a text change looks like a spreadsheet's doing; nullptr when it does not.
const char* spreadsheetChange(std::string_view before, std::string_view after) {
    if (allDigits(before) && before.size() > 1 && before.front() == '0' && allDigits(after)) {
        const auto first = before.find_first_not_of('0');
        const std::string_view rest =
            first == std::string_view::npos ? std::string_view("0") : before.substr(first);
        if (after == rest)
            return "leading zeros dropped";
    }
    if ((isExponentNumber(before) && isPlainNumber(after)) ||
        (isExponentNumber(after) && (isPlainNumber(before) || isExponentNumber(before))))
        return "a number in exponent form";
    if (isDate(after) && !isDate(before))
        return "a date";
    return nullptr;
}

// Whether `cell` is `value` as the writer writes it: its digits, without a leading zero, after a
// '-' for a negative one, and nothing else. Read in place: every cell of a file passes here.
[[gnu::always_inline]] inline bool writtenAs(std::string_view cell, int value) {
    const std::size_t n = cell.size();
    const bool negative = n > 0 && cell[0] == '-';
    const std::size_t first = negative ? 1 : 0;
    // At most ten digits; "0" alone, never "-0" or "07".
    if (n == first || n - first > 10 || (cell[first] == '0' && (n - first > 1 || negative)))
        return false;
    std::int64_t magnitude = 0;
    for (std::size_t k = first; k < n; ++k) {
        const auto digit = static_cast<unsigned>(cell[k] - '0');
        if (digit > 9)
            return false;
        magnitude = magnitude * 10 + digit;
    }
    return (negative ? -magnitude : magnitude) == value;
}

struct Column {
    std::size_t index;
    const FieldDef* field;
    NumberColumn number; // its numbers as the file writes them
};

template <class Table> class Planner {
  public:
    using Unit = typename decltype(Table::units)::value_type;

    Planner(const Table& table, const CsvFile& file, const CsvImportOptions& options,
            CsvImportPlan<Table>& plan)
        : table_(table), file_(file), options_(options), plan_(plan) {}

    void run() {
        if (file_.read1252)
            plan_.notes.push_back("The file is not UTF-8: it was read as Windows-1252.");
        // The equipment reports write costs and years as stored, the rest as the form shows it.
        // Only a header that is a report's own says so: any other semicolon file is a
        // spreadsheet's, in the form's units, and reading its 72 as stored would make it 864.
        reportValues_ = file_.delimiter == ';' && isReportHeader(gameOf(&table_), file_.header);
        if (reportValues_)
            plan_.notes.push_back("Read as an equipment report: costs and years as stored.");
        else if (file_.delimiter == ';')
            plan_.notes.push_back("Semicolon-delimited, read as the unit form shows values "
                                  "(its header is not an equipment report's).");
        if (!mapColumns())
            return;
        std::vector<std::pair<std::size_t, std::size_t>> added;      // code, row
        std::vector<std::uint32_t> seen(kMaxUnits + 1, 0);           // code -> line + 1 of its row
        std::vector<std::pair<std::uint32_t, std::size_t>> existing; // code, row
        for (std::size_t r = 0; r < file_.rowCount(); ++r) {
            const std::string_view text = file_.cell(r, code_);
            // Spreadsheets keep rows whose cells were all cleared; a row with a code is none.
            if (trimmed(text).empty() && blankRow(r))
                continue;
            const auto code = parseCode(text, static_cast<int>(kMaxUnits));
            if (!code) {
                refuse(r, file_.header[code_], text,
                       Format("The code must be a unit's position, 0 to %d.",
                              static_cast<int>(kMaxUnits - 1)));
                continue;
            }
            const auto c = static_cast<std::size_t>(*code);
            if (seen[c] != 0) {
                refuse(r, file_.header[code_], text,
                       Format("Code %d is on line %d too.", static_cast<int>(c),
                              static_cast<int>(seen[c])));
                continue;
            }
            seen[c] = file_.lines[r];
            if (c < table_.count())
                existing.emplace_back(static_cast<std::uint32_t>(c), r);
            else if (!options_.append)
                refuse(r, file_.header[code_], text,
                       Format("Code %d lies past the last unit (%d units); allow appending to "
                              "add units.",
                              static_cast<int>(c), static_cast<int>(table_.count())));
            else
                added.emplace_back(c, r);
        }
        std::sort(existing.begin(), existing.end());
        for (const auto& [code, row] : existing)
            planExisting(code, row);
        std::sort(added.begin(), added.end());
        std::size_t next = table_.count();
        for (const auto& [code, row] : added) {
            if (code >= kMaxUnits) {
                refuse(row, file_.header[code_], file_.cell(row, code_),
                       Format("A table holds at most %d units.", static_cast<int>(kMaxUnits)));
            } else if (code != next) {
                refuse(row, file_.header[code_], file_.cell(row, code_),
                       Format("Code %d leaves a gap: the next new unit is %d.",
                              static_cast<int>(code), static_cast<int>(next)));
            } else {
                planNew(row);
            }
            next = code + 1;
        }
    }

  private:
    bool mapColumns() {
        const Game game = gameOf(&table_);
        std::vector<const FieldDef*> used;
        bool found = false;
        for (std::size_t k = 0; k < file_.header.size(); ++k) {
            const std::string_view header = trimmed(file_.header[k]);
            if (header.empty()) {
                // Spreadsheets add empty columns past the last one; one with values is no such.
                for (std::size_t r = 0; r < file_.rowCount(); ++r)
                    if (!trimmed(file_.cell(r, k)).empty()) {
                        headerRefusal(header, Format("Column %d has values but no header.",
                                                     static_cast<int>(k + 1)));
                        break;
                    }
                continue;
            }
            const std::string name = lower(header);
            if (name == kCodeColumn) {
                if (found)
                    headerRefusal(header, "The column code appears twice.");
                found = true;
                code_ = k;
                continue;
            }
            if (game == Game::Peg && name == kPegPaddingColumn)
                continue;
            const FieldDef* f = fieldOfHeader(game, header);
            if (f == nullptr) {
                headerRefusal(header, Format("No field of %s has this name.", GameName(game)));
                continue;
            }
            if (std::find(used.begin(), used.end(), f) != used.end()) {
                headerRefusal(header, Format("The field %s has two columns.", f->name));
                continue;
            }
            used.push_back(f);
            columns_.push_back({k, f, NumberColumn(game, *f, style())});
        }
        if (!found)
            headerRefusal("", "There is no code column: rows are matched to units by code.");
        return plan_.refusals.empty();
    }

    // The unit a row is about, for a message: its code and name, or its name in the file when
    // it would be a new unit; empty when its code is no unit's.
    std::string unitOf(std::size_t row) const {
        const auto code = parseCode(file_.cell(row, code_), static_cast<int>(kMaxUnits));
        if (!code)
            return {};
        const auto c = static_cast<std::size_t>(*code);
        if (c < table_.count())
            return Format("unit %d ", static_cast<int>(c)) + Utf8From1252(table_.name(c));
        std::string unit = Format("new unit %d", static_cast<int>(c));
        for (const Column& column : columns_)
            if (column.field->kind == FieldKind::Name)
                unit += " " + shownCell(file_.cell(row, column.index));
        return unit;
    }

    bool blankRow(std::size_t row) const {
        for (std::size_t k = 0; k < file_.header.size(); ++k)
            if (!trimmed(file_.cell(row, k)).empty())
                return false;
        return true;
    }

    void headerRefusal(std::string_view header, std::string reason) {
        plan_.refusals.push_back(CsvRefusal{1, std::string(header), {}, std::move(reason), {}});
    }

    void refuse(std::size_t row, std::string_view column, std::string_view value,
                std::string reason) {
        plan_.refusals.push_back(CsvRefusal{file_.lines[row], std::string(trimmed(column)),
                                            shownCell(value), std::move(reason), unitOf(row)});
    }

    // How the file writes values: an old equipment report holds costs and years as stored.
    FieldStyle style() const { return reportValues_ ? FieldStyle::Report : FieldStyle::Csv; }

    // Whether the cell says what the field already holds, as this file writes it.
    bool same(const Table& t, std::size_t i, const Column& column, std::string_view cell) {
        const FieldDef& f = *column.field;
        if (!IsTextField(f))
            return writtenAs(cell, column.number.written(t.units[i]));
        sameText_.clear();
        AppendValue(sameText_, f, ReadValue(t, i, f), style());
        return sameText_ == cell;
    }

    // Puts the cells of `row` into the one unit of `scratch_` through SetField: read-only
    // columns first (checked against the unit as it was, or for a new unit its bytes taken from
    // the file, as a row copied from another unit brings them), then the others, which set their
    // own bits and bytes over them; a cell refused by the four-option limit is tried again after
    // the rest, which may clear another option. False when a cell was refused.
    bool applyCells(std::size_t row, bool fresh) {
        bool ok = true;
        std::vector<std::pair<const Column*, std::string>> retry;
        for (int pass = 0; pass < 2; ++pass) {
            for (const Column& column : columns_) {
                const FieldDef& f = *column.field;
                if (f.readOnly != (pass == 0))
                    continue;
                const std::string_view value = file_.cell(row, column.index);
                if (same(scratch_, 0, column, value))
                    continue;
                if (f.readOnly && fresh && f.kind == FieldKind::Byte) {
                    const auto byte = parseCode(value, 255);
                    if (!byte) {
                        refuse(row, file_.header[column.index], value,
                               "Please enter an integer between 0 and 255.");
                        ok = false;
                    } else {
                        scratch_.units[0].record[f.offset] = static_cast<std::uint8_t>(*byte);
                    }
                    continue;
                }
                const FieldResult result = setOf(scratch_, 0, f, value, style());
                touched_ = touched_ || result.change != FieldChange::None;
                if (result.ok)
                    continue;
                if (f.limitMessage != nullptr) {
                    retry.emplace_back(&column, std::string(value));
                    continue;
                }
                refuse(row, file_.header[column.index], file_.cell(row, column.index),
                       result.message);
                ok = false;
            }
        }
        for (const auto& [column, value] : retry) {
            const FieldResult result = setOf(scratch_, 0, *column->field, value, style());
            touched_ = touched_ || result.change != FieldChange::None;
            if (!result.ok) {
                refuse(row, file_.header[column->index], file_.cell(row, column->index),
                       result.message);
                ok = false;
            }
        }
        return ok;
    }

    void resetScratch(const Unit& unit, std::string_view name) {
        if (scratch_.names.size() > kMinNameCompactBytes)
            scratch_ = Table{};
        scratch_.units.assign(1, unit);
        scratch_.setName(0, name);
        touched_ = false;
    }

    void planExisting(std::size_t index, std::size_t row) {
        resetScratch(table_.units[index], table_.name(index));
        if (!applyCells(row, false) || !touched_)
            return;
        bool changed = false;
        for (const Column& column : columns_) {
            const FieldDef& f = *column.field;
            if (f.readOnly)
                continue;
            if (!IsTextField(f) && column.number.stored(table_.units[index]) ==
                                       column.number.stored(scratch_.units[0]))
                continue;
            const FieldValue was = ReadValue(table_, index, f);
            const FieldValue is = ReadValue(scratch_, 0, f);
            if (was == is)
                continue;
            std::string before = FormatValue(f, was, FieldStyle::Form);
            std::string after = FormatValue(f, is, FieldStyle::Form);
            if (IsTextField(f))
                if (const char* why = spreadsheetChange(before, after))
                    plan_.warnings.push_back(
                        CsvWarning{file_.lines[row], index, &f, before, after, why});
            changed = true;
            plan_.changes.push_back(CsvChange{index, &f, std::move(before), std::move(after)});
        }
        if (!changed)
            return;
        plan_.changedUnits.push_back(static_cast<std::uint32_t>(index));
        plan_.changed.units.push_back(scratch_.units[0]);
        plan_.changed.setName(plan_.changed.count() - 1, scratch_.name(0));
    }

    void planNew(std::size_t row) {
        const std::size_t position = table_.count() + plan_.appended.count();
        Unit unit{};
        unit.record.setCode(static_cast<std::uint16_t>(position));
        resetScratch(unit, {});
        if (!applyCells(row, true))
            return;
        SetMaskRight(scratch_.units[0]);
        plan_.appended.units.push_back(scratch_.units[0]);
        plan_.appended.setName(plan_.appended.count() - 1, scratch_.name(0));
    }

    const Table& table_;
    const CsvFile& file_;
    const CsvImportOptions& options_;
    CsvImportPlan<Table>& plan_;
    std::size_t code_ = 0;
    std::vector<Column> columns_;
    Table scratch_;
    bool touched_ = false;      // a cell of the scratch unit changed its field
    bool reportValues_ = false; // an equipment report: costs and years as stored
    std::string sameText_;      // what same() compares, kept to spare an allocation a cell
};

template <class Table>
CsvImportPlan<Table> planImport(const Table& table, const CsvFile& file,
                                const CsvImportOptions& options) {
    CsvImportPlan<Table> plan;
    Planner<Table>(table, file, options, plan).run();
    std::stable_sort(plan.refusals.begin(), plan.refusals.end(),
                     [](const CsvRefusal& a, const CsvRefusal& b) { return a.line < b.line; });
    return plan;
}

} // namespace

Pg2CsvImportPlan PlanCsvImport(const Pg2UnitTable& table, const CsvFile& file,
                               const CsvImportOptions& options) {
    return planImport(table, file, options);
}

PegCsvImportPlan PlanCsvImport(const PegUnitTable& table, const CsvFile& file,
                               const CsvImportOptions& options) {
    return planImport(table, file, options);
}

namespace {

// `file` without the rows that start on one of `lines` (ascending).
CsvFile withoutLines(const CsvFile& file, const std::vector<std::size_t>& lines) {
    CsvFile out;
    out.delimiter = file.delimiter;
    out.read1252 = file.read1252;
    out.header = file.header;
    out.pool = file.pool;
    out.cellStart.push_back(0);
    for (std::size_t row = 0; row < file.rowCount(); ++row) {
        if (std::binary_search(lines.begin(), lines.end(), file.lines[row]))
            continue;
        out.lines.push_back(file.lines[row]);
        for (std::size_t k = file.cellStart[row]; k < file.cellStart[row + 1]; ++k)
            out.cells.push_back(file.cells[k]);
        out.cellStart.push_back(out.cells.size());
    }
    return out;
}

template <class Table>
std::optional<CsvFile> withoutRefusedRows(const Table& table, const CsvFile& file,
                                          const CsvImportOptions& options,
                                          std::vector<std::size_t>& skipped) {
    skipped.clear();
    CsvFile current = file;
    // Each round leaves out at least one row, so this ends.
    for (;;) {
        const auto plan = PlanCsvImport(table, current, options);
        if (plan.ok())
            return current;
        for (const CsvRefusal& r : plan.refusals) {
            if (r.line <= 1)
                return std::nullopt; // the header: no row to leave out
            skipped.push_back(r.line);
        }
        std::sort(skipped.begin(), skipped.end());
        skipped.erase(std::unique(skipped.begin(), skipped.end()), skipped.end());
        current = withoutLines(current, skipped);
    }
}

} // namespace

std::optional<CsvFile> WithoutRefusedRows(const Pg2UnitTable& table, const CsvFile& file,
                                          const CsvImportOptions& options,
                                          std::vector<std::size_t>& skipped) {
    return withoutRefusedRows(table, file, options, skipped);
}

std::optional<CsvFile> WithoutRefusedRows(const PegUnitTable& table, const CsvFile& file,
                                          const CsvImportOptions& options,
                                          std::vector<std::size_t>& skipped) {
    return withoutRefusedRows(table, file, options, skipped);
}

template <class Table>
std::string CsvPlanSummary(const CsvImportPlan<Table>& plan, const Table& table,
                           std::size_t limit) {
    std::string out =
        Format("%d changes in %d units, %d new units, %d refused\n",
               static_cast<int>(plan.changes.size()), static_cast<int>(plan.changedUnits.size()),
               static_cast<int>(plan.appended.count()), static_cast<int>(plan.refusals.size()));
    for (const std::string& note : plan.notes)
        out += note + "\n";
    std::size_t shown = 0;
    for (const CsvRefusal& r : plan.refusals) {
        if (limit != 0 && shown++ == limit) {
            out +=
                Format("... and %d more refused\n", static_cast<int>(plan.refusals.size() - limit));
            break;
        }
        // Line 0: a refusal that comes from no file line (varnel-cli set).
        std::string where = r.line != 0 ? Format("line %d", static_cast<int>(r.line)) : "";
        if (!r.column.empty())
            where += (where.empty() ? "column " : ", column ") + r.column;
        if (!r.value.empty() || !r.column.empty())
            where += (where.empty() ? "value \"" : ", value \"") + r.value + "\"";
        out += "refused: " + where + (where.empty() ? "" : ": ") + r.reason;
        if (!r.unit.empty())
            out += " (" + r.unit + ")";
        out += "\n";
    }
    shown = 0;
    for (const CsvWarning& w : plan.warnings) {
        if (limit != 0 && shown++ == limit) {
            out += Format("... and %d more warnings\n",
                          static_cast<int>(plan.warnings.size() - limit));
            break;
        }
        out += Format("warning: line %d, unit %d ", static_cast<int>(w.line),
                      static_cast<int>(w.unit)) +
               Utf8From1252(table.name(w.unit)) + ", " + std::string(w.field->label) + " \"" +
               Utf8From1252(w.before) + "\" -> \"" + Utf8From1252(w.after) + "\": " + w.why +
               ", as a spreadsheet does\n";
    }
    shown = 0;
    for (const CsvChange& c : plan.changes) {
        if (limit != 0 && shown++ == limit) {
            out += "...\n";
            break;
        }
        out += Format("unit %d ", static_cast<int>(c.unit)) +
               Utf8From1252(c.unit < table.count() ? table.name(c.unit) : "") + ": " +
               std::string(c.field->label) + " " + Utf8From1252(c.before) + " -> " +
               Utf8From1252(c.after) + "\n";
    }
    for (std::size_t k = 0; k < plan.appended.count(); ++k)
        out += Format("new unit %d ", static_cast<int>(table.count() + k)) +
               Utf8From1252(plan.appended.name(k)) + "\n";
    return out;
}

template std::string CsvPlanSummary(const Pg2CsvImportPlan&, const Pg2UnitTable&, std::size_t);
template std::string CsvPlanSummary(const PegCsvImportPlan&, const PegUnitTable&, std::size_t);

} // namespace varnel
