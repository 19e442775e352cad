#include "reports/compare.h"

#include "app/samples/samples.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace varnel {
namespace {

constexpr std::size_t kUnit = 3;

struct DiffCase {
    const char* name;
    Game game;
    std::function<void(Pg2Unit&)> pg2;
    std::function<void(PegUnit&)> peg;
    const char* field; // the one field listed
    const char* ours;
    const char* theirs;
};

Pg2UnitTable pg2Table() {
    Pg2UnitTable t;
    for (int i = 0; i < 6; ++i) {
        Pg2Unit u;
        u.record.setCode(static_cast<std::uint16_t>(i));
        u.record[pg2::Cost] = 8;
        u.record[pg2::Class] = 2;
        u.record[pg2::YearAvaible] = 40;
        u.record[pg2::MontAvaible] = 5;
        u.record.setIcon("TIGER");
        EncodePg2Country(u.record, 8);
        t.units.push_back(u);
        t.setName(t.count() - 1, "Tiger " + std::to_string(i));
    }
    return t;
}

PegUnitTable pegTable() {
    PegUnitTable t;
    for (int i = 0; i < 6; ++i) {
        PegUnit u;
        u.record.setCode(static_cast<std::uint16_t>(i));
        u.record[peg::Cost] = 20;
        u.record[peg::MovType] = 9;
        u.record[peg::Options1] = 0x04;
        u.record.setUnitIcon("ABRAMS");
        t.units.push_back(u);
        t.setName(t.count() - 1, "Abrams " + std::to_string(i));
    }
    return t;
}

class FieldDiff : public testing::TestWithParam<DiffCase> {};

TEST_P(FieldDiff, ListsTheOneFieldWithBothShownValues) {
    const DiffCase& c = GetParam();
    TableComparison result;
    if (c.game == Game::Pg2) {
        const Pg2UnitTable ours = pg2Table();
        Pg2UnitTable theirs = ours;
        c.pg2(theirs.units[kUnit]);
        result = ComparePg2Tables(ours, theirs);
    } else {
        const PegUnitTable ours = pegTable();
        PegUnitTable theirs = ours;
        c.peg(theirs.units[kUnit]);
        result = ComparePegTables(ours, theirs);
    }
    ASSERT_EQ(result.changed.size(), 1u);
    const UnitDifference& u = result.changed[0];
    EXPECT_EQ(u.unit, kUnit);
    ASSERT_EQ(u.fields.size(), 1u) << u.fields[1].field->name;
    EXPECT_STREQ(u.fields[0].field->name, c.field);
    EXPECT_EQ(u.fields[0].ours, c.ours);
    EXPECT_EQ(u.fields[0].theirs, c.theirs);
}

const DiffCase kDiffCases[] = {
    {"Pg2Cost", Game::Pg2, [](Pg2Unit& u) { u.record[pg2::Cost] = 9; }, {}, "cost", "96", "108"},
    {"Pg2Year",
     Game::Pg2,
     [](Pg2Unit& u) { u.record[pg2::YearAvaible] = 41; },
     {},
     "yearAvaible",
     "1940",
     "1941"},
    {"Pg2Month",
     Game::Pg2,
     [](Pg2Unit& u) { u.record[pg2::MontAvaible] = 0; },
     {},
     "montAvaible",
     "5 (May)",
     "0 (not set)"},
    {"Pg2Class",
     Game::Pg2,
     [](Pg2Unit& u) { u.record[pg2::Class] = 12; },
     {},
     "class",
     "2 (Tank)",
     "12 (Level Bomber)"},
    {"Pg2GroundAir",
     Game::Pg2,
     [](Pg2Unit& u) { u.record[pg2::MoveMode] = 1; },
     {},
     "moveMode",
     "0 (Ground)",
     "1 (Air)"},
    {"Pg2Country",
     Game::Pg2,
     [](Pg2Unit& u) { EncodePg2Country(u.record, 9); },
     {},
     "country",
     "8",
     "9"},
    {"Pg2Switch",
     Game::Pg2,
     [](Pg2Unit& u) { u.record[pg2::Special1] |= 8; },
     {},
     "bridge",
     "0",
     "1"},
    // A bit of Special1 no control shows: the byte.
    {"Pg2HiddenSwitch",
     Game::Pg2,
     [](Pg2Unit& u) { u.record[pg2::Special1] |= 0x80; },
     {},
     "special1",
     "0",
     "128"},
    {"Pg2Icon",
     Game::Pg2,
     [](Pg2Unit& u) { u.record.setIcon("PANTHR"); },
     {},
     "icon",
     "\"TIGER\"",
     "\"PANTHR\""},
    {"Pg2Code", Game::Pg2, [](Pg2Unit& u) { u.record.setCode(77); }, {}, "code", "3", "77"},
    {"Pg2UnnamedByte",
     Game::Pg2,
     [](Pg2Unit& u) { u.record[pg2::byte52 + 5] = 4; },
     {},
     "byte57",
     "0",
     "4"},
    {"PegCost", Game::Peg, {}, [](PegUnit& u) { u.record[peg::Cost] = 21; }, "cost", "200", "210"},
    {"PegMoveType",
     Game::Peg,
     {},
     [](PegUnit& u) { u.record[peg::MovType] = 12; },
     "movType",
     "9 (Naval (1/4 move rate))",
     "12 (Amphibious)"},
    {"PegBit",
     Game::Peg,
     {},
     [](PegUnit& u) { u.record[peg::Options2] = 0x02; },
     "airborne",
     "0",
     "1"},
    // Bit 1 of Options1 has no control: the byte is listed.
    {"PegHiddenBit",
     Game::Peg,
     {},
     [](PegUnit& u) { u.record[peg::Options1] = 0x06; },
     "options1",
     "4",
     "6"},
    {"PegMoveIcon",
     Game::Peg,
     {},
     [](PegUnit& u) { u.record.setMovIcon("WALK"); },
     "movIcon",
     "\"\"",
     "\"WALK\""},
    {"PegCloseAtkOnce",
     Game::Peg,
     {},
     [](PegUnit& u) { u.record[peg::CloseAtkDef] = 7; },
     "closeAtkDef",
     "0",
     "7"},
};

INSTANTIATE_TEST_SUITE_P(Kinds, FieldDiff, testing::ValuesIn(kDiffCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Compare, NamesDifferUnlessLeftOut) {
    const Pg2UnitTable ours = pg2Table();
    Pg2UnitTable theirs = ours;
    theirs.setName(2, "Königstiger");
    const TableComparison with = ComparePg2Tables(ours, theirs);
    ASSERT_EQ(with.changed.size(), 1u);
    ASSERT_EQ(with.changed[0].fields.size(), 1u);
    EXPECT_STREQ(with.changed[0].fields[0].field->name, "denomination");
    EXPECT_EQ(with.changed[0].fields[0].theirs, "\"Königstiger\"");
    EXPECT_TRUE(ComparePg2Tables(ours, theirs, false).equal());
}

TEST(Compare, OddMaskOfTheSameCountryIsNoDifference) {
    const Pg2UnitTable ours = pg2Table();
    Pg2UnitTable theirs = ours;
    // A second bit in byte 30: it decodes to the same country and saves as the same mask.
    theirs.units[1].record[pg2::CountryMask] = 0x81;
    EXPECT_TRUE(ComparePg2Tables(ours, theirs).equal());
}

TEST(Compare, UnitsOnlyOneSideHolds) {
    const PegUnitTable ours = pegTable();
    PegUnitTable longer = ours;
    longer.units.push_back(longer.units[0]);
    longer.setName(6, "Leopard");
    const TableComparison added = ComparePegTables(ours, longer);
    EXPECT_TRUE(added.changed.empty());
    ASSERT_EQ(added.onlyTheirs.size(), 1u);
    EXPECT_EQ(added.onlyTheirs[0].unit, 6u);
    EXPECT_EQ(added.onlyTheirs[0].name, "Leopard");
    const TableComparison removed = ComparePegTables(longer, ours);
    ASSERT_EQ(removed.onlyOurs.size(), 1u);
    EXPECT_TRUE(removed.onlyTheirs.empty());
}

TEST(Compare, TextAndCsv) {
    const Pg2UnitTable ours = pg2Table();
    Pg2UnitTable theirs = ours;
    theirs.units[1].record[pg2::Cost] = 9;
    theirs.setName(1, "Tiger, \"late\"");
    theirs.units.pop_back();
    const TableComparison c = ComparePg2Tables(ours, theirs);
    EXPECT_EQ(ComparisonText(c, "a.eqp", "b.eqp"),
              "A: a.eqp (PG2, 6 units)\n"
              "B: b.eqp (PG2, 5 units)\n"
              "unit 1 (code 1) Tiger 1\n"
              "  denomination: \"Tiger 1\" -> \"Tiger, \"late\"\"\n"
              "  cost: 96 -> 108\n"
              "only in A: unit 5 (code 5) Tiger 5\n"
              "1 unit differs, 1 only in A, 0 only in B\n");
    // UTF-8 with a byte-order mark, RFC 4180 quoting, text values without the text's quotes.
    const Bytes csv = ComparisonCsv(c);
    EXPECT_EQ(std::string(csv.begin(), csv.end()),
              "\xEF\xBB\xBF"
              "unit,code,name,change,field,a,b\r\n"
              "1,1,Tiger 1,changed,denomination,Tiger 1,\"Tiger, \"\"late\"\"\"\r\n"
              "1,1,Tiger 1,changed,cost,96,108\r\n"
              "5,5,Tiger 5,only in A,,,\r\n");
}

// Names are Windows-1252 bytes: both forms give them as UTF-8, and the CSV guards a name a
// spreadsheet would run as a formula.
TEST(Compare, NamesAsUtf8AndFormulasGuarded) {
    const Pg2UnitTable ours = pg2Table();
    Pg2UnitTable theirs = ours;
    theirs.setName(2, "=HYPERLINK(\"x\")");
    theirs.setName(3, "Fl\xE4"
                      "chenbrand \x80");
    const TableComparison c = ComparePg2Tables(ours, theirs);
    const std::string text = ComparisonText(c, "a", "b");
    EXPECT_NE(text.find("\"Tiger 3\" -> \"Fl\u00E4chenbrand \u20AC\""), std::string::npos) << text;
    const Bytes bytes = ComparisonCsv(c);
    const std::string csv(bytes.begin(), bytes.end());
    EXPECT_NE(csv.find(",Tiger 2,\"'=HYPERLINK(\"\"x\"\")\"\r\n"), std::string::npos) << csv;
    EXPECT_NE(csv.find(",Fl\u00E4chenbrand \u20AC\r\n"), std::string::npos) << csv;
}

// Taking every listed field of units that differ in every byte leaves nothing to list: each
// row takes what it shows, and nothing else is left behind.
template <class Table, class Take, class Compare>
void takeEverything(Table ours, Compare compare, Take take) {
    Table theirs = ours;
    std::mt19937 random(7);
    for (auto& u : theirs.units) {
        for (auto& b : u.record.bytes)
            b = static_cast<std::uint8_t>(random());
        SetMaskRight(u); // as every load leaves a table
    }
    const TableComparison before = compare(ours, theirs);
    ASSERT_EQ(before.changed.size(), ours.count());
    for (const UnitDifference& d : before.changed)
        for (const FieldDifference& f : d.fields)
            if (f.field->kind != FieldKind::Name)
                take(ours.units[d.unit], theirs.units[d.unit], *f.field);
    const TableComparison after = compare(ours, theirs);
    EXPECT_TRUE(after.equal()) << ComparisonText(after, "ours", "theirs");
}

TEST(Compare, TakingEveryListedFieldMakesUnitsEqual) {
    takeEverything(
        pg2Table(), [](const auto& a, const auto& b) { return ComparePg2Tables(a, b, false); },
        TakePg2Field);
    takeEverything(
        pegTable(), [](const auto& a, const auto& b) { return ComparePegTables(a, b, false); },
        TakePegField);
}

} // namespace
} // namespace varnel

namespace varnel {
namespace {

// What a range update keeps equal to a whole comparison: the units outside the range, and the
// units inside it compared again, in order.
std::string summaryOf(const TableComparison& c) {
    std::string out;
    for (const UnitDifference& d : c.changed) {
        out += std::to_string(d.unit) + ":";
        for (const FieldDifference& f : d.fields)
            out += std::string(f.field->name) + "=" + f.ours + ">" + f.theirs + ",";
        out += d.name + ";";
    }
    return out;
}

TEST(Compare, ARangeComparedAgainAgreesWithTheWhole) {
    const PegUnitTable theirs = pegTable();
    PegUnitTable ours = theirs;
    std::mt19937 rng(7);
    TableComparison comparison = ComparePegTables(ours, theirs);
    for (int round = 0; round < 40; ++round) {
        const std::size_t first = rng() % ours.count();
        const std::size_t count = 1 + rng() % std::min<std::size_t>(5, ours.count() - first);
        for (std::size_t i = first; i < first + count; ++i) {
            if (rng() % 3 == 0)
                ours.units[i] = theirs.units[i]; // back to theirs: no longer listed
            else
                ours.units[i].record[peg::SoftAtk] = static_cast<std::uint8_t>(rng() % 9);
            if (rng() % 4 == 0)
                ours.setName(i, "Renamed " + std::to_string(round));
        }
        ASSERT_TRUE(UpdateComparison(comparison, ours, theirs, first, count));
        EXPECT_EQ(summaryOf(comparison), summaryOf(ComparePegTables(ours, theirs))) << round;
    }
    // Units added: the counts no longer fit, and the update says so.
    ours.units.push_back(ours.units[0]);
    EXPECT_FALSE(UpdateComparison(comparison, ours, theirs, 0, 1));
}

} // namespace
} // namespace varnel
