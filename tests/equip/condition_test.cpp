#include "equip/condition.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace varnel {
namespace {

// Four PG2 units whose values the conditions below pick apart.
//   unit  name           country  class  year  cost  hardAtk  engineer  icon
//   0     Tiger I        1        2      1943  216   12       0         tig1
//   1     Sherman "M4"   3        2      1942  1944  9        1         SHER
//   2     Puma           1        3      1944  120   4        0         puma
//   3     and or         2        0      1939  0     0        1
const Pg2UnitTable& Units() {
    static const Pg2UnitTable table = [] {
        Pg2UnitTable t;
        t.units.resize(4);
        const std::vector<std::vector<std::string>> rows = {
            {"Tiger I", "1", "2", "1943", "216", "12", "0", "tig1"},
            {"Sherman \"M4\"", "3", "2", "1942", "1944", "9", "1", "SHER"},
            {"Puma", "1", "3", "1944", "120", "4", "0", "puma"},
            {"and or", "2", "0", "1939", "0", "0", "1", ""},
        };
        const char* fields[] = {"denomination", "country", "class",    "yearAvaible",
                                "cost",         "hardAtk", "engineer", "icon"};
        for (std::size_t u = 0; u < rows.size(); ++u) {
            t.units[u].record.setCode(static_cast<std::uint16_t>(u));
            for (std::size_t f = 0; f < rows[u].size(); ++f) {
                const FieldResult r =
                    SetPg2Field(t, u, *FindField(Game::Pg2, fields[f]), rows[u][f]);
                EXPECT_TRUE(r.ok) << fields[f] << " " << r.message;
            }
        }
        return t;
    }();
    return table;
}

const NameTable& Countries() {
    static const NameTable names = [] {
        NameTable n(pg2::kCountryCount);
        n.setName(0, "None");
        n.setName(1, "Germany");
        n.setName(2, "Great Britain");
        n.setName(3, "USA");
        n.setCount(4);
        return n;
    }();
    return names;
}

struct Good {
    const char* condition;
    std::vector<int> units;
};

class GoodCondition : public testing::TestWithParam<Good> {};

TEST_P(GoodCondition, PicksTheUnits) {
    const ConditionParse parse = ParseCondition(Game::Pg2, GetParam().condition, &Countries());
    ASSERT_TRUE(parse.ok) << parse.position << ": " << parse.reason;
    EXPECT_EQ(MatchingUnits(Units(), parse.condition), GetParam().units);
}

INSTANTIATE_TEST_SUITE_P(
    Conditions, GoodCondition,
    testing::Values(
        // Empty and blank: everything.
        Good{"", {0, 1, 2, 3}}, Good{"  \t ", {0, 1, 2, 3}},
        // Shown values: years as years, costs as shown costs.
        Good{"yearAvaible >= 1943", {0, 2}}, Good{"cost > 200", {0, 1}}, Good{"cost = 216", {0}},
        Good{"cost != 216", {1, 2, 3}}, Good{"cost<=120", {2, 3}}, Good{"hardAtk < 9", {2, 3}},
        Good{"hardAtk>-1", {0, 1, 2, 3}},
        // Captions, in any case; with blanks in quotes.
        Good{"\"Year available\" = 1942", {1}}, Good{"\"year   AVAILABLE\" = 1942", {1}},
        Good{"Cost >= 1944", {1}}, Good{"\"Hard attack\" > 10", {0}},
        Good{"AIRATK = 0", {0, 1, 2, 3}},
        // Drop-downs by number or item text, any case; countries by number or T-File name.
        Good{"class = Tank", {0, 1}}, Good{"class = 3", {2}}, Good{"class = recon", {2}},
        Good{"class != tank", {2, 3}}, Good{"country = Germany", {0, 2}},
        Good{"country = great   britain", {3}}, Good{"country = \"USA\"", {1}},
        Good{"country = 3", {1}}, Good{"country > 1", {1, 3}}, Good{"country = \"3  USA\"", {1}},
        Good{"country = 1 germany", {0, 2}},
        // Check boxes.
        Good{"engineer = 1", {1, 3}}, Good{"engineer = 0", {0, 2}},
        // Texts: contains, = and != without regard to ASCII case.
        Good{"name contains ERM", {1}}, Good{"name contains i", {0}},
        Good{"denomination = \"tiger i\"", {0}}, Good{"name = TIGER I", {0}},
        Good{"name != puma", {0, 1, 3}}, Good{"name contains \"\"\"M4\"\"\"", {1}},
        Good{"icon = sher", {1}}, Good{"icon contains u", {2}}, Good{"icon = \"\"", {3}},
        Good{"name = \"and or\"", {3}},
        // and binds tighter than or; keywords in any case; parentheses.
        Good{"class = tank and country = germany or class = recon", {0, 2}},
        Good{"class = recon or class = tank AND country = USA", {1, 2}},
        Good{"(class = recon or class = tank) and country = germany", {0, 2}},
        Good{"((((cost = 0))))", {3}},
        Good{"class = Tank and country = Germany and \"Year available\" >= 1943", {0}},
        Good{"cost > 600 Or engineer = 1 and hardAtk = 0", {1, 3}},
        Good{"(cost>600)or(cost<1)", {1, 3}}));

struct Bad {
    const char* condition;
    std::size_t position;
    const char* reason;
};

class BadCondition : public testing::TestWithParam<Bad> {};

TEST_P(BadCondition, SaysWhereAndWhy) {
    const ConditionParse parse = ParseCondition(Game::Pg2, GetParam().condition, &Countries());
    EXPECT_FALSE(parse.ok);
    EXPECT_EQ(parse.reason, GetParam().reason);
    EXPECT_EQ(parse.position, GetParam().position);
    EXPECT_TRUE(parse.condition.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Conditions, BadCondition,
    testing::Values(
        Bad{"foo = 3", 0, "Unknown column \"foo\""},
        Bad{"cost > 1 and  bar < 2", 14, "Unknown column \"bar\""},
        Bad{"cost >= ", 8, "Expected a value after \">=\""},
        Bad{"cost = and hardAtk = 1", 7, "Expected a value after \"=\""},
        Bad{"class = Recon2", 8, "\"Recon2\" is not an item of Class"},
        Bad{"country = France", 10, "\"France\" is not an item of Country"},
        Bad{"country = 2 USA", 10, "\"2 USA\" is not an item of Country"},
        Bad{"cost > lots", 7, "Cost holds numbers: \"lots\" is not a number"},
        Bad{"cost > 99999999999999999999", 7,
            "Cost holds numbers: \"99999999999999999999\" is not a number"},
        Bad{"engineer = 2", 11, "Engineer is a check box: expected 0 or 1, not \"2\""},
        Bad{"cost contains 2", 5, "\"contains\" is for texts (names, icons); Cost is not a text"},
        Bad{"name < b", 5, "Name is a text: compare it with =, != or contains, not \"<\""},
        Bad{"cost 600", 5, "Expected an operator (=, !=, <, <=, >, >=, contains) after Cost"},
        Bad{"cost > 600 hardAtk > 2", 11, "Expected \"and\" or \"or\" before \"hardAtk\""},
        Bad{"(cost > 600", 11, "Missing \")\" for the \"(\" at 0"},
        Bad{"cost > 600)", 10, "Unmatched \")\""},
        Bad{"()", 1, "Expected a column name before \")\""},
        Bad{"cost > 1 and", 12, "Expected a column name"},
        Bad{"= 3", 0, "Expected a column name before \"=\""},
        Bad{"name = \"open", 7, "Missing the closing \" of the text that starts here"},
        Bad{"\"Year available >= 1", 0, "Missing the closing \" of the text that starts here"}));

TEST(Condition, DeepNestingIsRefusedNotRecursedInto) {
    const std::string deep = std::string(100000, '(') + "cost = 0" + std::string(100000, ')');
    const ConditionParse parse = ParseCondition(Game::Pg2, deep);
    EXPECT_FALSE(parse.ok);
    EXPECT_EQ(parse.position, static_cast<std::size_t>(kMaxConditionDepth));

    const std::string allowed =
        std::string(kMaxConditionDepth, '(') + "cost = 0" + std::string(kMaxConditionDepth, ')');
    EXPECT_TRUE(ParseCondition(Game::Pg2, allowed).ok);
}

TEST(Condition, LongChainsEvaluateWithoutDeepRecursion) {
    std::string chain = "cost = 1";
    for (int k = 0; k < 20000; ++k)
        chain += " or cost = 1";
    chain += " or cost = 0";
    const ConditionParse parse = ParseCondition(Game::Pg2, chain);
    ASSERT_TRUE(parse.ok) << parse.reason;
    EXPECT_EQ(MatchingUnits(Units(), parse.condition), std::vector<int>{3});
}

TEST(Condition, CountriesByNameNeedTheirNames) {
    const ConditionParse parse = ParseCondition(Game::Pg2, "country = Germany");
    EXPECT_FALSE(parse.ok);
    EXPECT_TRUE(ParseCondition(Game::Pg2, "country = 1").ok);
}

TEST(Condition, PegColumnsAndMonthsByText) {
    PegUnitTable table;
    table.units.resize(2);
    table.setName(0, "Leopard");
    table.setName(1, "Abrams");
    const FieldDef* month = FindField(Game::Peg, "monthAvaible");
    ASSERT_NE(month, nullptr);
    ASSERT_TRUE(SetPegField(table, 1, *month, "3").ok);
    const std::string item = FieldItemText(*month, 3);
    const ConditionParse parse = ParseCondition(Game::Peg, "monthAvaible = \"" + item + "\"");
    ASSERT_TRUE(parse.ok) << parse.reason;
    EXPECT_EQ(MatchingUnits(table, parse.condition), std::vector<int>{1});
    // Years from 2000, and bits of a word, as the PeG form shows them.
    ASSERT_TRUE(SetPegField(table, 0, *FindField(Game::Peg, "yearAvaible"), "2005").ok);
    ASSERT_TRUE(SetPegField(table, 0, *FindField(Game::Peg, "bridge"), "1").ok);
    for (const char* text :
         {"\"Year available\" = 2005 and bridge = 1", "Bridge=1", "yearAvaible > 2004"}) {
        const ConditionParse peg = ParseCondition(Game::Peg, text);
        ASSERT_TRUE(peg.ok) << text << ": " << peg.reason;
        EXPECT_EQ(MatchingUnits(table, peg.condition), std::vector<int>{0}) << text;
    }
    // A PG2 condition matches no unit of a PeG table.
    const ConditionParse pg2 = ParseCondition(Game::Pg2, "cost = 0");
    EXPECT_EQ(MatchingUnits(table, pg2.condition), std::vector<int>{});
    // Picks among given units only.
    const ConditionParse all = ParseCondition(Game::Peg, "name contains a");
    EXPECT_EQ(MatchingUnits(table, all.condition, {1, 7, -1}), std::vector<int>{1});
}

} // namespace
} // namespace varnel
