#include "equip/fieldtable.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <string>
#include <vector>

namespace varnel {
namespace {

// ---------------------------------------------------------------------------------------------
// What each control of the two unit forms edits, written down from the forms' descriptions and
// checked against the field table through its behaviour.

enum class Value { Number, Year, Cost, Any, List, Check, Icon, Name };
enum class Place { Byte, Bits, Icon, Country, Switch1, Switch2, Name };

struct Expected {
    const char* name; // the stable field name
    int control;
    const char* caption;
    const char* tooltip;
    Value value;
    int maxShown; // largest accepted shown value; lists: item count - 1
    Place place;
    int offset; // record offset (Byte, Bits, Icon) or switch number (Switch1, Switch2)
    int mask;   // Bits: the one bit of the byte at `offset`
};

constexpr int kNoOffset = -1;

const std::vector<Expected>& Pg2Expected() {
    using namespace pg2;
    static const std::vector<Expected> rows = {
        {"denomination", 1125, "Unit", "", Value::Name, 0, Place::Name, kNoOffset, 0},
        {"country", 1128, "Country", "", Value::List, 26, Place::Country, kNoOffset, 0},
        {"class", 1129, "Class", "", Value::List, 21, Place::Byte, Class, 0},
        {"montAvaible", 1113, "From ", "", Value::List, 12, Place::Byte, MontAvaible, 0},
        {"yearAvaible", 1112, "", "", Value::Year, 2155, Place::Byte, YearAvaible, 0},
        {"monthExpired", 1127, "Until ", "", Value::List, 12, Place::Byte, MonthExpired, 0},
        {"yearExpired", 1115, "", "", Value::Year, 2155, Place::Byte, YearExpired, 0},
        {"airAtk", 1108, "", "Air attack", Value::Number, 255, Place::Byte, AirAtk, 0},
        {"airDef", 1097, "", "Air Defense", Value::Number, 255, Place::Byte, AirDef, 0},
        {"ammo", 1101, "", "Ammunition", Value::Number, 255, Place::Byte, Ammo, 0},
        {"closeDef", 1098, "", "Close defense", Value::Number, 255, Place::Byte, CloseDef, 0},
        {"cost", 1110, "", "Cost = Number*12", Value::Cost, 3060, Place::Byte, Cost, 0},
        {"fuel", 1100, "", "Fuel", Value::Number, 255, Place::Byte, Fuel, 0},
        {"groundDef", 1096, "", "Ground defense", Value::Number, 255, Place::Byte, GroundDef, 0},
        {"hardAtk", 1106, "", "Hard attack", Value::Number, 255, Place::Byte, HardAtk, 0},
        {"initiativa", 1103, "", "Initiative", Value::Number, 255, Place::Byte, Initiativa, 0},
        {"navalAtk", 1109, "", "Naval attack", Value::Number, 255, Place::Byte, NavalAtk, 0},
        {"gunRange", 1102, "", "Range", Value::Number, 255, Place::Byte, GunRange, 0},
        {"rangeDefMod", 1099, "", "Range defense modifier", Value::Number, 255, Place::Byte,
         RangeDefMod, 0},
        {"softAtk", 1107, "", "Soft attack", Value::Number, 255, Place::Byte, SoftAtk, 0},
        {"spotRange", 1104, "", "Spotting range", Value::Number, 255, Place::Byte, SpotRange, 0},
        {"movPoints", 1105, "", "Movement", Value::Number, 255, Place::Byte, MovPoints, 0},
        {"bomberCode", 1130, "", "How much fuel,Ammo for supression/destroyed a levelbomber takes",
         Value::Number, 255, Place::Byte, bomberCode, 0},
        {"movMethod", 1132, "Move  Method", "Movement method", Value::List, 11, Place::Byte,
         MovMethod, 0},
        {"organicTransport", 1131, "Organic Trasport", "", Value::List, 3, Place::Byte,
         OrganicTransport, 0},
        {"target", 1134, "Target type", "", Value::List, 3, Place::Byte, Target, 0},
        {"moveMode", 1139, "Movement Type", "", Value::List, 1, Place::Byte, MoveMode, 0},
        {"engineer", 1116, "Engineer", "Unit ignores entrenchments", Value::Check, 1,
         Place::Switch1, 2, 0},
        {"bridge", 1117, "Bridge", "Unit is a bridge on rivers", Value::Check, 1, Place::Switch1, 3,
         0},
        {"cantSoftAtk", 1122, "Can't Soft Atk", "Unit cannot directly SOFT attack. (AD, trans)",
         Value::Check, 1, Place::Switch1, 4, 0},
        {"cantHardAtk", 1123, "Can't Hardt Atk", "Unit cannot directly HARD attack. (AD, trans)",
         Value::Check, 1, Place::Switch1, 5, 0},
        {"cantAirAtk", 1124, "Can't Air  Atk",
         "Unit cannot directly AIR attack. (Ships, Tacbomber, Atrans)", Value::Check, 1,
         Place::Switch1, 6, 0},
        {"mountain", 1121, "Mountain", "Moves in all terrain as clear ground", Value::Check, 1,
         Place::Switch2, 1, 0},
        {"atkMel", 1118, "", "20XX.MEL file when Attack", Value::Number, 99, Place::Byte, atkMel,
         0},
        {"movMel", 1119, "", "10XX.MEL file when move", Value::Number, 99, Place::Byte, movMel, 0},
        {"dieMel", 1120, "", "30XX.MEL file when killed", Value::Number, 99, Place::Byte, dieMel,
         0},
        {"icon", 1142, "Icon", "Icon to be used (from Panzer.dat)", Value::Icon, 0, Place::Icon,
         Icon, 0},
    };
    return rows;
}

const std::vector<Expected>& PegExpected() {
    using namespace peg;
    constexpr int O1 = Options1, O2 = Options2, O3 = Options3;
    static const std::vector<Expected> rows = {
        {"denomination", 1125, "Unit", "", Value::Name, 0, Place::Name, kNoOffset, 0},
        {"country", 1128, "Country", "", Value::List, 20, Place::Byte, Country, 0},
        {"class", 1129, "Class", "", Value::List, 21, Place::Byte, Class, 0},
        {"monthAvaible", 1113, "Available From ", "", Value::List, 12, Place::Byte, MonthAvaible,
         0},
        {"yearAvaible", 1112, "", "", Value::Year, 2255, Place::Byte, YearAvaible, 0},
        {"airAtk", 1108, "", "Air attack", Value::Number, 255, Place::Byte, AirAtk, 0},
        {"airDef", 1097, "", "Air Defense", Value::Number, 255, Place::Byte, AirDef, 0},
        {"ammo", 1101, "", "Ammunition", Value::Number, 255, Place::Byte, Ammo, 0},
        {"closeAtkDef", 1098, "", "Close defense", Value::Number, 255, Place::Byte, CloseAtkDef, 0},
        {"closeAtkDef2", 1111, "", "Close Atk/Def", Value::Number, 255, Place::Byte, CloseAtkDef,
         0},
        {"cost", 1110, "", "Cost = Number*10", Value::Cost, 2550, Place::Byte, Cost, 0},
        {"profile", 1005, "", "", Value::Number, 255, Place::Byte, Profile, 0},
        {"groundDef", 1096, "", "Ground defense", Value::Number, 255, Place::Byte, GroundDef, 0},
        {"hardAtk", 1106, "", "Hard attack", Value::Number, 255, Place::Byte, HardAtk, 0},
        {"heloAtk", 1003, "", "Helicopter attack", Value::Number, 255, Place::Byte, HeloAtk, 0},
        {"range", 1102, "", "Range", Value::Number, 255, Place::Byte, Range, 0},
        {"indirectDef", 1099, "", "Indirect defenser", Value::Number, 255, Place::Byte, IndirectDef,
         0},
        {"softAtk", 1107, "", "Soft attack", Value::Number, 255, Place::Byte, SoftAtk, 0},
        {"spotting", 1104, "", "Spotting range", Value::Number, 255, Place::Byte, Spotting, 0},
        {"movPoints", 1105, "", "Movement", Value::Number, 255, Place::Byte, MovPoints, 0},
        {"byte55", 1133, "Air Transport / Icon  ($36)",
         "Icon for Air MIssions (1 recon, 2 AirTransport, 4 HeloTransport, 8 Wild Weasel, 16 "
         "AirStrike, 32 DefensiveSupport",
         Value::Any, INT_MAX, Place::Byte, byte55, 0},
        {"movType", 1132, "Move  Method", "Movement method", Value::List, 12, Place::Byte, MovType,
         0},
        {"airTransp", 1131, "Air Transport Mode", "", Value::List, 2, Place::Byte, airTransp, 0},
        {"targetType", 1134, "Target type", "", Value::List, 3, Place::Byte, TargetType, 0},
        {"airUnit", 1139, "Air Unit", "", Value::List, 1, Place::Byte, AirUnit, 0},
        {"ignoreEntrench", 1116, "Ignore Entrench", "Unit ignores entrenchments", Value::Check, 1,
         Place::Bits, O1, 0x04},
        {"bridge", 1117, "Bridge", "Unit is a bridge on rivers", Value::Check, 1, Place::Bits, O1,
         0x08},
        {"noSoftAtk", 1122, "no Soft Atk", "Unit cannot directly SOFT attack. (AD, trans)",
         Value::Check, 1, Place::Bits, O1, 0x10},
        {"noHardAtk", 1123, "no Hardt Atk", "Unit cannot directly HARD attack. (AD, trans)",
         Value::Check, 1, Place::Bits, O1, 0x20},
        {"noAirAtk", 1124, "no Air  Atk",
         "Unit cannot directly AIR attack. (Ships, Tacbomber, Atrans)", Value::Check, 1,
         Place::Bits, O1, 0x40},
        {"hide", 1008, "Hide", "", Value::Check, 1, Place::Bits, O1, 0x80},
        {"airborne", 1121, "Airborne", "", Value::Check, 1, Place::Bits, O2, 0x02},
        {"noHeloAtk", 1127, "no Helo Atk", "", Value::Check, 1, Place::Bits, O2, 0x04},
        {"cbtSupport", 1009, "Cbt.Support", "", Value::Check, 1, Place::Bits, O2, 0x10},
        {"riverAssault", 1006, "River Assault", "", Value::Check, 1, Place::Bits, O2, 0x20},
        {"lightInfantry", 1012, "Light Infantry", "", Value::Check, 1, Place::Bits, O2, 0x40},
        {"destroyEntrench", 1010, "Destroy Entrench", "", Value::Check, 1, Place::Bits, O2, 0x80},
        {"quickEntrench", 1011, "Quick Entrench", "", Value::Check, 1, Place::Bits, O3, 0x01},
        {"bCloseCbt", 1130, "B.CloseCbt", "", Value::Check, 1, Place::Bits, O3, 0x04},
        {"atkSnd", 1118, "", "20XX.MEL file when Attack", Value::Number, 99, Place::Byte, atkSnd,
         0},
        {"movSnd", 1119, "", "10XX.MEL file when move", Value::Number, 99, Place::Byte, movSnd, 0},
        {"dieSnd", 1120, "", "30XX.MEL file when killed", Value::Number, 99, Place::Byte, dieSnd,
         0},
        {"unitIcon", 1142, "Main Icon", "Icon to be used (from Modgen.dat)", Value::Icon, 0,
         Place::Icon, UnitIcon, 0},
        {"movIcon", 1004, "Move  Icon", "Icon to be used while moving", Value::Icon, 0, Place::Icon,
         MovIcon, 0},
    };
    return rows;
}

// The eight PeG options the game shows an icon for; at most four may be set.
const std::set<std::string> kIconedNames = {"ignoreEntrench",  "bridge",       "airborne",
                                            "cbtSupport",      "riverAssault", "lightInfantry",
                                            "destroyEntrench", "quickEntrench"};

// ---------------------------------------------------------------------------------------------
// Units and the per-game calls, so one test body serves both games.

// Every byte differs from its neighbours, so a store into a wrong byte shows. The PeG flag bytes
// hold three iconed options (Ignore Entrench, River Assault, Quick Entrench) and unused bits.
Pg2UnitTable PatternPg2Table() {
    Pg2UnitTable table;
    Pg2Unit& unit = table.units.emplace_back();
    for (std::size_t i = 0; i < unit.record.bytes.size(); ++i)
        unit.record.bytes[i] = static_cast<std::uint8_t>(i * 37 + 11);
    EncodePg2Country(unit.record, 5);
    table.setName(0, "Pz.Kpfw. IV \xE9");
    return table;
}

PegUnitTable PatternPegTable() {
    PegUnitTable table;
    PegUnit& unit = table.units.emplace_back();
    for (std::size_t i = 0; i < unit.record.bytes.size(); ++i)
        unit.record.bytes[i] = static_cast<std::uint8_t>(i * 37 + 11);
    unit.record[peg::Options1] = 0xB5;
    unit.record[peg::Options2] = 0x25;
    unit.record[peg::Options3] = 0x01;
    table.setName(0, "M1A2 Abrams \xE9");
    return table;
}

struct AnyUnit {
    Game game;
    Pg2UnitTable pg2Table; // one unit each
    PegUnitTable pegTable;

    static AnyUnit Pattern(Game game) {
        return AnyUnit{game, PatternPg2Table(), PatternPegTable()};
    }
    static AnyUnit Filled(Game game, std::uint8_t value) {
        AnyUnit u{game, {}, {}};
        u.pg2Table.units.resize(1);
        u.pegTable.units.resize(1);
        u.pg2().record.bytes.fill(value);
        u.peg().record.bytes.fill(value);
        SetMaskRight(u.pg2()); // as a load leaves it
        return u;
    }

    Pg2Unit& pg2() { return pg2Table.units[0]; }
    PegUnit& peg() { return pegTable.units[0]; }
    const Pg2Unit& pg2() const { return pg2Table.units[0]; }
    const PegUnit& peg() const { return pegTable.units[0]; }
    FieldResult set(const FieldDef& f, std::string_view shown) {
        return game == Game::Pg2 ? SetPg2Field(pg2Table, 0, f, shown)
                                 : SetPegField(pegTable, 0, f, shown);
    }
    std::string text(const FieldDef& f) const {
        return game == Game::Pg2 ? FormatField(pg2Table, 0, f, FieldStyle::Form)
                                 : FormatField(pegTable, 0, f, FieldStyle::Form);
    }
    std::uint8_t* mutableBytes() {
        return game == Game::Pg2 ? pg2().record.bytes.data() : peg().record.bytes.data();
    }
    std::span<const std::uint8_t> bytes() const {
        return game == Game::Pg2 ? std::span<const std::uint8_t>(pg2().record.bytes)
                                 : std::span<const std::uint8_t>(peg().record.bytes);
    }
    std::string name() const {
        return std::string(game == Game::Pg2 ? pg2Table.name(0) : pegTable.name(0));
    }
};

// Everything a store could touch, compared as a whole.
void ExpectSameUnit(const AnyUnit& a, const AnyUnit& b) {
    const auto x = a.bytes();
    const auto y = b.bytes();
    ASSERT_EQ(x.size(), y.size());
    for (std::size_t i = 0; i < x.size(); ++i)
        EXPECT_EQ(x[i], y[i]) << "record byte " << i;
    EXPECT_EQ(a.name(), b.name());
}

std::string RangeMessage(int min, int max) {
    return "Please enter an integer between " + std::to_string(min) + " and " +
           std::to_string(max) + ".";
}

struct FieldCase {
    Game game;
    Expected expected;
};

std::string CaseName(const ::testing::TestParamInfo<FieldCase>& info) {
    return std::string(GameName(info.param.game)) + "_" + info.param.expected.name;
}

template <class Pred> std::vector<FieldCase> Cases(Pred keep) {
    std::vector<FieldCase> cases;
    for (Game game : {Game::Pg2, Game::Peg})
        for (const Expected& e : game == Game::Pg2 ? Pg2Expected() : PegExpected())
            if (keep(e))
                cases.push_back({game, e});
    return cases;
}

bool IsRangedNumber(const Expected& e) {
    return e.value == Value::Number || e.value == Value::Year || e.value == Value::Cost ||
           e.value == Value::List || e.value == Value::Check;
}

class FieldTest : public ::testing::TestWithParam<FieldCase> {
  protected:
    const FieldDef& field() {
        const FieldDef* f = FindFieldByControl(GetParam().game, GetParam().expected.control);
        if (f == nullptr)
            ADD_FAILURE() << "no field for control " << GetParam().expected.control;
        static const FieldDef none{};
        return f != nullptr ? *f : none;
    }
    const Expected& expected() { return GetParam().expected; }
    Game game() { return GetParam().game; }
    // The smallest shown value: a year starts at its game's base, every other number at 0.
    int minShown() {
        if (expected().value != Value::Year)
            return 0;
        return game() == Game::Pg2 ? GameTraits<Game::Pg2>::kYearBase
                                   : GameTraits<Game::Peg>::kYearBase;
    }
};

// ---------------------------------------------------------------------------------------------
// Every field of both forms.

class EveryField : public FieldTest {};

TEST_P(EveryField, IsTheRowOfItsControlAndName) {
    const FieldDef& f = field();
    EXPECT_EQ(FindField(game(), expected().name), &f);
    EXPECT_STREQ(f.caption, expected().caption);
    EXPECT_STREQ(f.tooltip, expected().tooltip);
}

// A new value lands in the place the form edits and nowhere else.
TEST_P(EveryField, StoreTouchesOnlyItsPlace) {
    const Expected& e = expected();
    AnyUnit unit = AnyUnit::Pattern(game());
    const AnyUnit before = unit;
    std::string shown;
    switch (e.value) {
    case Value::Name:
        shown = "Renamed";
        break;
    case Value::Icon:
        shown = "XY";
        break;
    case Value::Check:
        shown = unit.text(field()) == "1" ? "0" : "1";
        break;
    case Value::Any:
        shown = std::to_string(std::stoi(unit.text(field())) + 1);
        break;
    default:
        shown = unit.text(field()) == std::to_string(e.maxShown) ? std::to_string(minShown())
                                                                 : std::to_string(e.maxShown);
        break;
    }
    const FieldResult r = unit.set(field(), shown);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.change, e.place == Place::Name ? FieldChange::Names : FieldChange::Data);
    EXPECT_EQ(r.message, "");

    const auto x = before.bytes();
    const auto y = unit.bytes();
    bool placeChanged = false;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const int at = static_cast<int>(i);
        int allowed = 0;
        if ((e.place == Place::Byte && at == e.offset) ||
            (e.place == Place::Icon && at >= e.offset && at < e.offset + pg2::kIconLength))
            allowed = 0xFF;
        if (e.place == Place::Bits && at == e.offset)
            allowed = e.mask;
        // A PG2 switch is bit `offset` of its flag byte; the country is the four-byte mask.
        if ((e.place == Place::Switch1 && at == pg2::Special1) ||
            (e.place == Place::Switch2 && at == pg2::Special2))
            allowed = 1 << e.offset;
        if (e.place == Place::Country && game() == Game::Pg2 && at >= pg2::CountryMask &&
            at < pg2::CountryMask + 4)
            allowed = 0xFF;
        const int diff = x[i] ^ y[i];
        EXPECT_EQ(diff & ~allowed, 0) << "record byte " << i;
        if (allowed != 0 && diff != 0)
            placeChanged = true;
        if (e.place == Place::Bits && at == e.offset) {
            EXPECT_EQ(diff, e.mask) << "the option's own bit flips";
        }
        if (allowed != 0 && allowed != 0xFF) {
            EXPECT_EQ(diff, allowed) << "the own bit flips";
        }
    }
    if (e.place == Place::Name)
        placeChanged = unit.name() != before.name();
    else
        EXPECT_EQ(unit.name(), before.name());
    EXPECT_TRUE(placeChanged) << "\"" << shown << "\" changed nothing";
}

// What a control shows, stored back unedited, changes nothing.
TEST_P(EveryField, TextStoredBackIsNoChange) {
    for (std::uint8_t fill : {0, 1}) {
        AnyUnit unit = AnyUnit::Filled(game(), fill);
        if (expected().value == Value::Name)
            for (const char* text : {"Sherman \xE9\t(75)"}) {
                unit.pg2Table.setName(0, text);
                unit.pegTable.setName(0, text);
            }
        const AnyUnit before = unit;
        const std::string shown = unit.text(field());
        const FieldResult r = unit.set(field(), shown);
        EXPECT_TRUE(r.ok) << "fill " << int(fill) << " shown \"" << shown << "\": " << r.message;
        EXPECT_EQ(r.change, FieldChange::None) << "fill " << int(fill);
        ExpectSameUnit(unit, before);
    }
}

INSTANTIATE_TEST_SUITE_P(Forms, EveryField,
                         ::testing::ValuesIn(Cases([](const Expected&) { return true; })),
                         CaseName);

TEST(FieldTable, HoldsExactlyTheFormControls) {
    for (Game game : {Game::Pg2, Game::Peg}) {
        std::multiset<int> controls;
        std::multiset<std::string> names;
        for (const FieldDef& f : FormFields(game)) {
            controls.insert(f.control);
            names.insert(f.name);
        }
        std::multiset<int> wanted;
        for (const Expected& e : game == Game::Pg2 ? Pg2Expected() : PegExpected())
            wanted.insert(e.control);
        EXPECT_EQ(controls, wanted) << GameName(game);
        for (const auto& n : names)
            EXPECT_EQ(names.count(n), 1u) << GameName(game) << " " << n;
        // The unit list and the two filters are not fields of a unit.
        for (int control : {1094, 1023, 1024})
            EXPECT_EQ(FindFieldByControl(game, control), nullptr) << control;
    }
    EXPECT_EQ(FindField(Game::Pg2, "closeAtkDef2"), nullptr);
    EXPECT_EQ(FindField(Game::Peg, "noSuchField"), nullptr);
    EXPECT_EQ(FindField(Game::Peg, ""), nullptr);
}

// The rows after the form's cover every byte the form leaves out, take back only the value they
// hold, and are found by name like the others.
TEST(FieldTable, RowsCoverEveryByteOfTheRecord) {
    for (Game game : {Game::Pg2, Game::Peg}) {
        std::vector<int> covered(RecordSize(game), 0);
        std::set<std::string> names;
        for (const FieldDef& f : FieldTable(game)) {
            EXPECT_TRUE(names.insert(f.name).second) << f.name;
            EXPECT_EQ(FindField(game, f.name), &f) << f.name;
            EXPECT_EQ(f.readOnly, f.control == 0) << f.name;
            int first = f.offset;
            int width = 1;
            switch (f.kind) {
            case FieldKind::Name:
                continue;
            case FieldKind::Code:
                width = 2;
                break;
            case FieldKind::Icon:
                width = pg2::kIconLength;
                break;
            case FieldKind::Bit:
                first += f.bit / 8;
                break;
            case FieldKind::Country:
                width = game == Game::Pg2 ? 4 : 1;
                break;
            default:
                break;
            }
            for (int k = first; k < first + width; ++k)
                ++covered[static_cast<std::size_t>(k)];
        }
        for (std::size_t offset = 0; offset < covered.size(); ++offset)
            EXPECT_GT(covered[offset], 0) << GameName(game) << " byte " << offset;
    }
}

TEST(FieldTable, ReadOnlyRowsTakeOnlyTheValueTheyHold) {
    Pg2UnitTable pg2Table = PatternPg2Table();
    PegUnitTable pegTable = PatternPegTable();
    const Pg2UnitTable pg2Before = pg2Table;
    const PegUnitTable pegBefore = pegTable;
    for (const char* name : {"code", "byteB21", "special1", "countryMask2", "byte73"}) {
        const FieldDef& f = *FindField(Game::Pg2, name);
        const std::string held = FormatField(pg2Table, 0, f, FieldStyle::Form);
        EXPECT_EQ(held, std::to_string(Pg2StoredValue(pg2Table.units[0], f))) << name;
        EXPECT_TRUE(SetPg2Field(pg2Table, 0, f, " " + held + " ").ok) << name;
        const FieldResult r = SetPg2Field(pg2Table, 0, f, std::to_string(std::stoi(held) + 1));
        EXPECT_FALSE(r.ok) << name;
        EXPECT_EQ(r.message, std::string("The field ") + name + " cannot be changed.");
    }
    for (const char* name : {"code", "options2", "byteB22", "byte61"}) {
        const FieldDef& f = *FindField(Game::Peg, name);
        const std::string held = FormatField(pegTable, 0, f, FieldStyle::Form);
        EXPECT_TRUE(SetPegField(pegTable, 0, f, held).ok) << name;
        EXPECT_FALSE(SetPegField(pegTable, 0, f, "x").ok) << name;
        EXPECT_FALSE(SetPegField(pegTable, 0, f, std::to_string(std::stoi(held) ^ 1)).ok) << name;
    }
    EXPECT_EQ(pg2Table.units[0].record.bytes, pg2Before.units[0].record.bytes);
    EXPECT_EQ(pegTable.units[0].record.bytes, pegBefore.units[0].record.bytes);
}

// The mask and flag bytes a PG2 row shows follow the country and the switches set in the form.
TEST(FieldTable, MaskAndFlagRowsFollowTheCountryAndSwitches) {
    Pg2UnitTable table = PatternPg2Table();
    const int special1 = table.units[0].record[pg2::Special1];
    ASSERT_TRUE(SetPg2Field(table, 0, *FindField(Game::Pg2, "country"), "9").ok);
    ASSERT_TRUE(SetPg2Field(table, 0, *FindField(Game::Pg2, "bridge"), "1").ok);
    const auto byte = [&](const char* name) {
        return Pg2StoredValue(table.units[0], *FindField(Game::Pg2, name));
    };
    EXPECT_EQ(byte("countryMask0"), 0);
    EXPECT_EQ(byte("countryMask1"), 0x40);
    EXPECT_EQ(byte("countryMask2"), 0);
    EXPECT_EQ(byte("countryMask3"), 0);
    EXPECT_EQ(byte("special1"), special1 | 8);
    EXPECT_EQ(byte("country"), 9);
}

// ---------------------------------------------------------------------------------------------
// Numbers, lists and check boxes: range checks and conversions.

class RangedField : public FieldTest {};

TEST_P(RangedField, AcceptsBothEndsOfItsRange) {
    for (int shown : {minShown(), expected().maxShown}) {
        AnyUnit unit = AnyUnit::Pattern(game());
        const FieldResult r = unit.set(field(), std::to_string(shown));
        EXPECT_TRUE(r.ok) << shown << ": " << r.message;
        EXPECT_EQ(r.message, "");
    }
}

TEST_P(RangedField, RefusesJustOutsideItsRangeAndKeepsTheUnit) {
    const std::string message = RangeMessage(minShown(), expected().maxShown);
    for (int shown : {minShown() - 1, expected().maxShown + 1}) {
        AnyUnit unit = AnyUnit::Pattern(game());
        const AnyUnit before = unit;
        const FieldResult r = unit.set(field(), std::to_string(shown));
        EXPECT_FALSE(r.ok) << shown;
        EXPECT_EQ(r.change, FieldChange::None);
        EXPECT_EQ(r.message, message) << shown;
        ExpectSameUnit(unit, before);
    }
}

// Every value in the range either comes back exactly or is refused with the unit kept: a value
// is never rounded or wrapped into another.
TEST_P(RangedField, EveryAcceptedValueShowsBackAndStoresBackUnchanged) {
    const int factor = game() == Game::Pg2 ? GameTraits<Game::Pg2>::kCostFactor
                                           : GameTraits<Game::Peg>::kCostFactor;
    AnyUnit unit = AnyUnit::Pattern(game());
    int accepted = 0;
    for (int shown = minShown(); shown <= expected().maxShown; ++shown) {
        const AnyUnit kept = unit;
        const FieldResult r = unit.set(field(), std::to_string(shown));
        if (expected().value == Value::Cost && shown % factor != 0) {
            const int below = shown - shown % factor;
            EXPECT_EQ(r.message, "Please enter a multiple of " + std::to_string(factor) +
                                     ", such as " + std::to_string(below) + " or " +
                                     std::to_string(below + factor) + ".");
            ExpectSameUnit(unit, kept);
            continue;
        }
        ASSERT_TRUE(r.ok) << shown << ": " << r.message;
        ++accepted;
        const std::string text = unit.text(field());
        EXPECT_EQ(text, std::to_string(shown));
        const AnyUnit before = unit;
        const FieldResult again = unit.set(field(), text);
        ASSERT_TRUE(again.ok) << text << ": " << again.message;
        EXPECT_EQ(again.change, FieldChange::None) << text;
        ExpectSameUnit(unit, before);
    }
    // A cost field stores all 256 bytes; every other field each value of its range.
    EXPECT_EQ(accepted,
              expected().value == Value::Cost ? 256 : expected().maxShown - minShown() + 1);
}

INSTANTIATE_TEST_SUITE_P(Forms, RangedField, ::testing::ValuesIn(Cases(IsRangedNumber)), CaseName);

// Text that is no whole number is refused by every numeric field, byte55 included.
class NumericField : public FieldTest {};

TEST_P(NumericField, RefusesTextThatIsNoInteger) {
    for (const char* shown :
         {"", "   ", "abc", "12x", "x12", "1 2", "0x10", "1.5", "1e2", "+", "-", "--1", "+-1",
          "2147483648", "-2147483649", "99999999999999999999", "\xEF\xBC\x91"}) {
        AnyUnit unit = AnyUnit::Pattern(game());
        const AnyUnit before = unit;
        const FieldResult r = unit.set(field(), shown);
        EXPECT_FALSE(r.ok) << '"' << shown << '"';
        EXPECT_EQ(r.message, "Please enter an integer.") << '"' << shown << '"';
        EXPECT_EQ(r.change, FieldChange::None);
        ExpectSameUnit(unit, before);
    }
}

TEST_P(NumericField, AllowsBlanksAroundAndASign) {
    // The top of the range: a value every field stores exactly (a year has no 1).
    const std::string v = std::to_string(expected().maxShown);
    AnyUnit plain = AnyUnit::Pattern(game());
    ASSERT_TRUE(plain.set(field(), v).ok);
    for (const std::string& shown :
         {" " + v, v + " ", "\t+" + v + "\t", "  +" + v + "  ", "0" + v, "+000" + v}) {
        AnyUnit unit = AnyUnit::Pattern(game());
        const FieldResult r = unit.set(field(), shown);
        EXPECT_TRUE(r.ok) << '"' << shown << "\": " << r.message;
        ExpectSameUnit(unit, plain);
    }
}

INSTANTIATE_TEST_SUITE_P(Forms, NumericField, ::testing::ValuesIn(Cases([](const Expected& e) {
                             return IsRangedNumber(e) || e.value == Value::Any;
                         })),
                         CaseName);

// ---------------------------------------------------------------------------------------------
// The cases the forms are known by.

struct Example {
    const char* name;
    Game game;
    const char* field;
    const char* shown;
    const char* message; // "" when accepted
    const char* textAfter;
    int storedByte; // the record byte at the field's offset afterwards; -1 unchecked
};

class FieldExample : public ::testing::TestWithParam<Example> {};

TEST_P(FieldExample, StoresAndShows) {
    const Example& c = GetParam();
    const FieldDef* f = FindField(c.game, c.field);
    ASSERT_NE(f, nullptr) << c.field;
    AnyUnit unit = AnyUnit::Filled(c.game, 0);
    // A start value that differs from every result below.
    const char* start = f->kind == FieldKind::Year   ? "2100"
                        : f->kind == FieldKind::Cost ? "120"
                                                     : "1";
    ASSERT_TRUE(unit.set(*f, start).ok);
    const AnyUnit before = unit;
    const FieldResult r = unit.set(*f, c.shown);
    EXPECT_EQ(r.message, c.message);
    EXPECT_EQ(r.ok, std::string(c.message).empty());
    if (!r.ok)
        ExpectSameUnit(unit, before);
    EXPECT_EQ(unit.text(*f), c.textAfter);
    if (c.storedByte >= 0) {
        EXPECT_EQ(unit.bytes()[static_cast<std::size_t>(f->offset)], c.storedByte);
    }
}

constexpr const char* kOk = "";
constexpr const char* kNotInteger = "Please enter an integer.";

INSTANTIATE_TEST_SUITE_P(
    Forms, FieldExample,
    ::testing::Values(
        Example{"Pg2CostBetweenMultiples", Game::Pg2, "cost", "227",
                "Please enter a multiple of 12, such as 216 or 228.", "120", 10},
        Example{"Pg2CostJustAboveZero", Game::Pg2, "cost", "5",
                "Please enter a multiple of 12, such as 0 or 12.", "120", 10},
        Example{"Pg2CostMultiple", Game::Pg2, "cost", "228", kOk, "228", 19},
        Example{"Pg2CostTop", Game::Pg2, "cost", "3060", kOk, "3060", 255},
        Example{"Pg2CostPastTop", Game::Pg2, "cost", "3061",
                "Please enter an integer between 0 and 3060.", "120", 10},
        Example{"Pg2YearPastTheByte", Game::Pg2, "yearAvaible", "2156",
                "Please enter an integer between 1900 and 2155.", "2100", 200},
        Example{"Pg2YearBeforeBase", Game::Pg2, "yearExpired", "1899",
                "Please enter an integer between 1900 and 2155.", "2100", 200},
        Example{"Pg2YearTwoDigits", Game::Pg2, "yearExpired", "39",
                "Please enter an integer between 1900 and 2155.", "2100", 200},
        Example{"Pg2YearFirst", Game::Pg2, "yearExpired", "1900", kOk, "1900", 0},
        Example{"Pg2YearLast", Game::Pg2, "yearAvaible", "2155", kOk, "2155", 255},
        Example{"Pg2IconSixLetters", Game::Pg2, "icon", "ABCDEF", kOk, "ABCDEF", 'A'},
        Example{"Pg2IconSevenLetters", Game::Pg2, "icon", "ABCDEFG",
                "Please enter no more than 6 characters.", "1", '1'},
        Example{"Pg2AirAttackPastByte", Game::Pg2, "airAtk", "300",
                "Please enter an integer between 0 and 255.", "1", 1},
        Example{"Pg2SoundPastFile", Game::Pg2, "atkMel", "100",
                "Please enter an integer between 0 and 99.", "1", 1},
        Example{"Pg2ClassPastList", Game::Pg2, "class", "22",
                "Please enter an integer between 0 and 21.", "1", 1},
        Example{"Pg2MonthPastList", Game::Pg2, "monthExpired", "13",
                "Please enter an integer between 0 and 12.", "1", 1},
        Example{"Pg2CountryPastList", Game::Pg2, "country", "27",
                "Please enter an integer between 0 and 26.", "1", -1},
        Example{"Pg2CheckBoxTwo", Game::Pg2, "engineer", "2",
                "Please enter an integer between 0 and 1.", "1", -1},
        Example{"Pg2BlanksAndSign", Game::Pg2, "fuel", " +42\t", kOk, "42", 42},
        Example{"Pg2Letters", Game::Pg2, "fuel", "4two", kNotInteger, "1", 1},
        Example{"PegCostBetweenMultiples", Game::Peg, "cost", "2545",
                "Please enter a multiple of 10, such as 2540 or 2550.", "120", 12},
        Example{"PegCostTop", Game::Peg, "cost", "2550", kOk, "2550", 255},
        Example{"PegCostThatWouldWrap", Game::Peg, "cost", "2560",
                "Please enter an integer between 0 and 2550.", "120", 12},
        Example{"PegYearBeforeBase", Game::Peg, "yearAvaible", "1999",
                "Please enter an integer between 2000 and 2255.", "2100", 100},
        Example{"PegYearPastTheByte", Game::Peg, "yearAvaible", "3000",
                "Please enter an integer between 2000 and 2255.", "2100", 100},
        Example{"PegYearLast", Game::Peg, "yearAvaible", "2255", kOk, "2255", 255},
        Example{"PegYearStoredFromBase", Game::Peg, "yearAvaible", "2009", kOk, "2009", 9},
        Example{"PegByte55KeepsLowBits", Game::Peg, "byte55", "256", kOk, "0", 0},
        Example{"PegByte55Negative", Game::Peg, "byte55", "-1", kOk, "255", 255},
        Example{"PegByte55IntMax", Game::Peg, "byte55", "2147483647", kOk, "255", 255},
        Example{"PegByte55IntMin", Game::Peg, "byte55", "-2147483648", kOk, "0", 0},
        Example{"PegByte55PastInt", Game::Peg, "byte55", "2147483648", kNotInteger, "1", 1},
        Example{"PegByte55Letters", Game::Peg, "byte55", "abc", kNotInteger, "1", 1},
        Example{"PegMoveTypeLast", Game::Peg, "movType", "12", kOk, "12", 12},
        Example{"PegMoveTypePastList", Game::Peg, "movType", "13",
                "Please enter an integer between 0 and 12.", "1", 1},
        Example{"PegAirTransportPastList", Game::Peg, "airTransp", "3",
                "Please enter an integer between 0 and 2.", "1", 1},
        Example{"PegCountryPastList", Game::Peg, "country", "21",
                "Please enter an integer between 0 and 20.", "1", 1},
        Example{"PegSoundPastFile", Game::Peg, "dieSnd", "100",
                "Please enter an integer between 0 and 99.", "1", 1}),
    [](const auto& info) { return std::string(info.param.name); });

// A drop-down takes its number, its item's words in any letter case, or both as the list shows
// them; the words must be the item's own. What the form, the table and CSV all go through.
struct ItemCase {
    const char* name;
    Game game;
    const char* field;
    int position;
    const char* form; // "words", "UPPER", "item", "numberWords", "otherNumber"
    bool ok;
};

class DropDownByText : public ::testing::TestWithParam<ItemCase> {};

TEST_P(DropDownByText, StoresTheItemsPosition) {
    const ItemCase& c = GetParam();
    const FieldDef& f = *FindField(c.game, c.field);
    const std::string item = FieldItemText(f, c.position);
    ASSERT_FALSE(item.empty());
    // The words: the item without the number a numbered or whole-item list puts first.
    std::string words = item;
    const std::size_t at = words.find_first_not_of("0123456789 ");
    if (at != 0 && at != std::string::npos)
        words = words.substr(at);
    std::string shown;
    const std::string form = c.form;
    if (form == "words")
        shown = words;
    else if (form == "UPPER")
        for (const char ch : words)
            shown += ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 'a' + 'A') : ch;
    else if (form == "item")
        shown = " " + item + " ";
    else if (form == "numberWords")
        shown = std::to_string(c.position) + " " + words;
    else
        shown = std::to_string(c.position + 1) + " " + words;
    AnyUnit unit = AnyUnit::Filled(c.game, 0);
    const AnyUnit before = unit;
    const FieldResult r = unit.set(f, shown);
    EXPECT_EQ(r.ok, c.ok) << shown << ": " << r.message;
    if (c.ok) {
        EXPECT_EQ(unit.text(f), std::to_string(c.position)) << shown;
    } else {
        EXPECT_EQ(r.message, "Please enter an integer.");
        ExpectSameUnit(unit, before);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Forms, DropDownByText,
    ::testing::Values(
        ItemCase{"Pg2ClassWords", Game::Pg2, "class", 3, "words", true},
        ItemCase{"Pg2ClassUpperCase", Game::Pg2, "class", 3, "UPPER", true},
        ItemCase{"Pg2ClassWholeItem", Game::Pg2, "class", 3, "item", true},
        ItemCase{"Pg2ClassNumberAndWords", Game::Pg2, "class", 3, "numberWords", true},
        ItemCase{"Pg2ClassWrongNumber", Game::Pg2, "class", 3, "otherNumber", false},
        ItemCase{"Pg2MoveModeWholeItem", Game::Pg2, "moveMode", 1, "item", true},
        ItemCase{"Pg2MoveModeWords", Game::Pg2, "moveMode", 1, "UPPER", true},
        ItemCase{"PegMonthWords", Game::Peg, "monthAvaible", 5, "words", true},
        ItemCase{"PegMovTypeNumberAndWords", Game::Peg, "movType", 7, "numberWords", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FieldChangeFlag, SameValueIsNoChangeNewValueIsData) {
    PegUnitTable table = PatternPegTable();
    PegUnit& unit = table.units[0];
    const FieldDef& cost = *FindField(Game::Peg, "cost");
    EXPECT_EQ(SetPegField(table, 0, cost, "1230").change, FieldChange::Data);
    // The same value with blanks and a sign stores the same 123.
    const FieldResult same = SetPegField(table, 0, cost, " +1230");
    EXPECT_TRUE(same.ok);
    EXPECT_EQ(same.change, FieldChange::None);
    EXPECT_EQ(unit.record[peg::Cost], 123);
}

TEST(PegCloseAtkDef, BothBoxesEditTheSameByte) {
    PegUnitTable table = PatternPegTable();
    const FieldDef& first = *FindField(Game::Peg, "closeAtkDef");
    const FieldDef& second = *FindField(Game::Peg, "closeAtkDef2");
    ASSERT_TRUE(SetPegField(table, 0, second, "77").ok);
    EXPECT_EQ(FormatField(table, 0, first, FieldStyle::Form), "77");
    ASSERT_TRUE(SetPegField(table, 0, first, "12").ok);
    EXPECT_EQ(FormatField(table, 0, second, FieldStyle::Form), "12");
    EXPECT_EQ(SetPegField(table, 0, second, "12").change, FieldChange::None);
}

// ---------------------------------------------------------------------------------------------
// PG2 country and switches live in the record's bytes.

TEST(Pg2RecordFields, CountryAndSwitchesChangeOnlyTheirBits) {
    Pg2UnitTable table = PatternPg2Table();
    Pg2Unit& unit = table.units[0];
    const Pg2UnitRecord before = unit.record;
    ASSERT_TRUE(SetPg2Field(table, 0, *FindField(Game::Pg2, "country"), "26").ok);
    ASSERT_TRUE(SetPg2Field(table, 0, *FindField(Game::Pg2, "mountain"), "1").ok); // 2nd 1
    ASSERT_TRUE(SetPg2Field(table, 0, *FindField(Game::Pg2, "engineer"), "0").ok); // 1st 2
    EXPECT_EQ(Pg2Country(unit.record), 26);
    EXPECT_EQ(unit.record[pg2::CountryMask + 3], 32);
    EXPECT_EQ(unit.record[pg2::Special2] & 0x02, 0x02);
    EXPECT_EQ(unit.record[pg2::Special1] & 0x04, 0);
    // Bits no control shows stay as they were, and so does every other byte.
    EXPECT_EQ(unit.record[pg2::Special1] & ~0x04, before[pg2::Special1] & ~0x04);
    EXPECT_EQ(unit.record[pg2::Special2] & ~0x02, before[pg2::Special2] & ~0x02);
    for (int k = 0; k < static_cast<int>(pg2::kRecordSize); ++k) {
        if (k < pg2::CountryMask || k > pg2::Special2) {
            EXPECT_EQ(unit.record[k], before[k]) << k;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// PeG flag bits and the iconed options.

class PegBitField : public FieldTest {
  protected:
    // A PeG unit with no flag bit set but `count` iconed options, this field first when asked.
    PegUnitTable withIconed(int count, bool includingThis) {
        PegUnitTable table = PatternPegTable();
        PegUnit& unit = table.units[0];
        unit.record[peg::Options1] = unit.record[peg::Options2] = unit.record[peg::Options3] = 0;
        int set = 0;
        if (includingThis) {
            setBitDirectly(unit, field().control);
            ++set;
        }
        for (const FieldDef& f : FieldTable(Game::Peg)) {
            if (set == count)
                break;
            if (kIconedNames.count(f.name) != 0 && f.control != field().control) {
                setBitDirectly(unit, f.control);
                ++set;
            }
        }
        return table;
    }
    // Sets the bit of a check box straight in the record, as a loaded file may hold it.
    static void setBitDirectly(PegUnit& unit, int control) {
        for (const Expected& row : PegExpected())
            if (row.control == control)
                unit.record[row.offset] =
                    static_cast<std::uint8_t>(unit.record[row.offset] | row.mask);
    }
};

TEST_P(PegBitField, ChangesOnlyItsBitAmongAllSetOrAllClear) {
    for (std::uint8_t fill : {0x00, 0xFF}) {
        PegUnitTable table = PatternPegTable();
        PegUnit& unit = table.units[0];
        for (int o = peg::Options1; o <= peg::byteB30; ++o)
            unit.record[o] = fill;
        const PegUnit before = unit;
        // All set: clearing is always allowed. All clear: setting one is within the limit.
        const FieldResult r = SetPegField(table, 0, field(), fill == 0 ? "1" : "0");
        ASSERT_TRUE(r.ok) << r.message;
        EXPECT_EQ(r.change, FieldChange::Data);
        for (int i = 0; i < static_cast<int>(peg::kRecordSize); ++i) {
            EXPECT_EQ(unit.record[i] ^ before.record[i],
                      i == expected().offset ? expected().mask : 0)
                << "byte " << i;
        }
        EXPECT_EQ(FormatField(table, 0, field(), FieldStyle::Form), fill == 0 ? "1" : "0");
    }
}

INSTANTIATE_TEST_SUITE_P(Forms, PegBitField, ::testing::ValuesIn(Cases([](const Expected& e) {
                             return e.place == Place::Bits;
                         })),
                         CaseName);

class IconedOption : public PegBitField {};

TEST_P(IconedOption, FifthIsRefusedAndTheBitStaysClear) {
    PegUnitTable table = withIconed(4, false);
    PegUnit& unit = table.units[0];
    ASSERT_EQ(PegIconedCount(unit), 4);
    const PegUnit before = unit;
    const FieldResult r = SetPegField(table, 0, field(), "1");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.change, FieldChange::None);
    EXPECT_EQ(r.message, std::string(expected().name) == "cbtSupport" ? "Only 4 iconic options"
                                                                      : "Only 4 iconed options");
    EXPECT_EQ(unit.record.bytes, before.record.bytes);
    EXPECT_EQ(FormatField(table, 0, field(), FieldStyle::Form), "0");
    EXPECT_EQ(PegIconsTitle(unit), "4 Icons");
}

TEST_P(IconedOption, FourthIsAccepted) {
    PegUnitTable table = withIconed(3, false);
    PegUnit& unit = table.units[0];
    const FieldResult r = SetPegField(table, 0, field(), "1");
    EXPECT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.change, FieldChange::Data);
    EXPECT_EQ(PegIconedCount(unit), 4);
    EXPECT_EQ(PegIconsTitle(unit), "4 Icons");
}

TEST_P(IconedOption, ClearingOneOfFiveLoadedIsAccepted) {
    PegUnitTable table = withIconed(5, true);
    PegUnit& unit = table.units[0];
    ASSERT_EQ(PegIconedCount(unit), 5);
    // Already set: setting it again is no change, not a sixth option.
    const FieldResult again = SetPegField(table, 0, field(), "1");
    EXPECT_TRUE(again.ok) << again.message;
    EXPECT_EQ(again.change, FieldChange::None);
    const FieldResult r = SetPegField(table, 0, field(), "0");
    EXPECT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.change, FieldChange::Data);
    EXPECT_EQ(PegIconedCount(unit), 4);
    EXPECT_EQ(PegIconsTitle(unit), "4 Icons");
}

INSTANTIATE_TEST_SUITE_P(Forms, IconedOption, ::testing::ValuesIn(Cases([](const Expected& e) {
                             return e.place == Place::Bits && kIconedNames.count(e.name) != 0;
                         })),
                         CaseName);

// Hide, B.CloseCbt and the other plain options are never limited.
class PlainOption : public PegBitField {};

TEST_P(PlainOption, IsNeverLimitedByTheIconedOptions) {
    for (int iconed : {4, 8}) {
        PegUnitTable table = withIconed(iconed, false);
        PegUnit& unit = table.units[0];
        ASSERT_EQ(PegIconedCount(unit), iconed);
        const FieldResult r = SetPegField(table, 0, field(), "1");
        EXPECT_TRUE(r.ok) << iconed << ": " << r.message;
        EXPECT_EQ(r.change, FieldChange::Data);
        EXPECT_EQ(FormatField(table, 0, field(), FieldStyle::Form), "1");
        EXPECT_EQ(PegIconedCount(unit), iconed);
    }
}

INSTANTIATE_TEST_SUITE_P(Forms, PlainOption, ::testing::ValuesIn(Cases([](const Expected& e) {
                             return e.place == Place::Bits && kIconedNames.count(e.name) == 0;
                         })),
                         CaseName);

// ---------------------------------------------------------------------------------------------
// Icons and names.

class IconField : public FieldTest {
  protected:
    std::string fieldBytes(const AnyUnit& unit) {
        const auto b = unit.bytes().subspan(static_cast<std::size_t>(expected().offset),
                                            static_cast<std::size_t>(pg2::kIconLength));
        return std::string(b.begin(), b.end());
    }
};

TEST_P(IconField, KeepsSixCharactersAndZeroFillsTheRest) {
    struct Row {
        std::string before, shown, after;
        FieldChange change;
        bool ok = true; // a longer name is refused, never cut to another icon's name
    };
    const std::string z(1, '\0');
    for (const Row& row : {
             Row{"ABCDEF", "GHIJKLMN", "ABCDEF", FieldChange::None, false},
             Row{"ABCDEF", "GHIJKL", "GHIJKL", FieldChange::Data},
             Row{"ABCDEF", "AB", "AB" + z + z + z + z, FieldChange::Data},
             Row{"AB" + z + "XYZ", "AB", "AB" + z + z + z + z, FieldChange::Data},
             Row{"AB" + z + z + z + z, "AB", "AB" + z + z + z + z, FieldChange::None},
             Row{"ABCDEF", "", z + z + z + z + z + z, FieldChange::Data},
             Row{"ABCDEF", "ABCDEFG", "ABCDEF", FieldChange::None, false},
         }) {
        AnyUnit unit = AnyUnit::Pattern(game());
        std::uint8_t* field0 = unit.mutableBytes() + expected().offset;
        std::copy(row.before.begin(), row.before.end(), field0);
        const AnyUnit before = unit;
        const FieldResult r = unit.set(field(), row.shown);
        EXPECT_EQ(r.ok, row.ok) << row.shown;
        EXPECT_EQ(r.message, row.ok ? "" : "Please enter no more than 6 characters.");
        EXPECT_EQ(r.change, row.change) << row.shown;
        EXPECT_EQ(fieldBytes(unit), row.after) << row.shown;
        const auto x = before.bytes();
        const auto y = unit.bytes();
        for (std::size_t i = 0; i < x.size(); ++i) {
            const int at = static_cast<int>(i);
            if (at < expected().offset || at >= expected().offset + pg2::kIconLength) {
                EXPECT_EQ(x[i], y[i]) << "record byte " << i;
            }
        }
    }
}

TEST_P(IconField, ShowsUpToTheFirstNulAtMostSix) {
    AnyUnit unit = AnyUnit::Pattern(game());
    std::uint8_t* field0 = unit.mutableBytes() + expected().offset;
    const std::string full = "PZIV_A";
    std::copy(full.begin(), full.end(), field0);
    // The byte after the field is not a NUL: the text must stop at six anyway.
    EXPECT_EQ(unit.text(field()), "PZIV_A");
    field0[3] = 0;
    EXPECT_EQ(unit.text(field()), "PZI");
}

INSTANTIATE_TEST_SUITE_P(Forms, IconField, ::testing::ValuesIn(Cases([](const Expected& e) {
                             return e.value == Value::Icon;
                         })),
                         CaseName);

class NameField : public ::testing::TestWithParam<Game> {};

TEST_P(NameField, StoresBytesAsGivenUpTo1024) {
    AnyUnit unit = AnyUnit::Pattern(GetParam());
    const FieldDef& name = *FindField(GetParam(), "denomination");
    const std::string accented = "Char B1 bis \xE9\xE8\x80\xFF";
    FieldResult r = unit.set(name, accented);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.change, FieldChange::Names);
    EXPECT_EQ(unit.name(), accented);
    EXPECT_EQ(unit.text(name), accented);
    EXPECT_EQ(unit.set(name, accented).change, FieldChange::None);

    const std::string longest(1024, 'n');
    r = unit.set(name, longest);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(unit.name(), longest);

    EXPECT_EQ(unit.set(name, "").change, FieldChange::Names);
    EXPECT_EQ(unit.name(), "");
}

TEST_P(NameField, RefusesTooLongAndLineBreaksKeepingTheName) {
    const FieldDef& name = *FindField(GetParam(), "denomination");
    struct Row {
        std::string shown;
        const char* message;
    };
    for (const Row& row :
         {Row{std::string(1025, 'n'), "Please enter no more than 1024 characters."},
          Row{"Tiger\r\nII", "A unit name cannot hold a line break."},
          Row{"Tiger\nII", "A unit name cannot hold a line break."},
          Row{"Tiger\r", "A unit name cannot hold a line break."}}) {
        AnyUnit unit = AnyUnit::Pattern(GetParam());
        const AnyUnit before = unit;
        const FieldResult r = unit.set(name, row.shown);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.change, FieldChange::None);
        EXPECT_EQ(r.message, row.message);
        ExpectSameUnit(unit, before);
    }
}

INSTANTIATE_TEST_SUITE_P(Games, NameField, ::testing::Values(Game::Pg2, Game::Peg),
                         [](const auto& info) { return std::string(GameName(info.param)); });

// ---------------------------------------------------------------------------------------------
// Rows of one game never write into a unit of the other.

TEST(ForeignField, IsRefusedAndShowsNothing) {
    Pg2UnitTable pg2Table = PatternPg2Table();
    PegUnitTable pegTable = PatternPegTable();
    Pg2Unit& pg2 = pg2Table.units[0];
    PegUnit& peg = pegTable.units[0];
    const Pg2Unit pg2Before = pg2;
    const PegUnit pegBefore = peg;
    for (const FieldDef& f : FieldTable(Game::Peg)) {
        const FieldDef* own = FindField(Game::Pg2, f.name);
        if (own != nullptr && own->kind == f.kind && own->offset == f.offset && own->bit == f.bit)
            continue; // the same field in both games
        EXPECT_FALSE(SetPg2Field(pg2Table, 0, f, "1").ok) << f.name;
        EXPECT_EQ(FormatField(pg2Table, 0, f, FieldStyle::Form), "") << f.name;
    }
    for (const FieldDef& f : FieldTable(Game::Pg2)) {
        const FieldDef* own = FindField(Game::Peg, f.name);
        if (own != nullptr && own->kind == f.kind && own->offset == f.offset && own->bit == f.bit)
            continue;
        EXPECT_FALSE(SetPegField(pegTable, 0, f, "1").ok) << f.name;
        EXPECT_EQ(FormatField(pegTable, 0, f, FieldStyle::Form), "") << f.name;
    }
    EXPECT_EQ(pg2.record.bytes, pg2Before.record.bytes);
    EXPECT_EQ(peg.record.bytes, pegBefore.record.bytes);

    // A copy of a row is still that row.
    const FieldDef copy = *FindField(Game::Pg2, "airAtk");
    EXPECT_TRUE(SetPg2Field(pg2Table, 0, copy, "9").ok);
    EXPECT_EQ(pg2.record[pg2::AirAtk], 9);
}

// ---------------------------------------------------------------------------------------------
// Drop-down items.

TEST(FieldItems, NameEveryPositionOfTheFixedLists) {
    const FieldDef& month = *FindField(Game::Pg2, "montAvaible");
    EXPECT_EQ(FieldItemText(month, 0), "not set");
    EXPECT_EQ(FieldItemText(month, 12), "December");
    EXPECT_EQ(FieldItemText(month, 13), "");
    EXPECT_EQ(FieldItemText(*FindField(Game::Pg2, "class"), 12), "12 Level Bomber");
    EXPECT_EQ(FieldItemText(*FindField(Game::Peg, "class"), 12), "12 Helicopter");
    EXPECT_EQ(FieldItemText(*FindField(Game::Peg, "movType"), 9), "9  Naval (1/4 move rate)");
    EXPECT_EQ(FieldItemText(*FindField(Game::Pg2, "target"), 3), "3  Sea");
    EXPECT_EQ(FieldItemText(*FindField(Game::Peg, "airTransp"), 2), "2  Air Mobile");
    for (Game game : {Game::Pg2, Game::Peg}) {
        const FieldDef& air = *FindField(game, game == Game::Pg2 ? "moveMode" : "airUnit");
        EXPECT_EQ(FieldItemText(air, 0), "0   Ground");
        EXPECT_EQ(FieldItemText(air, 1), "1   Air");
        EXPECT_EQ(FieldItemText(air, 2), "");
        EXPECT_EQ(FieldItemText(air, -1), "");
        // Countries come from the T-File.
        EXPECT_EQ(FieldItemText(*FindField(game, "country"), 1), "");
        EXPECT_EQ(FieldItemText(*FindField(game, "airAtk"), 1), "");
    }
}

TEST(FieldItems, EveryListedPositionHasAnItemAndNoMore) {
    for (const auto& c : Cases([](const Expected& e) { return e.value == Value::List; })) {
        const FieldDef& f = *FindFieldByControl(c.game, c.expected.control);
        if (f.kind == FieldKind::Country)
            continue;
        for (int i = 0; i <= c.expected.maxShown; ++i)
            EXPECT_NE(FieldItemText(f, i), "") << f.name << " " << i;
        EXPECT_EQ(FieldItemText(f, c.expected.maxShown + 1), "") << f.name;
    }
}

// ---------------------------------------------------------------------------------------------
// The read-only displays of the PeG form.

TEST(PegDisplays, ShowTheUnnamedBytes) {
    PegUnitTable table = PatternPegTable();
    PegUnit& unit = table.units[0];
    unit.record[peg::byte52] = 7;
    unit.record[peg::byte52 + 1] = 0;
    unit.record[peg::byte52 + 2] = 255;
    EXPECT_EQ(PegBytes52To54Text(unit), "7  0  255");

    struct Row {
        int value;
        const char* text;
    };
    for (const Row& row :
         {Row{0, "0   00000000"}, Row{5, "5   00000101"}, Row{128, "128   10000000"},
          Row{255, "255   11111111"}, Row{66, "66   01000010"}}) {
        unit.record[peg::byte66] = static_cast<std::uint8_t>(row.value);
        EXPECT_EQ(PegByte66Text(unit), row.text);
    }
}

TEST(PegDisplays, AirMissionsOnlyForTacticalBombers) {
    PegUnitTable table = PatternPegTable();
    PegUnit& unit = table.units[0];
    unit.record[peg::Class] = 11;
    unit.record[peg::byte55] = 48;
    EXPECT_EQ(PegAirMissionText(unit), "AirStrike (16) Defense (32) ");
    unit.record[peg::byte55] = 0;
    EXPECT_EQ(PegAirMissionText(unit), "");
    unit.record[peg::byte55] = 9;
    EXPECT_EQ(PegAirMissionText(unit), "Recon (1) WildWessel (9) ");
    unit.record[peg::Class] = 10;
    EXPECT_EQ(PegAirMissionText(unit), "");
}

TEST(PegDisplays, IconsTitleCountsTheIconedOptions) {
    PegUnitTable table = PatternPegTable();
    PegUnit& unit = table.units[0];
    EXPECT_EQ(PegIconsTitle(unit), "3 Icons");
    unit.record[peg::Options1] = 0xFF;
    unit.record[peg::Options2] = 0xFF;
    unit.record[peg::Options3] = 0xFF;
    EXPECT_EQ(PegIconedCount(unit), 8);
    EXPECT_EQ(PegIconsTitle(unit), "8 Icons");
    // Only the iconed bits count: Hide, the attack limits, no Helo Atk and B.CloseCbt do not.
    unit.record[peg::Options1] = 0xF3;
    unit.record[peg::Options2] = 0x0D;
    unit.record[peg::Options3] = 0xFE;
    EXPECT_EQ(PegIconsTitle(unit), "0 Icons");
}

} // namespace
} // namespace varnel
