#include "convert/csvtable.h"

#include "equip/efile.h"
#include "equip/tfile.h"
#include "reports/equipreport.h"

#include <gtest/gtest.h>

#include <random>

namespace varnel {
namespace {

std::span<const std::uint8_t> Span(std::string_view s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

// A table read from random E-File bytes, as a load makes it (PG2 countries and switches decoded
// from the record), with codes equal to positions and names of every byte but line breaks.
template <class Table> Table RandomTable(std::size_t count, unsigned seed) {
    constexpr bool pg2 = std::is_same_v<Table, Pg2UnitTable>;
    const std::size_t size = pg2 ? pg2::kRecordSize : peg::kRecordSize;
    std::mt19937 random(seed);
    Bytes bytes(2 + count * size);
    for (auto& b : bytes)
        b = static_cast<std::uint8_t>(random());
    bytes[0] = static_cast<std::uint8_t>(count);
    bytes[1] = static_cast<std::uint8_t>(count >> 8);
    for (std::size_t i = 0; i < count; ++i) {
        bytes[2 + i * size] = static_cast<std::uint8_t>(i);
        bytes[3 + i * size] = static_cast<std::uint8_t>(i >> 8);
    }
    Table table;
    if constexpr (pg2)
        table.units = ParsePg2EFile(bytes).units;
    else
        table.units = ParsePegEFile(bytes).units;
    int next = 0;
    for (std::size_t i = 0; i < count; ++i) {
        std::string name;
        for (int k = 0; k < 12; ++k) {
            // Every byte value appears; CR and LF cannot stand in a name line.
            auto b = static_cast<char>(next++ % 256);
            if (b == '\r' || b == '\n')
                b = ' ';
            name += b;
        }
        table.setName(i, name);
    }
    return table;
}

template <class Table> CsvFile Read(const std::string& text) {
    CsvReadResult r = ReadCsv(Span(text));
    EXPECT_TRUE(r.file) << r.error;
    return r.file ? std::move(*r.file) : CsvFile{};
}

Bytes EFileOf(const Pg2UnitTable& t) {
    return WritePg2EFile(t);
}
Bytes EFileOf(const PegUnitTable& t) {
    return WritePegEFile(t);
}

// The table with a plan's changes put in, as the document's import step puts them.
template <class Table> Table Applied(Table table, const CsvImportPlan<Table>& plan) {
    for (std::size_t k = 0; k < plan.changedUnits.size(); ++k) {
        const std::size_t i = plan.changedUnits[k];
        table.units[i] = plan.changed.units[k];
        table.setName(i, plan.changed.name(k));
    }
    return table;
}

template <class Table> void ExpectRoundTrip(unsigned seed) {
    const Table table = RandomTable<Table>(300, seed);
    const std::string csv = WriteCsv(table);
    ASSERT_TRUE(csv.starts_with("\xEF\xBB\xBF"
                                "code,"));
    const CsvFile file = Read<Table>(csv);
    ASSERT_EQ(file.rowCount(), table.count());
    // Each cell is what the form shows, under the row's stable name.
    const Game game = std::is_same_v<Table, Pg2UnitTable> ? Game::Pg2 : Game::Peg;
    for (std::size_t c = 1; c < file.header.size(); ++c) {
        const FieldDef& f = *FindField(game, file.header[c]);
        for (std::size_t i = 0; i < table.count(); i += 7) {
            std::string shown;
            if constexpr (std::is_same_v<Table, Pg2UnitTable>)
                shown = FormatField(table, i, f, FieldStyle::Form);
            else
                shown = FormatField(table, i, f, FieldStyle::Form);
            // A text a spreadsheet would read as a formula carries one apostrophe before it.
            const std::size_t first = shown.find_first_not_of('\'');
            const bool guarded =
                IsTextField(f) && first != std::string::npos &&
                std::string_view("=+-@\t\r").find(shown[first]) != std::string_view::npos;
            ASSERT_EQ(file.cell(i, c), (guarded ? "'" : "") + Utf8From1252(shown))
                << f.name << " of " << i;
        }
    }

    // Back into the same table: nothing changes.
    const auto same = PlanCsvImport(table, file, {});
    EXPECT_TRUE(same.ok()) << CsvPlanSummary(same, table, 5);
    EXPECT_TRUE(same.empty());
    EXPECT_TRUE(same.changes.empty());

    // What a save would write is the same bytes.
    const Table after = Applied(table, same);
    EXPECT_EQ(EFileOf(after), EFileOf(table));
    EXPECT_EQ(WriteNamesFile(after), WriteNamesFile(table));
}

TEST(CsvRoundTrip, Pg2EveryFieldComesBack) {
    ExpectRoundTrip<Pg2UnitTable>(1);
}

TEST(CsvRoundTrip, PegEveryFieldComesBack) {
    ExpectRoundTrip<PegUnitTable>(2);
}

TEST(CsvText, All256ByteValuesComeBack) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const std::string utf8 = Utf8From1252(all);
    EXPECT_EQ(utf8.find('\0'), std::string::npos);
    EXPECT_EQ(Utf8To1252(utf8), all);
    EXPECT_EQ(Utf8From1252("\x80\xE9"), "\u20AC\u00E9");
}

TEST(CsvText, RefusesWhatWindows1252CannotHold) {
    long bad = 0;
    EXPECT_FALSE(Utf8To1252("\u0416", &bad));
    EXPECT_EQ(bad, 0x416);
    EXPECT_FALSE(Utf8To1252("\xC0\x80", &bad)); // an overlong NUL
    EXPECT_EQ(bad, -1);
}

TEST(CsvWriter, QuotesOnlyWhereNeeded) {
    PegUnitTable table;
    table.units.resize(2);
    table.setName(0, "Tiger, \"the\" first");
    table.setName(1, "Panther");
    const std::string csv = WriteCsv(table);
    EXPECT_NE(csv.find("\r\n0,\"Tiger, \"\"the\"\" first\","), std::string::npos) << csv;
    EXPECT_NE(csv.find("\r\n1,Panther,"), std::string::npos);
    EXPECT_TRUE(csv.ends_with("\r\n"));
}

// --- Damaged files ---------------------------------------------------------------------------

struct DamagedCase {
    const char* name;
    std::string text;
    std::size_t line;
    const char* says;
};

class DamagedCsv : public ::testing::TestWithParam<DamagedCase> {};

TEST_P(DamagedCsv, IsRefusedNamingTheLine) {
    const CsvReadResult r = ReadCsv(Span(GetParam().text));
    EXPECT_FALSE(r.file);
    EXPECT_EQ(r.line, GetParam().line);
    EXPECT_NE(r.error.find(GetParam().says), std::string::npos) << r.error;
    EXPECT_TRUE(r.error.starts_with("line " + std::to_string(GetParam().line) + ": ")) << r.error;
}

INSTANTIATE_TEST_SUITE_P(
    Csv, DamagedCsv,
    ::testing::Values(DamagedCase{"Empty", "", 1, "empty"},
                      DamagedCase{"OnlyByteOrderMark", "\xEF\xBB\xBF\r\n", 1, "empty"},
                      DamagedCase{"UnbalancedQuote", "code,name\r\n0,a\r\n1,\"open\r\n2,c\r\n", 3,
                                  "unbalanced quotes"},
                      DamagedCase{"MoreCells", "code,name\r\n0,a\r\n1,b,c\r\n", 3, "3 cells"},
                      DamagedCase{"FewerCells", "code,name\r\n0,a\r\n\r\n1\r\n", 4, "1 cells"},
                      DamagedCase{"Binary", std::string("code,name\r\n0,a\0b\r\n", 17), 2,
                                  "binary"},
                      DamagedCase{"BadUtf8AfterMark",
                                  "\xEF\xBB\xBF"
                                  "code,name\r\n0,ok\r\n1,\xFF\r\n",
                                  3, "not valid UTF-8"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CsvReader, QuotedLineBreaksKeepTheLineOfTheirRow) {
    const CsvReadResult r = ReadCsv(Span("code,name\n0,\"two\nlines\"\n\n1,x\n"));
    ASSERT_TRUE(r.file) << r.error;
    ASSERT_EQ(r.file->rowCount(), 2u);
    EXPECT_EQ(r.file->cell(0, 1), "two\nlines");
    EXPECT_EQ(r.file->lines[0], 2u);
    EXPECT_EQ(r.file->lines[1], 5u);
}

TEST(CsvReader, ReadsAFileThatIsNotUtf8AsWindows1252) {
    const CsvReadResult r = ReadCsv(Span("code;denomination\r\n0;Fl\xE4"
                                         "chenbrand\r\n"));
    ASSERT_TRUE(r.file) << r.error;
    EXPECT_TRUE(r.file->read1252);
    EXPECT_EQ(r.file->delimiter, ';');
    EXPECT_EQ(r.file->cell(0, 1), "Fl\u00E4chenbrand");
    PegUnitTable table;
    table.units.resize(1);
    const auto plan = PlanCsvImport(table, *r.file, {});
    ASSERT_EQ(plan.notes.size(), 2u);
    EXPECT_NE(plan.notes[0].find("Windows-1252"), std::string::npos);
    EXPECT_NE(plan.notes[1].find("Semicolon-delimited"), std::string::npos);
}

// --- Import ----------------------------------------------------------------------------------

// A table of 4 units, exported, one cell or header of the text replaced, imported.
struct RefusalCase {
    const char* name;
    std::string from; // replaced once in the CSV text
    std::string to;
    bool append;
    std::size_t line;
    const char* column;
    const char* reason;
};

class CsvRefusals : public ::testing::TestWithParam<RefusalCase> {};

Pg2UnitTable FourUnits() {
    Pg2UnitTable table;
    table.units.resize(4);
    for (std::size_t i = 0; i < 4; ++i) {
        table.units[i].record.setCode(static_cast<std::uint16_t>(i));
        table.units[i].record[pg2::Cost] = static_cast<std::uint8_t>(10 + i);
        table.setName(i, "unit" + std::to_string(i));
    }
    return table;
}

TEST_P(CsvRefusals, NamesRowColumnValueAndReason) {
    const RefusalCase& c = GetParam();
    const Pg2UnitTable table = FourUnits();
    std::string csv = WriteCsv(table);
    const auto at = csv.find(c.from);
    ASSERT_NE(at, std::string::npos) << c.from;
    csv.replace(at, c.from.size(), c.to);
    const auto plan = PlanCsvImport(table, Read<Pg2UnitTable>(csv), {.append = c.append});
    ASSERT_FALSE(plan.ok());
    EXPECT_TRUE(plan.empty());
    const CsvRefusal& r = plan.refusals.front();
    EXPECT_EQ(r.line, c.line);
    EXPECT_EQ(r.column, c.column);
    EXPECT_NE(r.reason.find(c.reason), std::string::npos) << r.reason;
}

INSTANTIATE_TEST_SUITE_P(
    Import, CsvRefusals,
    ::testing::Values(
        RefusalCase{"NotANumber", "unit1,0,", "unit1,x,", false, 3, "country",
                    "Please enter an integer."},
        RefusalCase{"UnknownHeader", ",softAtk,", ",softAttack,", false, 1, "softAttack",
                    "No field of PG2 has this name."},
        RefusalCase{"NoCodeColumn", "code,", "kode,", false, 1, "kode", "No field"},
        RefusalCase{"PastTheEnd", "\r\n3,", "\r\n9,", false, 5, "code", "past the last unit"},
        RefusalCase{"Gap", "\r\n3,", "\r\n5,", true, 5, "code", "leaves a gap"},
        RefusalCase{"SameCodeTwice", "\r\n3,", "\r\n1,", false, 5, "code", "on line 3 too"},
        RefusalCase{"NotInWindows1252", "unit0", "unit\u0416", false, 2, "denomination", "U+0416"},
        RefusalCase{"NameTooLong", "unit3", std::string(1100, 'x'), false, 5, "denomination",
                    "no more than 1024"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CsvImport, RefusesARangeAndAReadOnlyValueWithTheFormsMessages) {
    const Pg2UnitTable table = FourUnits();
    std::string csv = "code,cost,byteB21\r\n1,9999,0\r\n2,24,7\r\n";
    const auto plan = PlanCsvImport(table, Read<Pg2UnitTable>(csv), {});
    ASSERT_EQ(plan.refusals.size(), 2u);
    EXPECT_EQ(plan.refusals[0].line, 2u);
    EXPECT_EQ(plan.refusals[0].value, "9999");
    EXPECT_EQ(plan.refusals[0].reason, "Please enter an integer between 0 and 3060.");
    EXPECT_EQ(plan.refusals[1].line, 3u);
    EXPECT_EQ(plan.refusals[1].column, "byteB21");
    EXPECT_NE(plan.refusals[1].reason.find("cannot be changed"), std::string::npos);
    // A preview lists the first refusals and says how many more there are.
    const std::string summary = CsvPlanSummary(plan, table, 1);
    EXPECT_NE(summary.find("line 2, column cost, value \"9999\""), std::string::npos) << summary;
    EXPECT_EQ(summary.find("byteB21"), std::string::npos) << summary;
    EXPECT_NE(summary.find("... and 1 more refused"), std::string::npos) << summary;
}

// What a spreadsheet may hand back: a value the byte cannot hold exactly is refused with the
// form's message, never rounded, wrapped or cut; what spreadsheets add around the data is
// skipped; a semicolon file is a report only when its header is a report's.
struct SheetCase {
    const char* name;
    std::string csv;
    const char* refusal; // the reason of the one refusal; "" when none
    const char* after;   // the cost (or the one changed field) afterwards; "" when no change
    const char* note;    // a note the plan carries; "" when none is checked
};

class CsvFromSheets : public ::testing::TestWithParam<SheetCase> {};

TEST_P(CsvFromSheets, KeepsEveryValueExactOrSaysWhy) {
    const SheetCase& c = GetParam();
    const Pg2UnitTable table = FourUnits();
    const CsvReadResult read = ReadCsv(Span(c.csv));
    ASSERT_TRUE(read.file) << read.error;
    const auto plan = PlanCsvImport(table, *read.file, {});
    if (*c.refusal != '\0') {
        ASSERT_EQ(plan.refusals.size(), 1u) << CsvPlanSummary(plan, table);
        EXPECT_EQ(plan.refusals[0].reason, c.refusal);
    } else {
        EXPECT_TRUE(plan.ok()) << CsvPlanSummary(plan, table);
    }
    if (*c.after != '\0') {
        ASSERT_EQ(plan.changes.size(), 1u) << CsvPlanSummary(plan, table);
        EXPECT_EQ(plan.changes[0].after, c.after);
    } else {
        EXPECT_TRUE(plan.changes.empty()) << CsvPlanSummary(plan, table);
    }
    if (*c.note != '\0') {
        EXPECT_NE(CsvPlanSummary(plan, table).find(c.note), std::string::npos)
            << CsvPlanSummary(plan, table);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Import, CsvFromSheets,
    ::testing::Values(
        SheetCase{"CostBetweenMultiples", "code,cost\r\n1,227\r\n",
                  "Please enter a multiple of 12, such as 216 or 228.", "", ""},
        SheetCase{"CostMultiple", "code,cost\r\n1,228\r\n", "", "228", ""},
        // Columns by the form's caption, any case; drop-downs by their item's words.
        SheetCase{"CaptionHeader", "code,YEAR AVAILABLE\r\n1,1944\r\n", "", "1944", ""},
        SheetCase{"ClassByItsWords", "code,class\r\n1,recon\r\n", "", "3", ""},
        SheetCase{"ClassNotAnItem", "code,class\r\n1,Reco\r\n", "Please enter an integer.", "", ""},
        SheetCase{"YearOfTwoDigits", "code,yearAvaible\r\n1,39\r\n",
                  "Please enter an integer between 1900 and 2155.", "", ""},
        SheetCase{"YearPastTheByte", "code,yearExpired\r\n1,3000\r\n",
                  "Please enter an integer between 1900 and 2155.", "", ""},
        SheetCase{"IconTooLong", "code,icon\r\n1,ABCDEFG\r\n",
                  "Please enter no more than 6 characters.", "", ""},
        SheetCase{"SemicolonsInTheFormsUnits", "Code;cost\r\n1;72\r\n", "", "72",
                  "Semicolon-delimited, read as the unit form shows values"},
        SheetCase{"PartOfAReportHeader", "Code;Denomination;Country;Class\r\n1;unit1;0;0\r\n", "",
                  "", "Semicolon-delimited"},
        SheetCase{"TrailingEmptyColumns", "code,cost,,\r\n1,144,,\r\n", "", "144", ""},
        SheetCase{"EmptyColumnWithValues", "code,cost,\r\n1,144,7\r\n",
                  "Column 3 has values but no header.", "", ""},
        SheetCase{"RowsOfEmptyCells", "code,cost\r\n,\r\n1,144\r\n , \r\n", "", "144", ""},
        SheetCase{"LfLineEnds", "code,cost\n1,144\n", "", "144", ""},
        SheetCase{"CrLineEnds", "code,cost\r1,144\r", "", "144", ""},
        SheetCase{"ClassByItemWords",
                  "code,class\r\n1," + std::string(Pg2ClassNames.text(3)) + "\r\n", "", "3", ""},
        // A number written another way than the writer writes it is the same number.
        SheetCase{"SameNumbersWrittenOtherwise", "code,cost,fuel,ammo\r\n1,+132,-0, 00\r\n", "", "",
                  ""},
        SheetCase{"NegativeOutsideTheRange", "code,fuel\r\n1,-1\r\n",
                  "Please enter an integer between 0 and 255.", "", ""},
        SheetCase{"DoubledByteOrderMark",
                  "\xEF\xBB\xBF\xEF\xBB\xBF"
                  "code,cost\r\n1,144\r\n",
                  "", "144", ""}),
    [](const auto& info) { return std::string(info.param.name); });

// A text a spreadsheet would take as a formula is written with one leading apostrophe, which
// the reader removes again: the sheet shows text and every name comes back exactly.
struct GuardCase {
    const char* name;
    std::string text;
    std::string cell; // as the CSV holds it
};

class CsvFormulaGuard : public ::testing::TestWithParam<GuardCase> {};

TEST_P(CsvFormulaGuard, WritesTextAndReadsItBackExactly) {
    const GuardCase& c = GetParam();
    Pg2UnitTable table = FourUnits();
    table.setName(1, c.text);
    const std::string csv = WriteCsv(table);
    const CsvFile file = Read<Pg2UnitTable>(csv);
    ASSERT_EQ(file.rowCount(), 4u);
    EXPECT_EQ(file.cell(1, 1), c.cell);

    EXPECT_TRUE(PlanCsvImport(table, file, {}).empty());
    Pg2UnitTable renamed = table;
    renamed.setName(1, "before");
    const auto plan = PlanCsvImport(renamed, file, {});
    ASSERT_EQ(plan.changes.size(), 1u) << CsvPlanSummary(plan, renamed);
    EXPECT_EQ(plan.changes[0].after, c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Csv, CsvFormulaGuard,
    ::testing::Values(GuardCase{"Equals", "=1+1", "'=1+1"}, GuardCase{"Plus", "+49 MG", "'+49 MG"},
                      GuardCase{"Minus", "-5", "'-5"}, GuardCase{"At", "@SUM(A1)", "'@SUM(A1)"},
                      GuardCase{"Tab", "\tTiger", "'\tTiger"},
                      GuardCase{"Hyperlink", "=HYPERLINK(\"x\")", "'=HYPERLINK(\"x\")"},
                      GuardCase{"OwnApostropheBeforeFormula", "'=x", "''=x"},
                      GuardCase{"TwoOwnApostrophes", "''-y", "'''-y"},
                      GuardCase{"OwnApostropheOnly", "'plain", "'plain"},
                      GuardCase{"ApostropheAlone", "'", "'"},
                      GuardCase{"FormulaCharacterInside", "T-34", "T-34"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CsvFormulaGuard, CoversIconTexts) {
    Pg2UnitTable table = FourUnits();
    const FieldDef& icon = *FindField(Game::Pg2, "icon");
    ASSERT_TRUE(SetPg2Field(table, 2, icon, "=A1").ok);
    const CsvFile file = Read<Pg2UnitTable>(WriteCsv(table));
    std::size_t column = 0;
    while (column < file.header.size() && file.header[column] != "icon")
        ++column;
    ASSERT_LT(column, file.header.size());
    EXPECT_EQ(file.cell(2, column), "'=A1");
    Pg2UnitTable other = table;
    ASSERT_TRUE(SetPg2Field(other, 2, icon, "B").ok);
    const auto plan = PlanCsvImport(other, file, {});
    ASSERT_EQ(plan.changes.size(), 1u);
    EXPECT_EQ(plan.changes[0].after, "=A1");
}

// A text change a spreadsheet makes on its own is listed as a warning; the change stays planned.
struct WarningCase {
    const char* name;
    const char* field;
    std::string before;
    std::string after;
    const char* why; // "" when no warning is due
};

class CsvSpreadsheetChanges : public ::testing::TestWithParam<WarningCase> {};

TEST_P(CsvSpreadsheetChanges, AreListedAsWarnings) {
    const WarningCase& c = GetParam();
    Pg2UnitTable table = FourUnits();
    const FieldDef& f = *FindField(Game::Pg2, c.field);
    ASSERT_TRUE(SetPg2Field(table, 2, f, c.before).ok);
    const auto plan = PlanCsvImport(
        table, Read<Pg2UnitTable>(std::string("code,") + c.field + "\r\n2," + c.after + "\r\n"),
        {});
    ASSERT_TRUE(plan.ok()) << CsvPlanSummary(plan, table);
    EXPECT_EQ(plan.changes.size(), 1u);
    const std::string summary = CsvPlanSummary(plan, table);
    if (*c.why == '\0') {
        EXPECT_TRUE(plan.warnings.empty()) << summary;
        return;
    }
    ASSERT_EQ(plan.warnings.size(), 1u) << summary;
    EXPECT_EQ(plan.warnings[0].why, c.why);
    EXPECT_EQ(plan.warnings[0].line, 2u);
    // The unit by its name before the import.
    const std::string unit = f.kind == FieldKind::Name ? c.before : std::string("unit2");
    EXPECT_NE(summary.find("warning: line 2, unit 2 " + unit + ", " + std::string(f.label) + " \"" +
                           c.before + "\" -> \"" + c.after + "\": " + c.why +
                           ", as a spreadsheet does"),
              std::string::npos)
        << summary;
}

INSTANTIATE_TEST_SUITE_P(
    Import, CsvSpreadsheetChanges,
    ::testing::Values(
        WarningCase{"IconLeadingZeros", "icon", "0123", "123", "leading zeros dropped"},
        WarningCase{"NameAllZeros", "denomination", "000", "0", "leading zeros dropped"},
        WarningCase{"IconFromExponent", "icon", "1E5", "100000", "a number in exponent form"},
        WarningCase{"NameIntoExponent", "denomination", "123456789012345", "1.23457E+14",
                    "a number in exponent form"},
        WarningCase{"NameIntoDate", "denomination", "3-4", "2024-03-04", "a date"},
        WarningCase{"NameIntoSlashDate", "denomination", "1/2", "01/02/2024", "a date"},
        WarningCase{"OrdinaryRename", "denomination", "T-34", "T-34/85", ""},
        WarningCase{"ZerosAdded", "icon", "123", "0123", ""},
        WarningCase{"OtherNumber", "icon", "0123", "124", ""}),
    [](const auto& info) { return std::string(info.param.name); });

// The summary leads with what is refused, naming the unit; a huge cell is cut in the message.
TEST(CsvSummary, LeadsWithRefusalsNamingTheUnitAndCutsLongCells) {
    const Pg2UnitTable table = FourUnits();
    const std::string wide = std::string(5000, '7');
    std::string cyrillic;
    for (int k = 0; k < 100; ++k)
        cyrillic += "\u0416";
    const std::string csv = "code,cost,denomination\r\n1,24,unit1\r\n2," + wide +
                            ",unit2\r\n3,36," + cyrillic + "\r\n5,x,Late\r\n";
    const auto plan = PlanCsvImport(table, Read<Pg2UnitTable>(csv), {.append = true});
    ASSERT_EQ(plan.refusals.size(), 3u);
    EXPECT_EQ(plan.refusals[0].value, std::string(80, '7') + "...");
    EXPECT_EQ(plan.refusals[0].unit, "unit 2 unit2");
    std::string cut;
    for (int k = 0; k < 80; ++k)
        cut += "\u0416";
    EXPECT_EQ(plan.refusals[1].value, cut + "...");
    EXPECT_EQ(plan.refusals[2].unit, "new unit 5 Late");
    const std::string summary = CsvPlanSummary(plan, table);
    const auto refused =
        summary.find("refused: line 3, column cost, value \"" + std::string(80, '7') +
                     "...\": Please enter an integer. (unit 2 unit2)");
    EXPECT_NE(refused, std::string::npos) << summary;
    const auto change = summary.find("unit 1 unit1: Cost 132 -> 24");
    EXPECT_NE(change, std::string::npos) << summary;
    EXPECT_LT(refused, change);
    EXPECT_EQ(summary.find(std::string(81, '7')), std::string::npos);
}

// Leaving the refused rows out: what remains applies, a new unit after a left-out one goes too,
// and a refused column leaves nothing to apply.
TEST(CsvImport, RefusedRowsAreLeftOutUntilTheRestApplies) {
    const Pg2UnitTable table = FourUnits();
    const std::string csv = "code,cost\r\n1,abc\r\n2,24\r\n4,36\r\n5,48\r\n6,x\r\n";
    std::vector<std::size_t> skipped;
    const auto rest = WithoutRefusedRows(table, Read<Pg2UnitTable>(csv), {.append = true}, skipped);
    ASSERT_TRUE(rest);
    EXPECT_EQ(skipped, (std::vector<std::size_t>{2, 6}));
    const auto plan = PlanCsvImport(table, *rest, {.append = true});
    EXPECT_TRUE(plan.ok()) << CsvPlanSummary(plan, table);
    EXPECT_EQ(plan.changedUnits, (std::vector<std::uint32_t>{2}));
    EXPECT_EQ(plan.appended.count(), 2u);
    EXPECT_EQ(rest->lines, (std::vector<std::uint32_t>{3, 4, 5}));

    // A new unit whose row is refused takes the units after it out as well.
    const std::string gap = "code,cost\r\n4,abc\r\n5,48\r\n6,60\r\n";
    ASSERT_TRUE(WithoutRefusedRows(table, Read<Pg2UnitTable>(gap), {.append = true}, skipped));
    EXPECT_EQ(skipped, (std::vector<std::size_t>{2, 3, 4}));

    EXPECT_FALSE(
        WithoutRefusedRows(table, Read<Pg2UnitTable>("code,kost\r\n1,12\r\n"), {}, skipped));
}

TEST(CsvReader, SaysUtf16IsToBeSavedAsUtf8) {
    for (const std::string& bom : {std::string("\xFF\xFE"), std::string("\xFE\xFF")}) {
        std::string text = bom;
        for (const char c : std::string("code,cost\r\n1,12\r\n"))
            text += bom[0] == '\xFF' ? std::string{c, '\0'} : std::string{'\0', c};
        const CsvReadResult r = ReadCsv(Span(text));
        EXPECT_FALSE(r.file);
        EXPECT_NE(r.error.find("UTF-16: save the file as UTF-8"), std::string::npos) << r.error;
    }
}

TEST(CsvImport, NoCodeColumnIsRefusedOnTheHeaderLine) {
    const auto plan = PlanCsvImport(FourUnits(), Read<Pg2UnitTable>("cost\r\n12\r\n"), {});
    ASSERT_EQ(plan.refusals.size(), 1u);
    EXPECT_EQ(plan.refusals[0].line, 1u);
    EXPECT_NE(plan.refusals[0].reason.find("no code column"), std::string::npos);
}

// Edits made in the CSV text give the same table as the same edits made through SetField.
TEST(CsvImport, EditsInTheTextEqualTheSameEditsThroughSetField) {
    PegUnitTable table = RandomTable<PegUnitTable>(20, 7);
    SetPegStoredValue(table.units[11], *FindField(Game::Peg, "hide"), 1);
    struct Edit {
        std::size_t unit;
        const char* field;
        std::string shown; // Windows-1252, as the form takes it
    };
    const std::vector<Edit> edits = {
        {3, "cost", "120"},   {3, "yearAvaible", "2041"}, {5, "denomination", "K\xF6nig"},
        {7, "airAtk", " 9 "}, {8, "unitIcon", "NEW"},     {9, "country", "4"},
        {11, "hide", "0"},    {12, "byte55", "32"},
    };
    // Columns absent from the file stay as they are: only the edited ones go back.
    std::string csv = "\xEF\xBB\xBF"
                      "CODE,Cost,yearAvaible,DENOMINATION,airAtk,unitIcon,"
                      "country,hide,byte55\r\n";
    PegUnitTable expected = table;
    for (std::size_t i = 0; i < table.count(); ++i) {
        std::string row = std::to_string(i);
        for (const char* name : {"cost", "yearAvaible", "denomination", "airAtk", "unitIcon",
                                 "country", "hide", "byte55"}) {
            const FieldDef& f = *FindField(Game::Peg, name);
            std::string cell = FormatField(table, i, f, FieldStyle::Form);
            for (const Edit& e : edits)
                if (e.unit == i && f.name == std::string_view(e.field))
                    cell = e.shown;
            const std::string utf8 = Utf8From1252(cell);
            row += ",\"" + utf8 + "\"";
        }
        csv += row + "\r\n";
    }
    for (const Edit& e : edits)
        ASSERT_TRUE(SetPegField(expected, e.unit, *FindField(Game::Peg, e.field), e.shown).ok)
            << e.field;
    const auto plan = PlanCsvImport(table, Read<PegUnitTable>(csv), {});
    ASSERT_TRUE(plan.ok()) << CsvPlanSummary(plan, table);
    table = Applied(table, plan);
    EXPECT_EQ(WritePegEFile(table), WritePegEFile(expected));
    EXPECT_EQ(WriteNamesFile(table), WriteNamesFile(expected));
    EXPECT_EQ(plan.changedUnits, (std::vector<std::uint32_t>{3, 5, 7, 8, 9, 11, 12}));
}

// The four-option limit is judged on the row as a whole: an option may be set in the same row
// that clears another.
TEST(CsvImport, AnOptionMaySwapWithAnotherInOneRow) {
    PegUnitTable table;
    table.units.resize(1);
    const char* const on[] = {"ignoreEntrench", "bridge", "airborne", "quickEntrench"};
    for (const char* name : on)
        ASSERT_TRUE(SetPegField(table, 0, *FindField(Game::Peg, name), "1").ok) << name;
    const auto plan = PlanCsvImport(
        table, Read<PegUnitTable>("code,riverAssault,quickEntrench\r\n0,1,0\r\n"), {});
    EXPECT_TRUE(plan.ok()) << CsvPlanSummary(plan, table);
    EXPECT_EQ(plan.changes.size(), 2u);
    const auto five = PlanCsvImport(
        table, Read<PegUnitTable>("code,riverAssault,quickEntrench\r\n0,1,1\r\n"), {});
    ASSERT_EQ(five.refusals.size(), 1u);
    EXPECT_EQ(five.refusals[0].reason, "Only 4 iconed options");
}

// Last year's semicolon reports come back by their column names: unchanged into the table they
// came from, and into a table whose costs differ, the reports' stored costs put back as they were.
template <class Table> void ExpectReportsComeBack(Game game, unsigned seed) {
    constexpr bool pg2 = std::is_same_v<Table, Pg2UnitTable>;
    Table table = RandomTable<Table>(40, seed);
    // Report lines hold names and icons unquoted: keep to texts a semicolon cannot split.
    for (std::size_t i = 0; i < table.count(); ++i) {
        table.setName(i, "Unit " + std::to_string(i) + " \"Tiger\"");
        for (const char* icon : {"icon", "unitIcon", "movIcon"})
            if (const FieldDef* f = FindField(game, icon))
                for (std::size_t k = 0; k < pg2::kIconLength; ++k)
                    table.units[i].record.bytes[static_cast<std::size_t>(f->offset) + k] =
                        k < 2 ? 'I' : 0;
    }
    const NameTable countries(CountryCount(game));
    const FieldDef& cost = *FindField(game, "cost");
    for (int format : {FullTable, BriefTable}) {
        Bytes report;
        if constexpr (pg2)
            report = WritePg2Report(table, countries, "EQUIP97.EQP", format);
        else
            report = WritePegReport(table, countries, "EQUIP97.EQP", format);
        const CsvReadResult r = ReadCsv(report);
        ASSERT_TRUE(r.file) << r.error;
        EXPECT_EQ(r.file->delimiter, ';');
        const auto plan = PlanCsvImport(table, *r.file, {});
        EXPECT_TRUE(plan.ok()) << format << CsvPlanSummary(plan, table, 5);
        EXPECT_TRUE(plan.empty()) << format << CsvPlanSummary(plan, table, 5);

        Table cheaper = table;
        cheaper.units[7].record[cost.offset] =
            static_cast<std::uint8_t>(table.units[7].record[cost.offset] ^ 1);
        const auto back = PlanCsvImport(cheaper, *r.file, {});
        ASSERT_EQ(back.changes.size(), 1u) << CsvPlanSummary(back, cheaper, 5);
        EXPECT_EQ(back.changes[0].after,
                  std::to_string(ShownValue(cost, table.units[7].record[cost.offset])));
    }
}

TEST(CsvImport, Pg2EquipmentReportsComeBack) {
    ExpectReportsComeBack<Pg2UnitTable>(Game::Pg2, 3);
}

TEST(CsvImport, PegEquipmentReportsComeBack) {
    ExpectReportsComeBack<PegUnitTable>(Game::Peg, 4);
}

// A row copied in a spreadsheet, read-only columns and all, given the next code: a new unit
// that is the copy, with its own code.
template <class Table> void ExpectCopiedRowAppends(unsigned seed) {
    constexpr bool pg2 = std::is_same_v<Table, Pg2UnitTable>;
    const Game game = pg2 ? Game::Pg2 : Game::Peg;
    Table table = RandomTable<Table>(30, seed);
    // Random bytes, each form field brought into what its box takes; the rest stays random.
    for (auto& unit : table.units)
        for (const FieldDef& f : FormFields(game)) {
            if (IsTextField(f) || f.kind == FieldKind::AnyInteger)
                continue;
            const int top = (f.maxShown - f.base) / f.scale;
            const int bottom = (f.minShown - f.base) / f.scale;
            if constexpr (pg2) {
                SetPg2StoredValue(unit, f, bottom + Pg2StoredValue(unit, f) % (top - bottom + 1));
            } else {
                SetPegStoredValue(unit, f, bottom + PegStoredValue(unit, f) % (top - bottom + 1));
            }
        }
    const std::string csv = WriteCsv(table);
    for (std::size_t source : {std::size_t{0}, std::size_t{17}, std::size_t{29}}) {
        const CsvFile file = Read<Table>(csv);
        std::string copy = "30";
        for (std::size_t c = 1; c < file.header.size(); ++c) {
            // Every cell quoted, its quotes doubled, as RFC 4180 allows.
            std::string quoted;
            for (const char ch : file.cell(source, c))
                quoted += ch == '"' ? std::string("\"\"") : std::string(1, ch);
            copy += ",\"" + quoted + "\"";
        }
        const auto plan = PlanCsvImport(table, Read<Table>(csv + copy + "\r\n"), {.append = true});
        ASSERT_TRUE(plan.ok()) << source << " " << CsvPlanSummary(plan, table, 5);
        ASSERT_EQ(plan.appended.count(), 1u);
        EXPECT_TRUE(plan.changes.empty());
        Table both = table;
        both.units.push_back(plan.appended.units[0]);
        both.setName(30, plan.appended.name(0));
        const Bytes bytes = EFileOf(both);
        const std::size_t size = (bytes.size() - 2) / 31;
        Bytes original(bytes.begin() + 2 + static_cast<std::ptrdiff_t>(source * size),
                       bytes.begin() + 2 + static_cast<std::ptrdiff_t>((source + 1) * size));
        Bytes copied(bytes.begin() + 2 + static_cast<std::ptrdiff_t>(30 * size), bytes.end());
        EXPECT_EQ(copied[0], 30);
        EXPECT_EQ(copied[1], 0);
        original[0] = 30;
        original[1] = 0;
        EXPECT_EQ(copied, original) << "copy of " << source;
        EXPECT_EQ(both.name(30), table.name(source));
    }
}

TEST(CsvImport, Pg2CopiedRowAppendsAsACopy) {
    ExpectCopiedRowAppends<Pg2UnitTable>(11);
}

TEST(CsvImport, PegCopiedRowAppendsAsACopy) {
    ExpectCopiedRowAppends<PegUnitTable>(12);
}

TEST(CsvImport, NewUnitsNeedAppendingAndTakeTheirPositionsAsCodes) {
    const Pg2UnitTable table = FourUnits();
    const std::string csv = "code,denomination,cost\r\n5,second,24\r\n4,first,12\r\n";
    EXPECT_FALSE(PlanCsvImport(table, Read<Pg2UnitTable>(csv), {}).ok());
    const auto plan = PlanCsvImport(table, Read<Pg2UnitTable>(csv), {.append = true});
    ASSERT_TRUE(plan.ok()) << CsvPlanSummary(plan, table);
    ASSERT_EQ(plan.appended.count(), 2u);
    EXPECT_EQ(plan.appended.name(0), "first");
    EXPECT_EQ(plan.appended.units[1].record.code(), 5);
    EXPECT_EQ(plan.appended.units[1].record[pg2::Cost], 2);
}

} // namespace
} // namespace varnel
