// Taking another file's values: each take is one step of the edit path, undone to exactly the
// table before it; a refused request changes nothing and makes no step.

#include "app/compareandcheck.h"
#include "app/samples/samples.h"
#include "app/varneldoc.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

namespace varnel {
namespace {

struct Fixture {
    Fixture() : ui(test::MakeScriptedUi()), doc(*ui, store) {
        doc.loadTable(MakeSamplePegTable());
        doc.loadTable(MakeSamplePg2Table());
        other.game = Game::Pg2;
        other.pg2 = *doc.pg2();
        other.namesRead = true;
    }
    // What the document holds against the other file.
    TableComparison diff() const { return CompareWithDocument(doc, other); }

    std::unique_ptr<ScriptedUi> ui;
    MemorySettingsBackend store;
    CVarnelDoc doc;
    OtherEFile other;
};

TEST(TakeValues, OneFieldIsOneStepThatUndoes) {
    Fixture f;
    f.other.pg2.units[3].record[pg2::Cost] = 200;
    f.other.pg2.units[3].record[pg2::AirAtk] = 1;
    f.other.pg2.setName(3, "Tiger II");
    const Pg2UnitTable before = *f.doc.pg2();
    const FieldDef* cost = FindField(Game::Pg2, "cost");

    ASSERT_TRUE(TakeTheirValues(f.doc, f.other, {{3, cost}}));
    EXPECT_EQ(f.doc.pg2()->units[3].record[pg2::Cost], 200);
    EXPECT_EQ(f.doc.pg2()->units[3].record[pg2::AirAtk], before.units[3].record[pg2::AirAtk]);
    EXPECT_EQ(f.doc.pg2()->name(3), before.name(3));
    EXPECT_EQ(f.doc.history(Game::Pg2).count(), 1u);
    EXPECT_TRUE(f.doc.flag(Game::Pg2, ChangeKind::Data));
    EXPECT_FALSE(f.doc.flag(Game::Pg2, ChangeKind::Names));
    ASSERT_EQ(f.diff().changed.size(), 1u);
    EXPECT_EQ(f.diff().changed[0].fields.size(), 2u); // the name and the air attack are left

    // Taking the same again changes nothing: no step.
    EXPECT_FALSE(TakeTheirValues(f.doc, f.other, {{3, cost}}));
    EXPECT_EQ(f.doc.history(Game::Pg2).count(), 1u);

    ASSERT_TRUE(f.doc.undo(Game::Pg2));
    EXPECT_TRUE(ComparePg2Tables(*f.doc.pg2(), before).equal());
    EXPECT_FALSE(f.doc.flag(Game::Pg2, ChangeKind::Data));
    ASSERT_TRUE(f.doc.redo(Game::Pg2));
    EXPECT_EQ(f.doc.pg2()->units[3].record[pg2::Cost], 200);
}

TEST(TakeValues, SeveralUnitsAndTheirNamesInOneStep) {
    Fixture f;
    f.other.pg2.setName(1, "Renamed");
    f.other.pg2.units[5].record[pg2::Fuel] = 3;
    f.other.pg2.units[5].record[pg2::Special2] |= 2;
    ASSERT_TRUE(
        TakeTheirValues(f.doc, f.other, {{5, nullptr}, {1, FindField(Game::Pg2, "denomination")}}));
    EXPECT_TRUE(f.diff().equal());
    EXPECT_EQ(f.doc.history(Game::Pg2).count(), 1u);
    EXPECT_TRUE(f.doc.flag(Game::Pg2, ChangeKind::Names));
    ASSERT_TRUE(f.doc.undo(Game::Pg2));
    EXPECT_EQ(f.diff().changed.size(), 2u);
    EXPECT_FALSE(f.doc.flag(Game::Pg2, ChangeKind::Names));
}

TEST(TakeValues, TakeAllGrowsOrCutsAndUndoes) {
    for (const bool longer : {true, false}) {
        SCOPED_TRACE(longer ? "theirs longer" : "theirs shorter");
        Fixture f;
        const Pg2UnitTable before = *f.doc.pg2();
        f.other.pg2.units[0].record[pg2::SoftAtk] = 9;
        if (longer) {
            f.other.pg2.units.push_back(f.other.pg2.units[2]);
            f.other.pg2.setName(f.other.pg2.count() - 1, "Extra");
        } else {
            f.other.pg2.units.resize(f.other.pg2.count() - 2);
        }
        ASSERT_TRUE(TakeAll(f.doc, f.other));
        EXPECT_TRUE(f.diff().equal()) << ComparisonText(f.diff(), "doc", "other");
        EXPECT_EQ(f.doc.history(Game::Pg2).count(), 1u);
        EXPECT_FALSE(TakeAll(f.doc, f.other));
        ASSERT_TRUE(f.doc.undo(Game::Pg2));
        EXPECT_EQ(f.doc.pg2()->count(), before.count());
        EXPECT_TRUE(ComparePg2Tables(*f.doc.pg2(), before).equal());
        EXPECT_FALSE(f.doc.isModified());
    }
}

TEST(TakeValues, TheirUnitPastOurEndComesWithThoseBeforeIt) {
    Fixture f;
    const std::size_t ours = f.doc.pg2()->count();
    for (int k = 0; k < 3; ++k) {
        f.other.pg2.units.push_back(f.other.pg2.units[k]);
        f.other.pg2.setName(ours + k, "New " + std::to_string(k));
    }
    ASSERT_TRUE(TakeTheirValues(f.doc, f.other, {{ours + 1, nullptr}}));
    ASSERT_EQ(f.doc.pg2()->count(), ours + 2);
    EXPECT_EQ(f.doc.pg2()->name(ours), "New 0");
    EXPECT_EQ(f.doc.pg2()->name(ours + 1), "New 1");
    // A unit they do not hold is refused.
    EXPECT_FALSE(TakeTheirValues(f.doc, f.other, {{ours + 3, nullptr}}));
    EXPECT_EQ(f.doc.history(Game::Pg2).count(), 1u);
}

struct Refusal {
    const char* name;
    std::size_t count;
    std::vector<std::size_t> positions;
};

class ReplaceRefused : public testing::TestWithParam<Refusal> {};

TEST_P(ReplaceRefused, ChangesNothing) {
    Fixture f;
    const Refusal& r = GetParam();
    const PegUnitTable before = *f.doc.peg();
    ASSERT_LT(before.count(), 200u);
    PegUnitTable units;
    units.units.resize(r.positions.size());
    EXPECT_FALSE(
        f.doc.replaceUnits("x", r.count == 0 ? before.count() : r.count, r.positions, units));
    EXPECT_TRUE(ComparePegTables(*f.doc.peg(), before).equal());
    EXPECT_EQ(f.doc.history(Game::Peg).count(), 0u);
}

// Count 0 stands for the table's own count.
const Refusal kRefusals[] = {
    {"NotAscending", 0, {3, 1}},    {"Repeated", 0, {2, 2}},          {"PastTheCount", 4, {5}},
    {"TooMany", kMaxUnits + 1, {}}, {"NewPositionUnfilled", 200, {}}, {"NothingChanges", 0, {}},
};

INSTANTIATE_TEST_SUITE_P(Requests, ReplaceRefused, testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace varnel
