// Set, add and scale over a set of units: each result through the field's rules, one step, all
// or nothing, costs put on the byte's steps with the rounded ones counted.

#include "app/arithmetic.h"
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

// PeG units: cost 500 / 120 / 0 (steps of 10), hard attack 10 / 3 / 255, names.
class Arithmetics : public ::testing::Test {
  protected:
    Arithmetics() : ui(test::MakeScriptedUi()), doc(*ui, store) {
        PegUnitTable table = test::SizedTable<PegUnitTable>(3);
        const struct {
            const char* name;
            const char* cost;
            const char* hardAtk;
        } units[] = {{"Tiger", "500", "10"}, {"Puma", "120", "3"}, {"Maus", "0", "255"}};
        for (std::size_t i = 0; i < std::size(units); ++i) {
            table.units[i].record.setCode(static_cast<std::uint16_t>(i));
            table.setName(i, units[i].name);
            EXPECT_TRUE(SetPegField(table, i, field(Game::Peg, "cost"), units[i].cost).ok);
            EXPECT_TRUE(SetPegField(table, i, field(Game::Peg, "hardAtk"), units[i].hardAtk).ok);
        }
        doc.loadTable(std::move(table));
    }
    std::string shown(std::size_t unit, const char* name) {
        return doc.formatField(Game::Peg, unit, field(Game::Peg, name));
    }
    Arithmetic op(const char* text) {
        std::string message;
        const auto a = ParseArithmetic(Game::Peg, text, message);
        EXPECT_TRUE(a.has_value()) << text << ": " << message;
        return a.value_or(Arithmetic{});
    }
    MemorySettingsBackend store;
    std::unique_ptr<ScriptedUi> ui;
    CVarnelDoc doc;
};

TEST_F(Arithmetics, ResultsAndRounding) {
    const struct {
        const char* edit;
        std::vector<int> units;
        const char* costs[3];
        std::size_t rounded;
    } cases[] = {
        // Steps of 10: 500 * 1.05 = 525 lies between 520 and 530, halves go away from zero.
        {"cost=*105", {0, 1}, {"530", "130", "0"}, 2},
        {"cost=*110", {0, 1, 2}, {"550", "130", "0"}, 1},
        {"cost=+14", {0, 1}, {"510", "130", "0"}, 2},
        {"cost=-4", {0}, {"500", "120", "0"}, 1},
        {"cost=+20", {1}, {"500", "140", "0"}, 0},
        {"Cost=-5", {1}, {"500", "120", "0"}, 1},
        {"cost=-6", {1}, {"500", "110", "0"}, 1},
        {"cost=*0", {0, 1}, {"0", "0", "0"}, 0},
        // A typed value is taken as it is.
        {"cost=250", {0, 2}, {"250", "120", "250"}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.edit);
        const std::size_t steps = doc.history(Game::Peg).index();
        const Arithmetic a = op(c.edit);
        const ArithmeticResult r = ApplyArithmetic(doc, Game::Peg, c.units, {&a, 1});
        ASSERT_TRUE(r.ok) << r.message;
        EXPECT_EQ(r.rounded, c.rounded);
        for (std::size_t u = 0; u < 3; ++u)
            EXPECT_EQ(shown(u, "cost"), c.costs[u]) << u;
        // One step, and its undo gives back every value.
        EXPECT_EQ(doc.history(Game::Peg).index(), steps + (r.changed > 0 ? 1 : 0));
        if (r.changed > 0) {
            ASSERT_TRUE(doc.undo(Game::Peg));
        }
        EXPECT_EQ(shown(0, "cost"), "500");
        EXPECT_EQ(shown(1, "cost"), "120");
        EXPECT_EQ(shown(2, "cost"), "0");
    }
}

TEST_F(Arithmetics, ChangesListBeforeAndAfter) {
    const Arithmetic edits[] = {op("hardAtk=+2"), op("cost=*50")};
    const ArithmeticResult r = ApplyArithmetic(doc, Game::Peg, std::vector<int>{1, 0}, edits);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.changedUnits, (std::vector<std::uint32_t>{0, 1}));
    ASSERT_EQ(r.changes.size(), 4u);
    EXPECT_EQ(r.changes[0].unit, 1u);
    EXPECT_EQ(r.changes[0].before, "3");
    EXPECT_EQ(r.changes[0].after, "5");
    EXPECT_EQ(r.changes[1].after, "60");
    const std::string summary = ArithmeticSummary(doc, Game::Peg, r);
    EXPECT_NE(summary.find("4 changes in 2 units, 0 new units, 0 refused"), std::string::npos)
        << summary;
    EXPECT_NE(summary.find("unit 1 Puma: Hard attack 3 -> 5"), std::string::npos) << summary;
    // Two edits are still one step.
    ASSERT_TRUE(doc.undo(Game::Peg));
    EXPECT_EQ(shown(0, "hardAtk"), "10");
    EXPECT_EQ(shown(1, "cost"), "120");
    EXPECT_FALSE(doc.undo(Game::Peg));
}

TEST_F(Arithmetics, ARefusedValueRefusesEverything) {
    const struct {
        const char* edit;
        std::vector<int> units;
        const char* message; // the start of the message
    } cases[] = {
        // Unit 2 (Maus) is refused after units 0 and 1 were fine.
        {"hardAtk=+1",
         {0, 1, 2},
         "Unit 2 Maus, column Hard attack:\nPlease enter an integer between 0 and 255."},
        {"hardAtk=*200",
         {2},
         "Unit 2 Maus, column Hard attack:\nPlease enter an integer between 0 and 255."},
        // A typed cost between two steps is refused, never rounded.
        {"cost=255", {0}, "Unit 0 Tiger, column Cost:\nPlease enter a multiple of 10"},
        {"cost=+1000000", {0}, "Unit 0 Tiger, column Cost:\nPlease enter an integer between 0 and"},
        {"name=+1", {0}, "The column Name holds no numbers to add to."},
        {"class=*50", {0}, "The column Class holds no numbers to scale."},
        {"code=+1", {0}, "The column code is read-only."},
        {"code=5", {0}, "Unit 0 Tiger, column code:\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.edit);
        std::string message;
        auto a = ParseArithmetic(Game::Peg, c.edit, message);
        ASSERT_TRUE(a.has_value()) << message;
        const ArithmeticResult r = ApplyArithmetic(doc, Game::Peg, c.units, {&*a, 1});
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.message.rfind(c.message, 0), 0u) << r.message;
        EXPECT_EQ(doc.history(Game::Peg).index(), 0u);
        EXPECT_EQ(shown(0, "hardAtk"), "10");
        EXPECT_EQ(shown(1, "hardAtk"), "3");
        EXPECT_EQ(shown(0, "cost"), "500");
        EXPECT_FALSE(doc.flag(Game::Peg, ChangeKind::Data));
        const std::string summary = ArithmeticSummary(doc, Game::Peg, r);
        EXPECT_NE(summary.find("1 refused"), std::string::npos) << summary;
    }
}

TEST_F(Arithmetics, RefusalNamesUnitColumnValueAndReason) {
    const Arithmetic a = op("hardAtk=+1");
    const ArithmeticResult r = ApplyArithmetic(doc, Game::Peg, std::vector<int>{2}, {&a, 1});
    ASSERT_TRUE(r.refusal.has_value());
    EXPECT_EQ(r.refusal->unit, "unit 2 Maus");
    EXPECT_EQ(r.refusal->column, "Hard attack");
    EXPECT_EQ(r.refusal->value, "256");
    EXPECT_EQ(r.refusal->reason, "Please enter an integer between 0 and 255.");
    EXPECT_NE(ArithmeticSummary(doc, Game::Peg, r)
                  .find("refused: column Hard attack, value \"256\": Please enter an integer "
                        "between 0 and 255. (unit 2 Maus)"),
              std::string::npos);
}

TEST_F(Arithmetics, SetTakesItemTextsAndTheSameFieldOnlyOnce) {
    const Arithmetic set = op("class=Recon");
    ASSERT_TRUE(ApplyArithmetic(doc, Game::Peg, std::vector<int>{0}, {&set, 1}).ok);
    EXPECT_EQ(shown(0, "class"),
              std::to_string(*FieldItemPosition(field(Game::Peg, "class"), "Recon")));
    const Arithmetic twice[] = {op("cost=+10"), op("Cost=*200")};
    const ArithmeticResult r = ApplyArithmetic(doc, Game::Peg, std::vector<int>{0}, twice);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, "The column Cost is given twice.");
    const ArithmeticResult outside =
        ApplyArithmetic(doc, Game::Peg, std::vector<int>{3}, {&set, 1});
    EXPECT_FALSE(outside.ok);
}

TEST_F(Arithmetics, SelectionOfCellsInTwoColumns) {
    const std::vector<TableCell> cells = {{0, &field(Game::Peg, "cost")},
                                          {1, &field(Game::Peg, "hardAtk")},
                                          {0, &field(Game::Peg, "hardAtk")}};
    Arithmetic add;
    add.kind = ArithmeticKind::Add;
    add.amount = 5;
    ArithmeticResult r = ApplyArithmetic(doc, Game::Peg, cells, add);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(shown(0, "cost"), "510"); // 505 put on the steps of 10
    EXPECT_EQ(shown(1, "hardAtk"), "8");
    EXPECT_EQ(shown(0, "hardAtk"), "15");
    EXPECT_EQ(r.rounded, 1u);
    EXPECT_EQ(doc.history(Game::Peg).step(0).text(), "Add +5 (3 cells)");
    ASSERT_TRUE(doc.undo(Game::Peg));
    EXPECT_EQ(shown(0, "cost"), "500");

    // A cell of a column without numbers refuses the whole selection.
    const std::vector<TableCell> mixed = {{0, &field(Game::Peg, "hardAtk")},
                                          {1, &field(Game::Peg, "denomination")}};
    r = ApplyArithmetic(doc, Game::Peg, mixed, add);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, "The column Name holds no numbers to add to.");
    EXPECT_EQ(shown(0, "hardAtk"), "10");
}

TEST(ParseArithmetic, Forms) {
    const struct {
        const char* text;
        bool ok;
        ArithmeticKind kind;
        std::int64_t amount;
        const char* value;
    } cases[] = {
        {"hardAtk=5", true, ArithmeticKind::Set, 0, "5"},
        {"Hard attack=+5", true, ArithmeticKind::Add, 5, ""},
        {"hardatk=-5", true, ArithmeticKind::Add, -5, ""},
        {"hardAtk=*150", true, ArithmeticKind::Scale, 150, ""},
        {"name=", true, ArithmeticKind::Set, 0, ""},
        {"name=a=b", true, ArithmeticKind::Set, 0, "a=b"},
        {"hardAtk=+", false, ArithmeticKind::Set, 0, ""},
        {"hardAtk=*1.5", false, ArithmeticKind::Set, 0, ""},
        {"hardAtk=+1000001", false, ArithmeticKind::Set, 0, ""},
        {"hardAtk=--1", false, ArithmeticKind::Set, 0, ""},
        {"hardAtk", false, ArithmeticKind::Set, 0, ""},
        {"=5", false, ArithmeticKind::Set, 0, ""},
        {"nothing=5", false, ArithmeticKind::Set, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::string message;
        const auto a = ParseArithmetic(Game::Pg2, c.text, message);
        ASSERT_EQ(a.has_value(), c.ok) << message;
        if (!a) {
            EXPECT_FALSE(message.empty());
            continue;
        }
        EXPECT_EQ(a->kind, c.kind);
        EXPECT_EQ(a->amount, c.amount);
        EXPECT_EQ(a->value, c.value);
    }
}

} // namespace
} // namespace varnel
