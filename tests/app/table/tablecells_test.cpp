// The units table without widgets: the shared filter and the sort, the block edits (one step,
// all or nothing), what a cell shows and takes, and spreadsheet text.

#include "app/table/tablecells.h"
#include "equip/unitfilter.h"
#include "tests/support/scriptedui.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace varnel {
namespace {

const FieldDef& field(Game g, const char* name) {
    const FieldDef* f = FindField(g, name);
    EXPECT_NE(f, nullptr) << name;
    return *f;
}

// A PeG table of seven units with names, countries, classes and costs chosen to test sorting
// and filtering; costs repeat so that a stable sort shows.
class TableCells : public ::testing::Test {
  protected:
    TableCells() : ui(test::MakeScriptedUi()), doc(*ui, store) {
        PegUnitTable table = test::SizedTable<PegUnitTable>(7);
        const struct {
            const char* name;
            const char* country;
            const char* unitClass;
            const char* cost;
        } units[] = {
            {"Tiger", "1", "3", "500"},
            {"\xC9lan", "2", "3", "120"},
            {"panther", "1", "4", "500"},
            {"Zebra", "1", "3", "90"},
            {"\xE9"
             "claireur",
             "2", "4", "500"},
            {"tiger II", "3", "3", "120"},
            {"Ant", "1", "3", "0"},
        };
        for (std::size_t i = 0; i < std::size(units); ++i) {
            table.units[i].record.setCode(static_cast<std::uint16_t>(i));
            table.setName(i, units[i].name);
            EXPECT_TRUE(SetPegField(table, i, field(Game::Peg, "country"), units[i].country).ok);
            EXPECT_TRUE(SetPegField(table, i, field(Game::Peg, "class"), units[i].unitClass).ok);
            EXPECT_TRUE(SetPegField(table, i, field(Game::Peg, "cost"), units[i].cost).ok);
        }
        doc.loadTable(std::move(table));
    }
    std::vector<int> sorted(const char* name, bool ascending, UnitFilter filter = {}) {
        std::vector<int> units = doc.filterUnits(Game::Peg, filter);
        doc.sortUnits(Game::Peg, field(Game::Peg, name), ascending, units);
        return units;
    }
    Bytes record(std::size_t unit) const {
        const auto& bytes = doc.peg()->units[unit].record.bytes;
        return Bytes(bytes.begin(), bytes.end());
    }
    MemorySettingsBackend store;
    std::unique_ptr<ScriptedUi> ui;
    CVarnelDoc doc;
};

TEST_F(TableCells, FilterAndSortTogether) {
    const struct {
        const char* label;
        int country;
        int unitClass;
        const char* find;
        const char* sortBy;
        bool ascending;
        std::vector<int> expected;
    } cases[] = {
        // Equal costs keep table order either way.
        {"cost up", 0, 0, "", "cost", true, {6, 3, 1, 5, 0, 2, 4}},
        {"cost down", 0, 0, "", "cost", false, {0, 2, 4, 1, 5, 3, 6}},
        // Without regard to case; accented letters fold too and sort after z.
        {"name up", 0, 0, "", "denomination", true, {6, 2, 0, 5, 3, 4, 1}},
        {"name down", 0, 0, "", "denomination", false, {1, 4, 3, 5, 0, 2, 6}},
        {"country 1", 1, 0, "", "cost", true, {6, 3, 0, 2}},
        {"class 3 of country 1", 1, 3, "", "cost", false, {0, 3, 6}},
        {"find tiger", 0, 0, "TIGER", "cost", true, {5, 0}},
        {"find folds accents", 0, 0, "\xC9", "denomination", true, {4, 1}},
        {"find with class", 0, 4, "an", "cost", true, {2}},
    };
    for (const auto& c : cases) {
        UnitFilter filter;
        filter.country = c.country;
        filter.unitClass = c.unitClass;
        filter.find = c.find;
        EXPECT_EQ(sorted(c.sortBy, c.ascending, filter), c.expected) << c.label;
        // One unit asked alone passes exactly when the list holds it.
        for (int unit = -1; unit <= 7; ++unit) {
            const bool listed =
                std::find(c.expected.begin(), c.expected.end(), unit) != c.expected.end();
            EXPECT_EQ(doc.passesFilter(Game::Peg, unit, filter), listed) << c.label << unit;
        }
    }
    UnitFilter nothing;
    nothing.unmatchable = true;
    EXPECT_TRUE(doc.filterUnits(Game::Peg, nothing).empty());
    EXPECT_FALSE(doc.passesFilter(Game::Peg, 0, nothing));
    EXPECT_FALSE(doc.passesFilter(Game::Pg2, 0, UnitFilter())); // no PG2 table
}

TEST_F(TableCells, BlockEditIsOneStepAndAllOrNothing) {
    const Bytes before2 = record(2);
    const Bytes before3 = record(3);
    const FieldDef& cost = field(Game::Peg, "cost");
    const FieldDef& air = field(Game::Peg, "airAtk");
    const std::vector<CellEdit> refused = {
        {2, &cost, "300"}, {3, &air, "17"}, {3, &cost, "99999"}, {4, &air, "1"}};
    const CellsResult no = doc.setFields(Game::Peg, refused, "Block");
    EXPECT_FALSE(no.ok);
    EXPECT_EQ(no.refused, 2);
    EXPECT_EQ(no.message,
              "Unit 3 Zebra, column Cost:\nPlease enter an integer between 0 and 2550.");
    EXPECT_EQ(record(2), before2);
    EXPECT_EQ(record(3), before3);
    EXPECT_EQ(doc.history(Game::Peg).count(), 0u);
    EXPECT_FALSE(doc.flag(Game::Peg, ChangeKind::Data));

    const std::vector<CellEdit> good = {
        {2, &cost, "300"}, {3, &air, "17"}, {3, &field(Game::Peg, "denomination"), "Zebu"}};
    const CellsResult yes = doc.setFields(Game::Peg, good, "Block");
    ASSERT_TRUE(yes.ok);
    EXPECT_EQ(yes.changed, 3u);
    EXPECT_EQ(doc.formatField(Game::Peg, 2, cost), "300");
    EXPECT_EQ(*doc.unitName(Game::Peg, 3), "Zebu");
    ASSERT_EQ(doc.history(Game::Peg).count(), 1u);
    EXPECT_TRUE(doc.flag(Game::Peg, ChangeKind::Data));
    EXPECT_TRUE(doc.flag(Game::Peg, ChangeKind::Names));

    ASSERT_TRUE(doc.undo(Game::Peg));
    EXPECT_EQ(record(2), before2);
    EXPECT_EQ(record(3), before3);
    EXPECT_EQ(*doc.unitName(Game::Peg, 3), "Zebra");
    EXPECT_FALSE(doc.isModified());
    ASSERT_TRUE(doc.redo(Game::Peg));
    EXPECT_EQ(doc.formatField(Game::Peg, 3, air), "17");
    EXPECT_EQ(*doc.unitName(Game::Peg, 3), "Zebu");

    // Values equal to the stored ones make no step.
    const std::vector<CellEdit> same = {{2, &cost, "300"}};
    EXPECT_EQ(doc.setFields(Game::Peg, same, "Block").changed, 0u);
    EXPECT_EQ(doc.history(Game::Peg).count(), 1u);
}

TEST_F(TableCells, CellItemsByPositionOrText) {
    const FieldDef& unitClass = field(Game::Peg, "class");
    const FieldDef& country = field(Game::Peg, "country");
    NameTable names(peg::kCountryCount);
    names.setName(1, "Germany");
    names.setCount(peg::kCountryCount);
    doc.setCountries(Game::Peg, std::move(names));
    const std::string item = doc.formatField(Game::Peg, 0, unitClass, FieldStyle::Cell);
    EXPECT_EQ(item, FieldItemText(unitClass, 3));
    EXPECT_EQ(doc.formatField(Game::Peg, 0, country, FieldStyle::Cell), ListItem(1, "Germany"));
    EXPECT_EQ(doc.formatField(Game::Peg, 0, field(Game::Peg, "cost"), FieldStyle::Cell), "500");
    // An item's text, in any case and with blanks around it, stores its position; so does a
    // country's T-File name, alone or as the list shows it.
    const struct {
        const FieldDef* field;
        std::string typed;
        std::string stored; // as the form shows it; "" refused
    } cases[] = {
        {&unitClass, " " + Folded1252(item) + " ", "3"},
        {&unitClass, "5", "5"},
        {&unitClass, "no such", ""},
        {&country, ListItem(2, "Germany"), ""}, // the wrong number for the name
        {&country, "  GERMANY ", "1"},
        {&country, ListItem(1, "Germany"), "1"},
        {&country, "0", "0"},
    };
    for (const auto& c : cases) {
        const FieldResult r = doc.setField(Game::Peg, 1, *c.field, c.typed);
        EXPECT_EQ(r.ok, !c.stored.empty()) << c.typed;
        if (r.ok) {
            EXPECT_EQ(doc.formatField(Game::Peg, 1, *c.field), c.stored) << c.typed;
        }
    }
    // A pasted block takes the items as a typed cell does, row after row.
    const FieldDef& air = field(Game::Peg, "airAtk");
    const std::vector<const FieldDef*> fields = {&unitClass, &country, &air};
    const auto block = ParseTabText(" " + Folded1252(item) + " \t" + ListItem(1, "Germany") +
                                    "\t7\n5\t" + Folded1252(ListItem(1, "Germany")) + "\t8\n");
    const CellsResult pasted = PasteCells(doc, Game::Peg, std::vector<int>{5, 6}, fields, block);
    ASSERT_TRUE(pasted.ok) << pasted.message;
    for (const auto& [unit, classShown, airShown] :
         {std::tuple{5, "3", "7"}, std::tuple{6, "5", "8"}}) {
        EXPECT_EQ(doc.formatField(Game::Peg, unit, unitClass), classShown) << unit;
        EXPECT_EQ(doc.formatField(Game::Peg, unit, country), "1") << unit;
        EXPECT_EQ(doc.formatField(Game::Peg, unit, air), airShown) << unit;
    }
}

TEST(TabText, SpreadsheetQuoting) {
    const struct {
        const char* text;
        std::vector<std::vector<std::string>> rows;
    } cases[] = {
        {"a\tb\r\nc\td\r\n", {{"a", "b"}, {"c", "d"}}},
        {"a\tb\nc", {{"a", "b"}, {"c"}}},
        {"\"x\ty\"\t\"say \"\"hi\"\"\"\r\n", {{"x\ty", "say \"hi\""}}},
        {"\"two\nlines\"\t\r\n", {{"two\nlines", ""}}},
        {"\t\r\n", {{"", ""}}},
        {"", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseTabText(c.text), c.rows) << c.text;
        EXPECT_EQ(ParseTabText(MakeTabText(c.rows)), c.rows) << c.text;
    }
    // Every byte but the line breaks comes back unquoted.
    std::string all;
    for (int b = 1; b < 256; ++b)
        if (b != '\t' && b != '\n' && b != '\r')
            all += static_cast<char>(b);
    const std::vector<std::vector<std::string>> rows = {{all, "x"}};
    EXPECT_EQ(ParseTabText(MakeTabText(rows)), rows);
}

TEST_F(TableCells, PasteScaleAndSetValue) {
    const FieldDef& cost = field(Game::Peg, "cost");
    const FieldDef& air = field(Game::Peg, "airAtk");
    const FieldDef& soft = field(Game::Peg, "softAtk");
    const FieldDef& name = field(Game::Peg, "denomination");
    const std::vector<int> units = {1, 2, 3, 4, 5, 6};
    const std::vector<const FieldDef*> fields = {&name, &cost, &air, &soft};
    std::vector<Bytes> before;
    for (std::size_t i = 0; i < 7; ++i)
        before.push_back(record(i));

    // A 3 x 4 block with one bad cell changes nothing.
    const auto bad = ParseTabText("A\t10\t1\t2\nB\t20\tx\t2\nC\t30\t1\t2\n");
    CellsResult r = PasteCells(doc, Game::Peg, units, fields, bad);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, "Unit 2 panther, column Air attack:\nPlease enter an integer.");
    for (std::size_t i = 0; i < 7; ++i)
        EXPECT_EQ(record(i), before[i]) << i;
    EXPECT_EQ(*doc.unitName(Game::Peg, 1), "\xC9lan");

    // Too large a block is refused before anything.
    r = PasteCells(doc, Game::Peg, std::vector<int>{6}, fields, bad);
    EXPECT_FALSE(r.ok);

    const auto good = ParseTabText("A\t10\t1\t2\nB\t20\t3\t2\nC\t30\t1\t2\n");
    r = PasteCells(doc, Game::Peg, units, fields, good);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(*doc.unitName(Game::Peg, 2), "B");
    EXPECT_EQ(doc.formatField(Game::Peg, 3, cost), "30");
    EXPECT_EQ(doc.history(Game::Peg).undoStep()->text(), "Paste (12 cells)");

    // Scaling cuts toward zero; costs are stored / 10, so 30 * 155 % = 46 stores 4 (shown 40).
    const std::vector<TableCell> costs = {{1, &cost}, {2, &cost}, {3, &cost}};
    r = ScaleCells(doc, Game::Peg, costs, 155);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(doc.formatField(Game::Peg, 1, cost), "10"); // 15 -> 10
    EXPECT_EQ(doc.formatField(Game::Peg, 2, cost), "30"); // 31 -> 30
    EXPECT_EQ(doc.formatField(Game::Peg, 3, cost), "40"); // 46 -> 40
    const std::vector<TableCell> names = {{1, &name}};
    EXPECT_FALSE(ScaleCells(doc, Game::Peg, names, 50).ok);

    r = SetCellsValue(doc, Game::Peg, costs, "250");
    ASSERT_TRUE(r.ok);
    for (std::size_t u = 1; u <= 3; ++u)
        EXPECT_EQ(doc.formatField(Game::Peg, u, cost), "250");
    EXPECT_EQ(doc.history(Game::Peg).undoStep()->text(), "Set Value (3 cells)");
    // Three steps back is the table as it was.
    for (int k = 0; k < 3; ++k)
        ASSERT_TRUE(doc.undo(Game::Peg));
    for (std::size_t i = 0; i < 7; ++i)
        EXPECT_EQ(record(i), before[i]) << i;
}

} // namespace
} // namespace varnel
