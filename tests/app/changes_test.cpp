// What changed since the last load or save: the tint's question, the filters that list units by a
// condition or by a change, and the values a step lists in the history.

#include "app/table/tablecells.h"
#include "tests/support/scriptedui.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

namespace varnel {
namespace {

const FieldDef& field(Game g, const char* name) {
    const FieldDef* f = FindField(g, name);
    EXPECT_NE(f, nullptr) << name;
    return *f;
}

class Changes : public ::testing::Test {
  protected:
    Changes() : ui(test::MakeScriptedUi()), doc(*ui, store) {
        PegUnitTable table = test::SizedTable<PegUnitTable>(30);
        for (std::size_t i = 0; i < table.count(); ++i) {
            table.units[i].record.setCode(static_cast<std::uint16_t>(i));
            table.setName(i, "Unit " + std::to_string(i));
            EXPECT_TRUE(SetPegField(table, i, field(Game::Peg, "cost"), std::to_string(10 * i)).ok);
        }
        doc.loadTable(std::move(table));
    }
    std::vector<int> listed(std::string where, bool changedOnly = false) {
        UnitFilter filter;
        filter.where = std::move(where);
        filter.changedOnly = changedOnly;
        return doc.filterUnits(Game::Peg, filter);
    }
    const std::string& lastDetails() {
        const EditHistory& h = doc.history(Game::Peg);
        return h.step(h.index() - 1).details();
    }
    MemorySettingsBackend store;
    std::unique_ptr<ScriptedUi> ui;
    CVarnelDoc doc;
};

TEST_F(Changes, AreTheValuesThatDifferFromTheFilesUntilUndoneOrSaved) {
    const FieldDef& air = field(Game::Peg, "airAtk");
    const FieldDef& cost = field(Game::Peg, "cost");
    EXPECT_TRUE(listed("", true).empty());
    ASSERT_TRUE(doc.setField(Game::Peg, 4, air, "9").ok);
    EXPECT_TRUE(doc.fieldChanged(Game::Peg, 4, air));
    EXPECT_FALSE(doc.fieldChanged(Game::Peg, 4, cost));
    EXPECT_FALSE(doc.fieldChanged(Game::Peg, 5, air));
    EXPECT_TRUE(doc.unitChanged(Game::Peg, 4));
    EXPECT_EQ(listed("", true), std::vector<int>{4});
    // Set back by hand, the value is the file's again.
    ASSERT_TRUE(doc.setField(Game::Peg, 4, air, "0").ok);
    EXPECT_FALSE(doc.unitChanged(Game::Peg, 4));
    ASSERT_TRUE(doc.undo(Game::Peg));
    EXPECT_TRUE(doc.unitChanged(Game::Peg, 4));
    ASSERT_TRUE(doc.undo(Game::Peg));
    EXPECT_FALSE(doc.unitChanged(Game::Peg, 4));

    // A clone is new: all of it changed. A save makes the table the files'.
    const std::optional<std::size_t> clone = doc.cloneUnit(Game::Peg, 2);
    ASSERT_TRUE(clone);
    EXPECT_TRUE(doc.fieldChanged(Game::Peg, *clone, cost));
    EXPECT_EQ(doc.changedUnits(Game::Peg), std::vector<int>{static_cast<int>(*clone)});
    doc.markSaved(Game::Peg, true, true);
    EXPECT_FALSE(doc.unitChanged(Game::Peg, *clone));
    EXPECT_FALSE(doc.unitChanged(Game::Peg, 999)); // outside the table
}

TEST_F(Changes, ConditionAndChangedOnlyFilterTogether) {
    ASSERT_TRUE(doc.setField(Game::Peg, 3, "airAtk", "5").ok);
    ASSERT_TRUE(doc.setField(Game::Peg, 25, "airAtk", "5").ok);
    EXPECT_EQ(listed("cost >= 200 and cost < 230"), (std::vector<int>{20, 21, 22}));
    EXPECT_EQ(listed("\"Air attack\" = 5"), (std::vector<int>{3, 25}));
    EXPECT_EQ(listed("cost > 100", true), std::vector<int>{25});
    EXPECT_EQ(listed("name contains \"unit 2\" and cost < 210"), (std::vector<int>{2, 20}));
    // A condition that does not parse lists nothing (the views keep only good ones).
    EXPECT_TRUE(listed("cost >").empty());
}

TEST_F(Changes, AStepListsItsValuesUpToTwentyAndCountsMore) {
    ASSERT_TRUE(doc.setField(Game::Peg, 3, "cost", "60").ok);
    EXPECT_EQ(lastDetails(), "3 Unit 3, Cost: 30 -> 60");
    ASSERT_TRUE(doc.setField(Game::Peg, 3, "class", "Recon").ok);
    EXPECT_EQ(lastDetails(), "3 Unit 3, Class: " + FieldItemText(field(Game::Peg, "class"), 0) +
                                 " -> " + FieldItemText(field(Game::Peg, "class"), 3));

    std::vector<TableCell> cells;
    for (std::size_t unit = 0; unit < 7; ++unit)
        for (const char* name : {"airAtk", "softAtk", "hardAtk"})
            cells.push_back({unit, &field(Game::Peg, name)});
    // 21 values over 7 units: counted.
    ASSERT_TRUE(SetCellsValue(doc, Game::Peg, cells, "7").ok);
    EXPECT_EQ(lastDetails(), "21 values changed");
    cells.resize(20);
    ASSERT_TRUE(SetCellsValue(doc, Game::Peg, cells, "8").ok);
    EXPECT_EQ(std::count(lastDetails().begin(), lastDetails().end(), '\n'), 19);
    // Over more units than that, only the units are counted.
    std::vector<TableCell> many;
    for (std::size_t unit = 0; unit < 30; ++unit)
        many.push_back({unit, &field(Game::Peg, "ammo")});
    ASSERT_TRUE(SetCellsValue(doc, Game::Peg, many, "1").ok);
    EXPECT_EQ(lastDetails(), "30 units changed");
    // Undo and redo keep the details.
    ASSERT_TRUE(doc.undo(Game::Peg));
    ASSERT_TRUE(doc.redo(Game::Peg));
    EXPECT_EQ(lastDetails(), "30 units changed");
}

} // namespace
} // namespace varnel
