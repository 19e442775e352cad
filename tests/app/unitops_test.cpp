#include "app/unitops.h"

#include "tests/support/equipfixture.h"

#include <gtest/gtest.h>

#include <functional>
#include <type_traits>

namespace varnel {
namespace {

using test::EquipEnv;
using test::MakeNames;
using test::MakePegEFile;
using test::MakePg2EFile;
using test::WriteFile;

// Loads a table of `n` units (codes equal to positions, named "unit i") after `tweak` has
// changed it; the document's table.
template <class Table>
const Table& fill(CVarnelDoc& doc, std::size_t n, const std::function<void(Table&)>& tweak = {}) {
    Table table;
    table.units.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        table.units[i].record.setCode(static_cast<std::uint16_t>(i));
        table.units[i].record[3] = static_cast<std::uint8_t>(100 + i);
        table.setName(i, "unit " + std::to_string(i));
    }
    if (tweak)
        tweak(table);
    doc.loadTable(std::move(table));
    if constexpr (std::is_same_v<Table, Pg2UnitTable>)
        return *doc.pg2();
    else
        return *doc.peg();
}

TEST(Clone, AppendsACopyWithTheNextCode) {
    EquipEnv env;
    fill<Pg2UnitTable>(env.state, 10, [](Pg2UnitTable& t) {
        EncodePg2Country(t.units[3].record, 17);
        t.units[3].record[pg2::Special2] = 0x40;
    });
    int titles = 0;
    test::HookObserver titleHook(env.state);
    titleHook.onTitle = [&] { ++titles; };
    env.ui.expectInformation("Clone is Code: 10");
    ASSERT_TRUE(CloneUnit(env.state, Game::Pg2, 3));
    const auto& units = env.state.pg2()->units;
    ASSERT_EQ(units.size(), 11u);
    EXPECT_EQ(units[10].record.code(), 10);
    EXPECT_EQ(units[10].record[3], 103);
    EXPECT_EQ(env.state.pg2()->name(10), "unit 3");
    EXPECT_EQ(Pg2Country(units[10].record), 17);
    EXPECT_EQ(units[10].record[pg2::Special2], 0x40);
    EXPECT_EQ(units[3].record.code(), 3);
    EXPECT_TRUE(env.state.flag(Game::Pg2, ChangeKind::Data) &&
                env.state.flag(Game::Pg2, ChangeKind::Names));
    EXPECT_FALSE(env.state.flag(Game::Peg, ChangeKind::Data) ||
                 env.state.flag(Game::Peg, ChangeKind::Names));
    EXPECT_EQ(titles, 1);
}

TEST(Clone, RefusedAtTheLimitAndForBadIndexes) {
    EquipEnv env;
    fill<PegUnitTable>(env.state, kMaxUnits);
    env.ui.expectInformation("Cannot add 1 units: a file holds at most 65535 units");
    EXPECT_FALSE(CloneUnit(env.state, Game::Peg, 0));
    EXPECT_EQ(env.state.peg()->count(), kMaxUnits);
    EXPECT_FALSE(env.state.isModified());
    EXPECT_FALSE(CloneUnit(env.state, Game::Peg, kMaxUnits));
    EXPECT_FALSE(CloneUnit(env.state, Game::Pg2, 0)) << "no PG2 table";
}

TEST(Clone, JustBelowTheLimitFillsTheLastCode) {
    EquipEnv env;
    fill<PegUnitTable>(env.state, kMaxUnits - 1);
    env.ui.expectInformation("Clone is Code: 65534");
    EXPECT_TRUE(CloneUnit(env.state, Game::Peg, 7));
    EXPECT_EQ(env.state.peg()->units.back().record.code(), 65534);
}

struct DeleteCase {
    const char* name;
    std::size_t count;
    std::size_t index;
    std::vector<int> codes; // codes after the delete
};

class DeleteTest : public ::testing::TestWithParam<DeleteCase> {};

TEST_P(DeleteTest, RenumbersFromTheDeletedCode) {
    const auto& c = GetParam();
    for (const Game game : {Game::Pg2, Game::Peg}) {
        EquipEnv env;
        std::vector<int> codes;
        std::vector<std::string> names;
        auto run = [&](const auto& table) {
            ASSERT_TRUE(env.state.deleteUnit(game, c.index));
            for (std::size_t i = 0; i < table.count(); ++i) {
                codes.push_back(table.units[i].record.code());
                names.emplace_back(table.name(i));
            }
        };
        if (game == Game::Pg2)
            run(fill<Pg2UnitTable>(env.state, c.count));
        else
            run(fill<PegUnitTable>(env.state, c.count));
        EXPECT_EQ(codes, c.codes);
        ASSERT_EQ(names.size(), c.count - 1);
        for (std::size_t i = 0; i < names.size(); ++i)
            EXPECT_EQ(names[i], "unit " + std::to_string(i < c.index ? i : i + 1));
        EXPECT_TRUE(env.state.isModified());
    }
}

INSTANTIATE_TEST_SUITE_P(Positions, DeleteTest,
                         ::testing::Values(DeleteCase{"Middle", 7, 4, {0, 1, 2, 3, 4, 5}},
                                           DeleteCase{"First", 3, 0, {0, 1}},
                                           DeleteCase{"Last", 4, 3, {0, 1, 2}},
                                           DeleteCase{"Only", 1, 0, {}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Delete, CodesCountOnFromTheDeletedOne) {
    EquipEnv env;
    const auto& t =
        fill<PegUnitTable>(env.state, 4, [](PegUnitTable& u) { u.units[1].record.setCode(50); });
    ASSERT_TRUE(env.state.deleteUnit(Game::Peg, 1));
    EXPECT_EQ(t.units[1].record.code(), 50);
    EXPECT_EQ(t.units[2].record.code(), 51);
    EXPECT_FALSE(env.state.deleteUnit(Game::Peg, 3)) << "past the end";
    EXPECT_FALSE(env.state.deleteUnit(Game::Pg2, 0)) << "no PG2 table";
}

TEST(Paste, Pg2AsksTheCodeQuestionPerPastedUnit) {
    EquipEnv env;
    fill<Pg2UnitTable>(env.state, 10);
    const std::string src = env.writeGame("SRC", MakePg2EFile(3), "x\r\ny\r\n");
    int views = 0;
    test::HookObserver viewsHook(env.state);
    viewsHook.onViews = [&] { ++views; };
    for (int i = 0; i < 3; ++i)
        env.ui.expectQuestion("Warning!\nUnit " + std::to_string(10 + i) +
                                  " \nhas Code=" + std::to_string(i) + ", which differs from " +
                                  std::to_string(10 + i) +
                                  "\n Do you want to set Code=" + std::to_string(10 + i) + " ?",
                              i != 1);
    ASSERT_TRUE(PasteUnits(env.state, Game::Pg2, src));
    const auto& units = env.state.pg2()->units;
    ASSERT_EQ(units.size(), 13u);
    EXPECT_EQ(units[10].record.code(), 10);
    EXPECT_EQ(units[11].record.code(), 1);
    EXPECT_EQ(units[12].record.code(), 12);
    EXPECT_EQ(env.state.pg2()->name(10), "x");
    EXPECT_EQ(env.state.pg2()->name(11), "y");
    EXPECT_EQ(env.state.pg2()->name(12), "") << "fewer names than units";
    EXPECT_EQ(env.state.pg2()->name(9), "unit 9");
    EXPECT_EQ(Pg2Country(units[11].record), 1);
    EXPECT_TRUE(env.state.flag(Game::Pg2, ChangeKind::Data) &&
                env.state.flag(Game::Pg2, ChangeKind::Names));
    EXPECT_EQ(views, 1);
}

TEST(Paste, PegTakesRecordsAsRead) {
    EquipEnv env;
    fill<PegUnitTable>(env.state, 2);
    const std::string src = env.writeGame("SRC", MakePegEFile(3), MakeNames(3));
    ASSERT_TRUE(PasteUnits(env.state, Game::Peg, src));
    const auto& units = env.state.peg()->units;
    ASSERT_EQ(units.size(), 5u);
    EXPECT_EQ(units[2].record.code(), 0);
    EXPECT_EQ(env.state.peg()->name(4), " Unit 2  Pz.Kpfw \xE9\xFC");
}

TEST(Paste, EmptySourceAndCancelChangeNothing) {
    EquipEnv env;
    fill<Pg2UnitTable>(env.state, 2);
    const std::string empty = env.writeGame("EMPTY", Bytes{0, 0}, "");
    env.ui.expectInformation("Error!\n\nThere are no items in\n\n" + empty);
    EXPECT_FALSE(PasteUnits(env.state, Game::Pg2, empty));
    const std::string tiny = env.dir.file("TINY.EQP");
    WriteFile(tiny, Bytes{7});
    env.ui.expectInformation("not a PG2 E-File: " + tiny);
    EXPECT_FALSE(PasteUnits(env.state, Game::Pg2, tiny));
    const std::string missing = env.dir.file("none.EQP");
    env.ui.expectFileDialog("Select PG2 EQUIP97.EQP", std::nullopt)
        .expectInformation("file [" + missing + "]\nnot found");
    EXPECT_FALSE(PasteUnits(env.state, Game::Pg2, missing));
    EXPECT_EQ(env.state.pg2()->count(), 2u);
    EXPECT_FALSE(env.state.isModified());
}

TEST(Paste, MissingNamesKeepTheUnitsWithoutNames) {
    EquipEnv env;
    fill<PegUnitTable>(env.state, 1);
    const std::string src = env.dir.file("SRC.EQP");
    WriteFile(src, MakePegEFile(2));
    env.ui.expectFileDialog("Select PeG  EQUIP97.txt", std::nullopt)
        .expectInformation("file [" + env.dir.file("SRC.txt") +
                           "]\nnot found\nyou'll not see Unit's denomination");
    ASSERT_TRUE(PasteUnits(env.state, Game::Peg, src));
    EXPECT_EQ(env.state.peg()->count(), 3u);
    EXPECT_EQ(env.state.peg()->name(2), "");
    EXPECT_TRUE(env.state.flag(Game::Peg, ChangeKind::Data));
    EXPECT_FALSE(env.state.flag(Game::Peg, ChangeKind::Names));
}

TEST(Paste, RefusedWhenTheResultWouldPassTheLimit) {
    EquipEnv env;
    fill<PegUnitTable>(env.state, kMaxUnits - 2);
    const std::string src = env.writeGame("SRC", MakePegEFile(3), MakeNames(3));
    env.ui.expectInformation("Cannot add 3 units: a file holds at most 65535 units");
    EXPECT_FALSE(PasteUnits(env.state, Game::Peg, src));
    EXPECT_EQ(env.state.peg()->count(), kMaxUnits - 2);
    EXPECT_FALSE(env.state.isModified());
}

} // namespace
} // namespace varnel
