#include "convert/costmodifier.h"

#include "tests/convert/convertfixtures.h"

#include <gtest/gtest.h>

#include <climits>

namespace varnel {
namespace {

struct ScaleCase {
    const char* name;
    int cost;
    int percent;
    int result;
};

class Scale : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(Scale, SignedTruncatingLowByte) {
    const auto& c = GetParam();
    EXPECT_EQ(ScaleCost(static_cast<std::uint8_t>(c.cost), c.percent), c.result);
}

INSTANTIATE_TEST_SUITE_P(
    Cost, Scale,
    ::testing::Values(ScaleCase{"HalfOf45", 45, 50, 22}, ScaleCase{"OneAndAHalfOf45", 45, 150, 67},
                      ScaleCase{"DoubleOf200Wraps", 200, 200, 144},
                      ScaleCase{"Unchanged", 77, 100, 77}, ScaleCase{"Zero", 77, 0, 0},
                      ScaleCase{"NegativeTruncatesTowardZero", 10, -50, 251},
                      ScaleCase{"NegativeSmall", 1, -99, 0}, ScaleCase{"MinusOne", 3, -34, 255},
                      // 255 x (2^31 - 1) wraps in 32 bits to 2^31 - 255; / 100 = 0x147AE11.
                      ScaleCase{"ProductWraps", 255, INT_MAX, 0x11},
                      // 200 x 2^30 wraps to 0.
                      ScaleCase{"ProductWrapsToZero", 200, 1 << 30, 0}),
    [](const auto& info) { return std::string(info.param.name); });

PegUnitTable TableOfCountries(std::initializer_list<int> countries) {
    PegUnitTable t;
    std::uint16_t code = 0;
    for (int c : countries) {
        PegUnit& u = test::AddPegUnit(t, code++, 0, "u");
        u.record[peg::Country] = static_cast<std::uint8_t>(c);
        u.record[peg::Cost] = 40;
    }
    return t;
}

TEST(ApplyCostChange, OnlyChosenCountriesCount) {
    PegUnitTable t = TableOfCountries({0, 1, 2, 1, 20, 21, 255});
    CostChoices choices;
    choices.enabled[0] = true; // never honoured
    choices.percent[0] = 0;
    choices.enabled[1] = true;
    choices.percent[1] = 150;
    choices.enabled[20] = true;
    choices.percent[20] = 100;
    EXPECT_EQ(ApplyCostChange(t, choices), 3);
    const int expected[] = {40, 60, 40, 60, 40, 40, 40};
    for (std::size_t i = 0; i < t.count(); ++i)
        EXPECT_EQ(t.units[i].record[peg::Cost], expected[i]) << i;
}

TEST(ModifyPegCosts, ReportsAndMarksWhenUnitsChanged) {
    test::Fixture f;
    f.state.loadTable(TableOfCountries({3, 3, 4}));
    int refreshed = 0;
    test::HookObserver viewsHook(f.state);
    viewsHook.onViews = [&] { ++refreshed; };
    CostChoices choices;
    choices.enabled[3] = true;
    choices.percent[3] = 50;
    f.ui->expectInformation("2 Units modified");
    EXPECT_EQ(ModifyPegCosts(f.state, choices), 2);
    EXPECT_TRUE(f.state.flag(Game::Peg, ChangeKind::Data));
    EXPECT_FALSE(f.state.flag(Game::Peg, ChangeKind::Names));
    EXPECT_EQ(refreshed, 1);
    EXPECT_EQ(f.state.peg()->units[0].record[peg::Cost], 20);
}

TEST(ModifyPegCosts, NothingChangedMarksNothing) {
    test::Fixture f;
    f.state.loadTable(TableOfCountries({3}));
    CostChoices choices;
    choices.enabled[5] = true;
    f.ui->expectInformation("0 Units modified");
    EXPECT_EQ(ModifyPegCosts(f.state, choices), 0);
    EXPECT_FALSE(f.state.isModified());

    test::Fixture none; // no PeG table at all
    none.ui->expectInformation("0 Units modified");
    EXPECT_EQ(ModifyPegCosts(none.state, choices), 0);
    EXPECT_FALSE(none.state.isModified());
}

} // namespace
} // namespace varnel
