#include "equip/fieldtable.h"

#include "base/csvtext.h"
#include "base/format.h"
#include "base/numbers.h"
#include "equip/unitfilter.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <utility>

namespace varnel {

namespace {

constexpr int kByteMax = 255;
constexpr int kSoundMax = 99; // the sound files are numbered 2000 + n, 1000 + n, 3000 + n
// A year is one byte past its base: 1900..2155 (PG2), 2000..2255 (PeG).
constexpr int kYearSpan = kByteMax;
constexpr int kPg2CostMax = kByteMax * GameTraits<Game::Pg2>::kCostFactor;
constexpr int kPegCostMax = kByteMax * GameTraits<Game::Peg>::kCostFactor;
constexpr int kMonthItems = 13; // "not set" and the twelve months
constexpr int kBitsPerByte = 8;

constexpr const char* kNotInteger = "Please enter an integer.";
constexpr const char* kRangeFormat = "Please enter an integer between %d and %d.";
constexpr const char* kNameTooLong = "Please enter no more than %d characters.";
constexpr const char* kNotMultiple = "Please enter a multiple of %d, such as %d or %d.";
constexpr const char* kNameLineBreak = "A unit name cannot hold a line break.";
constexpr const char* kNotThisGame = "This field is not part of the unit form of this game.";
constexpr const char* kReadOnly = "The field %s cannot be changed.";
constexpr const char* kIconedLimit = "Only 4 iconed options";
constexpr const char* kIconicLimit = "Only 4 iconic options"; // the wording of "Cbt.Support"

constexpr const char* kGroundAir[] = {"0   Ground", "1   Air"};

// Options1 and Options2 are one little-endian word: bit n of Options2 is bit n + 8 of it.
constexpr int kOptionsWord = peg::Options1;
constexpr int kOptions3Word = peg::Options3;
constexpr int options2Bit(int n) {
    return n + kBitsPerByte;
}

FieldDef number(const char* name, int control, const char* caption, const char* tooltip,
                FieldKind kind, int offset, int maxShown, int scale = 1, int base = 0) {
    return FieldDef{.name = name,
                    .control = control,
                    .caption = caption,
                    .tooltip = tooltip,
                    .kind = kind,
                    .offset = offset,
                    .maxShown = maxShown,
                    .scale = scale,
                    .base = base};
}

FieldDef byteField(const char* name, int control, const char* tooltip, int offset,
                   int maxShown = kByteMax) {
    return number(name, control, "", tooltip, FieldKind::Byte, offset, maxShown);
}

FieldDef yearField(const char* name, int control, int offset, int base) {
    FieldDef f = number(name, control, "", "", FieldKind::Year, offset, base + kYearSpan, 1, base);
    f.minShown = base;
    return f;
}

FieldDef costField(const char* tooltip, int offset, int scale, int maxShown) {
    return number("cost", 1110, "", tooltip, FieldKind::Cost, offset, maxShown, scale);
}

FieldDef anyIntegerField(const char* name, int control, const char* caption, const char* tooltip,
                         int offset) {
    FieldDef f = number(name, control, caption, tooltip, FieldKind::AnyInteger, offset, INT_MAX);
    f.minShown = INT_MIN;
    return f;
}

FieldDef listField(const char* name, int control, const char* caption, const char* tooltip,
                   FieldKind kind, int offset, int itemCount, const Vocabulary* items = nullptr,
                   bool numbered = false) {
    return FieldDef{.name = name,
                    .control = control,
                    .caption = caption,
                    .tooltip = tooltip,
                    .kind = kind,
                    .offset = offset,
                    .maxShown = itemCount - 1,
                    .items = items,
                    .numberedItems = numbered};
}

FieldDef vocabularyField(const char* name, int control, const char* caption, const char* tooltip,
                         int offset, const Vocabulary& items) {
    return listField(name, control, caption, tooltip, FieldKind::Vocabulary, offset, items.size,
                     &items, true);
}

FieldDef groundAirField(const char* name, const char* caption, int offset) {
    return listField(name, 1139, caption, "", FieldKind::Vocabulary, offset, GroundAirItems.size,
                     &GroundAirItems, false);
}

FieldDef monthField(const char* name, int control, const char* caption, int offset) {
    return listField(name, control, caption, "", FieldKind::Month, offset, kMonthItems);
}

FieldDef countryField(Game game, int offset) {
    return listField("country", 1128, "Country", "", FieldKind::Country, offset,
                     CountryCount(game));
}

FieldDef checkField(FieldKind kind, const char* name, int control, const char* caption,
                    const char* tooltip, int offset, int bit, const char* limitMessage) {
    return FieldDef{.name = name,
                    .control = control,
                    .caption = caption,
                    .tooltip = tooltip,
                    .kind = kind,
                    .offset = offset,
                    .bit = bit,
                    .maxShown = 1,
                    .limitMessage = limitMessage};
}

FieldDef switchField(const char* name, int control, const char* caption, const char* tooltip,
                     int offset, int bit) {
    return checkField(FieldKind::Switch, name, control, caption, tooltip, offset, bit, nullptr);
}

FieldDef bitField(const char* name, int control, const char* caption, const char* tooltip,
                  int offset, int bit, const char* limitMessage = nullptr) {
    return checkField(FieldKind::Bit, name, control, caption, tooltip, offset, bit, limitMessage);
}

FieldDef iconField(const char* name, int control, const char* caption, const char* tooltip,
                   int offset) {
    return FieldDef{.name = name,
                    .control = control,
                    .caption = caption,
                    .tooltip = tooltip,
                    .kind = FieldKind::Icon,
                    .offset = offset,
                    .maxShown = pg2::kIconLength};
}

FieldDef nameField() {
    return FieldDef{.name = "denomination",
                    .control = 1125,
                    .caption = "Unit",
                    .kind = FieldKind::Name,
                    .maxShown = kMaxUnitNameLength};
}

// The report column of a form row.
FieldDef reported(const char* report, FieldDef f, bool fullOnly = false) {
    f.report = report;
    f.fullOnly = fullOnly;
    return f;
}

// A byte the form does not show; `report` its column ("" none), unnamed bytes in the full table
// only.
FieldDef readOnlyByte(const char* name, int offset, const char* report, bool fullOnly) {
    FieldDef f{.name = name, .kind = FieldKind::Byte, .offset = offset, .maxShown = kByteMax};
    f.report = report;
    f.fullOnly = fullOnly;
    f.readOnly = true;
    return f;
}

FieldDef codeField() {
    FieldDef f{.name = "code", .kind = FieldKind::Code, .offset = 0, .maxShown = 0xFFFF};
    f.report = "Code";
    f.readOnly = true;
    return f;
}

// The label of a row: a name of its own where the caption or tooltip says something else.
std::string labelOf(const FieldDef& field) {
    static const std::unordered_map<std::string_view, const char*> own = {
        {"denomination", "Name"},
        {"cost", "Cost"},
        {"yearAvaible", "Year available"},
        {"yearExpired", "Year expired"},
        {"montAvaible", "Month available"},
        {"monthAvaible", "Month available"},
        {"monthExpired", "Month expired"},
        {"bomberCode", "Bomber code"},
        {"atkMel", "Attack sound"},
        {"movMel", "Move sound"},
        {"dieMel", "Death sound"},
        {"atkSnd", "Attack sound"},
        {"movSnd", "Move sound"},
        {"dieSnd", "Death sound"},
        {"profile", "Profile"},
        {"closeAtkDef2", "Close Atk/Def"},
        {"byte55", "Air missions"},
    };
    if (const auto it = own.find(field.name); it != own.end())
        return it->second;
    const std::string_view text = *field.caption != '\0'   ? field.caption
                                  : *field.tooltip != '\0' ? field.tooltip
                                                           : field.name;
    // Captions pad with blanks ("Move  Method", "From ").
    std::string label;
    for (const char c : text)
        if (c != ' ' || (!label.empty() && label.back() != ' '))
            label += c;
    while (!label.empty() && label.back() == ' ')
        label.pop_back();
    return label;
}

// A column name as a person may type it: ASCII letters lower, blanks around cut and runs of
// blanks as one.
std::string columnKey(std::string_view text) {
    std::string key;
    for (const char c : text) {
        if (c == ' ' || c == '\t') {
            if (!key.empty() && key.back() != ' ')
                key += ' ';
            continue;
        }
        key += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    while (!key.empty() && key.back() == ' ')
        key.pop_back();
    return key;
}

// A game's rows: the form's, then the read-only ones.
struct Catalogue {
    std::vector<FieldDef> rows;
    std::size_t formRows = 0;
    std::vector<const FieldDef*> report;
    std::unordered_map<std::string_view, const FieldDef*> byName;
    std::vector<std::string> labels; // what the rows' labels point to

    Catalogue(std::vector<FieldDef> form, std::vector<FieldDef> readOnly)
        : rows(std::move(form)), formRows(rows.size()) {
        rows.insert(rows.end(), readOnly.begin(), readOnly.end());
        labels.reserve(rows.size());
        for (FieldDef& f : rows) {
            labels.push_back(labelOf(f));
            f.label = labels.back().c_str();
        }
        for (const FieldDef& f : rows) {
            byName.emplace(f.name, &f);
            if (*f.report != '\0')
                report.push_back(&f);
        }
        // The report goes through the record in byte order, the name right after the code.
        auto key = [](const FieldDef* f) { return f->kind == FieldKind::Name ? 1 : 2 * f->offset; };
        std::stable_sort(report.begin(), report.end(),
                         [&](const FieldDef* a, const FieldDef* b) { return key(a) < key(b); });
    }
};

// Built on first use, after the vocabularies it points to.
const Catalogue& pg2Catalogue() {
    using namespace pg2;
    constexpr int kYearBase = GameTraits<Game::Pg2>::kYearBase;
    static const Catalogue catalogue(
        {
            reported("Denomination", nameField()),
            reported("Country", countryField(Game::Pg2, CountryMask)),
            reported("Class", vocabularyField("class", 1129, "Class", "", Class, Pg2ClassNames)),
            reported("MontAvaible", monthField("montAvaible", 1113, "From ", MontAvaible)),
            reported("YearAvaible", yearField("yearAvaible", 1112, YearAvaible, kYearBase)),
            reported("MonthExpired", monthField("monthExpired", 1127, "Until ", MonthExpired)),
            reported("YearExpired", yearField("yearExpired", 1115, YearExpired, kYearBase)),
            reported("AirAtk", byteField("airAtk", 1108, "Air attack", AirAtk)),
            reported("AirDef", byteField("airDef", 1097, "Air Defense", AirDef)),
            reported("Ammo", byteField("ammo", 1101, "Ammunition", Ammo)),
            reported("CloseDef", byteField("closeDef", 1098, "Close defense", CloseDef)),
            reported("Cost", costField("Cost = Number*12", Cost, GameTraits<Game::Pg2>::kCostFactor,
                                       kPg2CostMax)),
            reported("Fuel", byteField("fuel", 1100, "Fuel", Fuel)),
            reported("GroundDef", byteField("groundDef", 1096, "Ground defense", GroundDef)),
            reported("HardAtk", byteField("hardAtk", 1106, "Hard attack", HardAtk)),
            reported("Initiativa", byteField("initiativa", 1103, "Initiative", Initiativa)),
            reported("NavalAtk", byteField("navalAtk", 1109, "Naval attack", NavalAtk)),
            reported("GunRange", byteField("gunRange", 1102, "Range", GunRange)),
            reported("RangeDefMod",
                     byteField("rangeDefMod", 1099, "Range defense modifier", RangeDefMod)),
            reported("SoftAtk", byteField("softAtk", 1107, "Soft attack", SoftAtk)),
            reported("SpotRange", byteField("spotRange", 1104, "Spotting range", SpotRange)),
            reported("MovPoints", byteField("movPoints", 1105, "Movement", MovPoints)),
            reported("bomberCode",
                     byteField("bomberCode", 1130,
                               "How much fuel,Ammo for supression/destroyed a levelbomber takes",
                               bomberCode)),
            reported("MovMethod", vocabularyField("movMethod", 1132, "Move  Method",
                                                  "Movement method", MovMethod, Pg2MoveMethods)),
            reported("Organic Transport",
                     vocabularyField("organicTransport", 1131, "Organic Trasport", "",
                                     OrganicTransport, Pg2TransportModes)),
            reported("Target",
                     vocabularyField("target", 1134, "Target type", "", Target, Pg2TargetTypes)),
            reported("MoveMode", groundAirField("moveMode", "Movement Type", MoveMode)),
            switchField("engineer", 1116, "Engineer", "Unit ignores entrenchments", Special1, 2),
            switchField("bridge", 1117, "Bridge", "Unit is a bridge on rivers", Special1, 3),
            switchField("cantSoftAtk", 1122, "Can't Soft Atk",
                        "Unit cannot directly SOFT attack. (AD, trans)", Special1, 4),
            switchField("cantHardAtk", 1123, "Can't Hardt Atk",
                        "Unit cannot directly HARD attack. (AD, trans)", Special1, 5),
            switchField("cantAirAtk", 1124, "Can't Air  Atk",
                        "Unit cannot directly AIR attack. (Ships, Tacbomber, Atrans)", Special1, 6),
            // Never shown on the form, but exchanged with it like the others.
            switchField("mountain", 1121, "Mountain", "Moves in all terrain as clear ground",
                        Special2, 1),
            reported("atkMel",
                     byteField("atkMel", 1118, "20XX.MEL file when Attack", atkMel, kSoundMax)),
            reported("movMel",
                     byteField("movMel", 1119, "10XX.MEL file when move", movMel, kSoundMax)),
            reported("dieMel",
                     byteField("dieMel", 1120, "30XX.MEL file when killed", dieMel, kSoundMax)),
            reported("Icon",
                     iconField("icon", 1142, "Icon", "Icon to be used (from Panzer.dat)", Icon)),
        },
        {
            codeField(),
            readOnlyByte("byteB21", byteB21, "byteB21", true),
            readOnlyByte("byteB23", byteB23, "byteB23", true),
            readOnlyByte("byteB24", byteB24, "byteB24", true),
            readOnlyByte("byteB25", byteB25, "byteB25", true),
            readOnlyByte("countryMask0", CountryMask, "", false),
            readOnlyByte("countryMask1", CountryMask + 1, "", false),
            readOnlyByte("countryMask2", CountryMask + 2, "", false),
            readOnlyByte("countryMask3", CountryMask + 3, "", false),
            readOnlyByte("special1", Special1, "Special1", false),
            readOnlyByte("special2", Special2, "Special2", false),
            readOnlyByte("byteB37", byteB37, "byteB37", true),
            readOnlyByte("byteB38", byteB38, "byteB38", true),
            readOnlyByte("byteAt46", atkMel + 1, "", false),
            readOnlyByte("byteAt48", movMel + 1, "", false),
            readOnlyByte("byteAt50", dieMel + 1, "", false),
            // Column byteN holds byte N - 1.
            readOnlyByte("byte52", byte52 + 0, "byte52", true),
            readOnlyByte("byte53", byte52 + 1, "byte53", true),
            readOnlyByte("byte54", byte52 + 2, "byte54", true),
            readOnlyByte("byte55", byte52 + 3, "byte55", true),
            readOnlyByte("byte56", byte52 + 4, "byte56", true),
            readOnlyByte("byte57", byte52 + 5, "byte57", true),
            readOnlyByte("byte58", byte52 + 6, "byte58", true),
            readOnlyByte("byte59", byte52 + 7, "byte59", true),
            readOnlyByte("byte60", byte52 + 8, "byte60", true),
            readOnlyByte("byte61", byte52 + 9, "byte61", true),
            readOnlyByte("byte62", byte52 + 10, "byte62", true),
            readOnlyByte("byte63", byte52 + 11, "byte63", true),
            readOnlyByte("byte64", byte52 + 12, "byte64", true),
            readOnlyByte("byte65", byte52 + 13, "byte65", true),
            readOnlyByte("byte66", byte52 + 14, "byte66", true),
            readOnlyByte("byte67", byte52 + 15, "byte67", true),
            readOnlyByte("byte68", byte52 + 16, "byte68", true),
            readOnlyByte("byte69", byte52 + 17, "byte69", true),
            readOnlyByte("byte70", byte52 + 18, "byte70", true),
            readOnlyByte("byte71", byte52 + 19, "byte71", true),
            readOnlyByte("byte72", byte52 + 20, "byte72", true),
            readOnlyByte("byte73", byte52 + 21, "byte73", true),
        });
    return catalogue;
}

const Catalogue& pegCatalogue() {
    using namespace peg;
    static const Catalogue catalogue(
        {
            reported("Denomination", nameField()),
            reported("Country", countryField(Game::Peg, Country)),
            reported("Class", vocabularyField("class", 1129, "Class", "", Class, PegClassNames)),
            reported("MonthAvaible",
                     monthField("monthAvaible", 1113, "Available From ", MonthAvaible)),
            reported("YearAvaible",
                     yearField("yearAvaible", 1112, YearAvaible, GameTraits<Game::Peg>::kYearBase)),
            reported("AirAtk", byteField("airAtk", 1108, "Air attack", AirAtk)),
            reported("AirDef", byteField("airDef", 1097, "Air Defense", AirDef)),
            reported("Ammo", byteField("ammo", 1101, "Ammunition", Ammo)),
            // Two boxes edit the same byte.
            reported("CloseAtk/Def", byteField("closeAtkDef", 1098, "Close defense", CloseAtkDef)),
            byteField("closeAtkDef2", 1111, "Close Atk/Def", CloseAtkDef),
            reported("Cost", costField("Cost = Number*10", Cost, GameTraits<Game::Peg>::kCostFactor,
                                       kPegCostMax)),
            reported("Profile", byteField("profile", 1005, "", Profile)),
            reported("GroundDef", byteField("groundDef", 1096, "Ground defense", GroundDef)),
            reported("HardAtk", byteField("hardAtk", 1106, "Hard attack", HardAtk)),
            reported("HeloAtk", byteField("heloAtk", 1003, "Helicopter attack", HeloAtk)),
            reported("Range", byteField("range", 1102, "Range", Range)),
            reported("IndirectDef",
                     byteField("indirectDef", 1099, "Indirect defenser", IndirectDef)),
            reported("SoftAtk", byteField("softAtk", 1107, "Soft attack", SoftAtk)),
            reported("Spotting", byteField("spotting", 1104, "Spotting range", Spotting)),
            reported("MovPoints", byteField("movPoints", 1105, "Movement", MovPoints)),
            reported("byte55",
                     anyIntegerField(
                         "byte55", 1133, "Air Transport / Icon  ($36)",
                         "Icon for Air MIssions (1 recon, 2 AirTransport, 4 HeloTransport, 8 Wild "
                         "Weasel, 16 AirStrike, 32 DefensiveSupport",
                         byte55),
                     true),
            reported("MovType", vocabularyField("movType", 1132, "Move  Method", "Movement method",
                                                MovType, PegMoveMethods)),
            reported("airTransp", vocabularyField("airTransp", 1131, "Air Transport Mode", "",
                                                  airTransp, PegAirTransportModes)),
            reported("TargetType", vocabularyField("targetType", 1134, "Target type", "",
                                                   TargetType, PegTargetTypes)),
            reported("AirUnit", groundAirField("airUnit", "Air Unit", AirUnit)),
            bitField("ignoreEntrench", 1116, "Ignore Entrench", "Unit ignores entrenchments",
                     kOptionsWord, 2, kIconedLimit),
            bitField("bridge", 1117, "Bridge", "Unit is a bridge on rivers", kOptionsWord, 3,
                     kIconedLimit),
            bitField("noSoftAtk", 1122, "no Soft Atk",
                     "Unit cannot directly SOFT attack. (AD, trans)", kOptionsWord, 4),
            bitField("noHardAtk", 1123, "no Hardt Atk",
                     "Unit cannot directly HARD attack. (AD, trans)", kOptionsWord, 5),
            bitField("noAirAtk", 1124, "no Air  Atk",
                     "Unit cannot directly AIR attack. (Ships, Tacbomber, Atrans)", kOptionsWord,
                     6),
            bitField("hide", 1008, "Hide", "", kOptionsWord, 7),
            bitField("airborne", 1121, "Airborne", "", kOptionsWord, options2Bit(1), kIconedLimit),
            bitField("noHeloAtk", 1127, "no Helo Atk", "", kOptionsWord, options2Bit(2)),
            bitField("cbtSupport", 1009, "Cbt.Support", "", kOptionsWord, options2Bit(4),
                     kIconicLimit),
            bitField("riverAssault", 1006, "River Assault", "", kOptionsWord, options2Bit(5),
                     kIconedLimit),
            bitField("lightInfantry", 1012, "Light Infantry", "", kOptionsWord, options2Bit(6),
                     kIconedLimit),
            bitField("destroyEntrench", 1010, "Destroy Entrench", "", kOptionsWord, options2Bit(7),
                     kIconedLimit),
            bitField("quickEntrench", 1011, "Quick Entrench", "", kOptions3Word, 0, kIconedLimit),
            bitField("bCloseCbt", 1130, "B.CloseCbt", "", kOptions3Word, 2),
            reported("atkSnd",
                     byteField("atkSnd", 1118, "20XX.MEL file when Attack", atkSnd, kSoundMax)),
            reported("movSnd",
                     byteField("movSnd", 1119, "10XX.MEL file when move", movSnd, kSoundMax)),
            reported("dieSnd",
                     byteField("dieSnd", 1120, "30XX.MEL file when killed", dieSnd, kSoundMax)),
            reported("UnitIcon", iconField("unitIcon", 1142, "Main Icon",
                                           "Icon to be used (from Modgen.dat)", UnitIcon)),
            reported("MovIcon", iconField("movIcon", 1004, "Move  Icon",
                                          "Icon to be used while moving", MovIcon)),
        },
        {
            codeField(),
            readOnlyByte("iconNumber", IconNumber, "IconNumber", false),
            readOnlyByte("byteB22", byteB22, "byteB22", true),
            readOnlyByte("options1", Options1, "Options1", false),
            readOnlyByte("options2", Options2, "Options2", false),
            readOnlyByte("options3", Options3, "Options3", false),
            readOnlyByte("byteB30", byteB30 + 0, "byteB30", true),
            readOnlyByte("byteB31", byteB30 + 1, "byteB31", true),
            readOnlyByte("byteB32", byteB30 + 2, "byteB32", true),
            readOnlyByte("byteB33", byteB30 + 3, "byteB33", true),
            readOnlyByte("byteB34", byteB30 + 4, "byteB34", true),
            readOnlyByte("byteB41", byteB41 + 0, "byteB41", true),
            readOnlyByte("byteB42", byteB41 + 1, "byteB42", true),
            readOnlyByte("byteB43", byteB41 + 2, "byteB43", true),
            readOnlyByte("byteB44", byteB41 + 3, "byteB44", true),
            readOnlyByte("byteB45", byteB41 + 4, "byteB45", true),
            readOnlyByte("byteAt46", atkSnd + 1, "", false),
            readOnlyByte("byteAt48", movSnd + 1, "", false),
            readOnlyByte("byteAt50", dieSnd + 1, "", false),
            readOnlyByte("byte52", byte52 + 0, "byte52", true),
            readOnlyByte("byte53", byte52 + 1, "byte53", true),
            readOnlyByte("byte54", byte52 + 2, "byte54", true),
            // Column byteN holds byte N here.
            readOnlyByte("byte61", byte61 + 0, "byte61", true),
            readOnlyByte("byte62", byte61 + 1, "byte62", true),
            readOnlyByte("byte63", byte61 + 2, "byte63", true),
            readOnlyByte("byte64", byte61 + 3, "byte64", true),
            readOnlyByte("byte65", byte61 + 4, "byte65", true),
            readOnlyByte("byte66", byte61 + 5, "byte66", true),
            readOnlyByte("byte67", byte61 + 6, "byte67", true),
            readOnlyByte("byte68", byte61 + 7, "byte68", true),
            readOnlyByte("byte69", byte61 + 8, "byte69", true),
            readOnlyByte("byte70", byte61 + 9, "byte70", true),
            readOnlyByte("byte71", byte61 + 10, "byte71", true),
            readOnlyByte("byte72", byte61 + 11, "byte72", true),
            readOnlyByte("byte73", byte61 + 12, "byte73", true),
        });
    return catalogue;
}

// The game's own row for `field`, or nullptr when `field` is not one of its rows. Storing
// through a row of the other game would address the wrong bytes.
const FieldDef* ownRow(Game game, const FieldDef& field) {
    // A row of the game's own catalogue is known by its address; a copy is looked up by name.
    const std::span<const FieldDef> rows = FieldTable(game);
    if (std::less_equal<const FieldDef*>()(rows.data(), &field) &&
        std::less<const FieldDef*>()(&field, rows.data() + rows.size()))
        return &field;
    const FieldDef* row = FindField(game, field.name);
    if (row == nullptr || row->kind != field.kind || row->offset != field.offset ||
        row->bit != field.bit)
        return nullptr;
    return row;
}

FieldResult refuse(std::string message) {
    return FieldResult{false, FieldChange::None, std::move(message)};
}

FieldResult accepted(bool changed, FieldChange kind) {
    return FieldResult{true, changed ? kind : FieldChange::None, {}};
}

// --- Where each game keeps a field's value ------------------------------------------------

int storedValue(const Pg2Unit& unit, const FieldDef& field) {
    switch (field.kind) {
    case FieldKind::Country:
        return Pg2Country(unit.record);
    case FieldKind::Switch:
        return (unit.record[field.offset] >> field.bit) & 1;
    case FieldKind::Code:
        return unit.record.code();
    case FieldKind::Name:
    case FieldKind::Icon:
        return 0;
    default:
        return unit.record[field.offset];
    }
}

void store(Pg2Unit& unit, const FieldDef& field, std::uint8_t value) {
    switch (field.kind) {
    case FieldKind::Country:
        EncodePg2Country(unit.record, value);
        break;
    case FieldKind::Switch: {
        // Only this switch: the byte carries switches no control shows.
        auto& byte = unit.record[field.offset];
        const auto bit = static_cast<std::uint8_t>(1u << field.bit);
        byte = static_cast<std::uint8_t>(value != 0 ? byte | bit : byte & ~bit);
        break;
    }
    default:
        unit.record[field.offset] = value;
        break;
    }
}

struct BitPlace {
    int offset;
    std::uint8_t mask;
};

BitPlace pegBit(const FieldDef& field) {
    return BitPlace{field.offset + field.bit / kBitsPerByte,
                    static_cast<std::uint8_t>(1u << (field.bit % kBitsPerByte))};
}

int storedValue(const PegUnit& unit, const FieldDef& field) {
    switch (field.kind) {
    case FieldKind::Bit: {
        const BitPlace place = pegBit(field);
        return (unit.record[place.offset] & place.mask) != 0 ? 1 : 0;
    }
    case FieldKind::Code:
        return unit.record.code();
    case FieldKind::Name:
    case FieldKind::Icon:
        return 0;
    default:
        return unit.record[field.offset];
    }
}

void store(PegUnit& unit, const FieldDef& field, std::uint8_t value) {
    if (field.kind == FieldKind::Bit) {
        // Only this bit: the flag bytes carry bits no control shows.
        const BitPlace place = pegBit(field);
        auto& byte = unit.record[place.offset];
        byte = static_cast<std::uint8_t>(value != 0 ? byte | place.mask : byte & ~place.mask);
        return;
    }
    unit.record[field.offset] = value;
}

// --- One implementation for both games -----------------------------------------------------

template <class Unit> int iconedCount(Game game, const Unit& unit) {
    const auto fields = FieldTable(game);
    return static_cast<int>(std::count_if(fields.begin(), fields.end(), [&](const FieldDef& f) {
        return f.limitMessage != nullptr && storedValue(unit, f) != 0;
    }));
}

template <class Table>
FieldResult setName(Table& table, std::size_t index, const std::string& name) {
    const bool changed = table.name(index) != name;
    if (changed)
        table.setName(index, name);
    return accepted(changed, FieldChange::Names);
}

template <class Unit>
FieldResult setIcon(Unit& unit, const FieldDef& field, std::string_view icon) {
    std::array<std::uint8_t, pg2::kIconLength> wanted{};
    std::copy_n(icon.begin(), std::min(icon.size(), wanted.size()), wanted.begin());
    std::uint8_t* current = unit.record.bytes.data() + field.offset;
    // Compared over the whole field, so bytes after a NUL are cleared too.
    const bool changed = !std::equal(wanted.begin(), wanted.end(), current);
    if (changed)
        std::copy(wanted.begin(), wanted.end(), current);
    return accepted(changed, FieldChange::Data);
}

template <class Unit>
FieldResult setNumber(Game game, Unit& unit, const FieldDef& field, int wanted) {
    const int current = storedValue(unit, field);
    if (field.limitMessage != nullptr && wanted != 0 && current == 0 &&
        iconedCount(game, unit) >= kMaxIconedOptions)
        return refuse(field.limitMessage);
    const bool changed = current != wanted;
    if (changed)
        store(unit, field, static_cast<std::uint8_t>(wanted));
    return accepted(changed, FieldChange::Data);
}

// A read-only row takes only the value it holds, so that a list of every field can be given back
// unchanged.
template <class Unit>
FieldResult checkReadOnly(const Unit& unit, const FieldDef& field, int value) {
    if (value != storedValue(unit, field))
        return refuse(FormatMessage(kReadOnly, field.name));
    return accepted(false, FieldChange::None);
}

template <class Table>
FieldResult setField(Game game, Table& table, std::size_t index, const FieldDef& requested,
                     std::string_view shown, FieldStyle style, const NameTable* countries) {
    const FieldDef* field = ownRow(game, requested);
    if (field == nullptr)
        return refuse(kNotThisGame);
    ParsedValue parsed = ParseValue(*field, shown, style, countries);
    if (!parsed.ok)
        return refuse(std::move(parsed.message));
    auto& unit = table.units[index];
    if (field->readOnly)
        return checkReadOnly(unit, *field, parsed.value.stored);
    switch (field->kind) {
    case FieldKind::Name:
        return setName(table, index, parsed.value.text);
    case FieldKind::Icon:
        return setIcon(unit, *field, parsed.value.text);
    default:
        return setNumber(game, unit, *field, parsed.value.stored);
    }
}

template <class Table>
FieldValue readValue(Game game, const Table& table, std::size_t index, const FieldDef& requested) {
    const FieldDef* field = ownRow(game, requested);
    if (field == nullptr)
        return {};
    const auto& unit = table.units[index];
    switch (field->kind) {
    case FieldKind::Name:
        return FieldValue{0, std::string(table.name(index))};
    case FieldKind::Icon: {
        const std::uint8_t* begin = unit.record.bytes.data() + field->offset;
        const std::uint8_t* end = std::find(begin, begin + pg2::kIconLength, std::uint8_t{0});
        return FieldValue{0, std::string(begin, end)};
    }
    default:
        return FieldValue{storedValue(unit, *field), {}};
    }
}

// --- The codec -----------------------------------------------------------------------------

bool isDropDown(const FieldDef& field) {
    return field.kind == FieldKind::Month || field.kind == FieldKind::Vocabulary ||
           field.kind == FieldKind::Country;
}

void appendInteger(std::string& out, int value) {
    char digits[12];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

// An item's words without the number a whole-item list puts first ("1   Air" -> "Air").
std::string itemWords(const FieldDef& field, int position) {
    std::string text;
    if (field.kind == FieldKind::Month)
        text = MonthText(position);
    else if (field.items != nullptr && position >= 0 && position <= field.maxShown)
        text = field.items->text(position);
    if (!field.numberedItems && field.kind == FieldKind::Vocabulary) {
        const std::size_t words = text.find_first_not_of("0123456789 ");
        text = words == std::string::npos ? std::string() : text.substr(words);
    }
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

// A country named by the T-File, alone or as the list shows it ("3  Germany"), any case.
std::optional<int> countryPosition(const FieldDef& field, std::string_view text,
                                   const NameTable* countries) {
    if (countries == nullptr)
        return std::nullopt;
    // Letters folded as the name search folds them, blanks as columnKey counts them.
    auto key = [](std::string_view t) { return columnKey(Folded1252(t)); };
    const std::string wanted = key(text);
    if (wanted.empty())
        return std::nullopt;
    // "3  Germany" as the list shows it: only country 3 is looked at.
    const std::size_t digits = wanted.find_first_not_of("0123456789");
    if (digits > 0 && digits != std::string::npos && wanted[digits] == ' ') {
        const std::optional<int> number = ParseInteger(std::string_view(wanted).substr(0, digits));
        if (number && *number <= field.maxShown &&
            key(ListItem(*number, countries->name(*number))) == wanted)
            return number;
    }
    for (int position = 0; position <= field.maxShown; ++position) {
        const std::string& name = countries->name(position);
        if (!name.empty() && key(name) == wanted)
            return position;
    }
    return std::nullopt;
}

ParsedValue refusedValue(std::string message) {
    ParsedValue parsed;
    parsed.message = std::move(message);
    return parsed;
}

ParsedValue parsedNumber(int stored) {
    return ParsedValue{true, FieldValue{stored, {}}, {}};
}

ParsedValue parseText(const FieldDef& field, std::string_view text, FieldStyle style) {
    std::string bytes;
    if (style == FieldStyle::Csv) {
        // The writer's guard against formulas: exactly one apostrophe, and only that one.
        if (text.size() > 1 && text.front() == kFormulaGuard && NeedsFormulaGuard(text.substr(1)))
            text.remove_prefix(1);
        long bad = -1;
        std::optional<std::string> converted = Utf8To1252(text, &bad);
        if (!converted)
            return refusedValue(bad < 0 ? std::string("The text is not valid UTF-8.")
                                        : Format("The character U+%04X has no Windows-1252 byte.",
                                                 static_cast<unsigned>(bad)));
        bytes = std::move(*converted);
    } else {
        bytes = text;
    }
    // Cutting a longer text would store another name or icon without a word.
    if (bytes.size() > static_cast<std::size_t>(field.maxShown))
        return refusedValue(FormatMessage(kNameTooLong, field.maxShown));
    if (field.kind == FieldKind::Name && bytes.find_first_of("\r\n") != std::string::npos)
        return refusedValue(kNameLineBreak);
    return ParsedValue{true, FieldValue{0, std::move(bytes)}, {}};
}

} // namespace

ParsedValue ParseValue(const FieldDef& field, std::string_view text, FieldStyle style,
                       const NameTable* countries) {
    if (IsTextField(field))
        return parseText(field, text, style);
    // The report holds the stored byte of a scaled number.
    if (style == FieldStyle::Report && !field.readOnly && (field.scale != 1 || field.base != 0)) {
        const std::optional<int> stored = ParseInteger(text, 0, kByteMax);
        if (!stored)
            return refusedValue(FormatMessage(kRangeFormat, 0, kByteMax));
        return parsedNumber(*stored);
    }
    std::optional<int> value = ParseInteger(text);
    if (!value && isDropDown(field))
        value = field.kind == FieldKind::Country ? countryPosition(field, text, countries)
                                                 : FieldItemPosition(field, text);
    if (!value)
        return refusedValue(kNotInteger);
    if (field.readOnly)
        return parsedNumber(*value);
    if (field.kind == FieldKind::AnyInteger)
        return parsedNumber(*value & kByteMax);
    if (*value < field.minShown || *value > field.maxShown)
        return refusedValue(FormatMessage(kRangeFormat, field.minShown, field.maxShown));
    // Dropping the remainder would store another value than the one entered.
    if ((*value - field.base) % field.scale != 0) {
        const int below = *value - (*value - field.base) % field.scale;
        return refusedValue(FormatMessage(kNotMultiple, field.scale, below, below + field.scale));
    }
    return parsedNumber((*value - field.base) / field.scale);
}

void AppendValue(std::string& out, const FieldDef& field, const FieldValue& value, FieldStyle style,
                 const NameTable* countries) {
    if (IsTextField(field)) {
        switch (style) {
        case FieldStyle::Csv:
            if (NeedsFormulaGuard(value.text))
                out += kFormulaGuard;
            out += Utf8From1252(value.text);
            return;
        case FieldStyle::Diff:
            out += '"';
            out += value.text;
            out += '"';
            return;
        default:
            out += value.text;
            return;
        }
    }
    if (field.kind == FieldKind::Switch || field.kind == FieldKind::Bit) {
        out += value.stored != 0 ? '1' : '0';
        return;
    }
    const int shown = ShownValue(field, value.stored);
    if (isDropDown(field) && (style == FieldStyle::Cell || style == FieldStyle::Diff)) {
        if (style == FieldStyle::Cell) {
            // A code outside the list shows its number.
            if (field.kind == FieldKind::Country) {
                if (countries != nullptr && shown >= 0 && shown <= field.maxShown) {
                    out += ListItem(shown, countries->name(shown));
                    return;
                }
            } else if (std::string item = FieldItemText(field, shown); !item.empty()) {
                out += item;
                return;
            }
        } else if (field.kind != FieldKind::Country) {
            const std::string words = itemWords(field, shown);
            appendInteger(out, shown);
            if (!words.empty()) {
                out += " (";
                out += words;
                out += ')';
            }
            return;
        }
    }
    appendInteger(out, WrittenNumber(field, value.stored, style));
}

int WrittenNumber(const FieldDef& field, int stored, FieldStyle style) {
    if (field.kind == FieldKind::Switch || field.kind == FieldKind::Bit)
        return stored != 0 ? 1 : 0;
    return style == FieldStyle::Report ? stored : ShownValue(field, stored);
}

std::string FormatValue(const FieldDef& field, const FieldValue& value, FieldStyle style,
                        const NameTable* countries) {
    std::string out;
    AppendValue(out, field, value, style, countries);
    return out;
}

namespace {} // namespace

const Vocabulary GroundAirItems{kGroundAir, static_cast<int>(std::size(kGroundAir))};

namespace {
const Catalogue& catalogue(Game game) {
    return game == Game::Pg2 ? pg2Catalogue() : pegCatalogue();
}
} // namespace

std::span<const FieldDef> FieldTable(Game game) {
    return catalogue(game).rows;
}

std::span<const FieldDef> FormFields(Game game) {
    const Catalogue& c = catalogue(game);
    return std::span<const FieldDef>(c.rows).first(c.formRows);
}

const std::vector<const FieldDef*>& ReportColumns(Game game) {
    return catalogue(game).report;
}

const FieldDef* FindField(Game game, std::string_view name) {
    const auto& byName = catalogue(game).byName;
    const auto it = byName.find(name);
    return it == byName.end() ? nullptr : it->second;
}

const FieldDef* FindFieldByControl(Game game, int control) {
    if (control == 0)
        return nullptr;
    for (const FieldDef& f : FormFields(game))
        if (f.control == control)
            return &f;
    return nullptr;
}

NumberColumn::NumberColumn(Game game, const FieldDef& requested, FieldStyle style) {
    const FieldDef* field = ownRow(game, requested);
    if (field == nullptr || IsTextField(*field))
        return;
    offset_ = field->offset;
    switch (field->kind) {
    case FieldKind::Code:
        place_ = Place::Word;
        offset_ = 0;
        break;
    case FieldKind::Country:
        place_ = game == Game::Pg2 ? Place::Pg2Country : Place::Byte;
        break;
    case FieldKind::Switch:
        place_ = Place::Bit;
        mask_ = static_cast<std::uint8_t>(1u << field->bit);
        break;
    case FieldKind::Bit: {
        const BitPlace bit = pegBit(*field);
        place_ = Place::Bit;
        offset_ = bit.offset;
        mask_ = bit.mask;
        break;
    }
    default:
        place_ = Place::Byte;
        break;
    }
    // WrittenNumber, as a scale and a base.
    const bool checkBox = field->kind == FieldKind::Switch || field->kind == FieldKind::Bit;
    if (!checkBox && style != FieldStyle::Report) {
        scale_ = field->scale;
        base_ = field->base;
    }
}

FieldSpan FieldBytes(Game game, const FieldDef& field) {
    switch (field.kind) {
    case FieldKind::Name:
        return {};
    case FieldKind::Country:
        // The PG2 country is a four-byte mask.
        return {field.offset, game == Game::Pg2 ? 4 : 1};
    case FieldKind::Icon:
        return {field.offset, pg2::kIconLength};
    case FieldKind::Code:
        return {0, 2};
    case FieldKind::Bit:
        return {field.offset + field.bit / kBitsPerByte, 1};
    default:
        return {field.offset, 1};
    }
}

int Pg2StoredValue(const Pg2Unit& unit, const FieldDef& field) {
    return ownRow(Game::Pg2, field) != nullptr ? storedValue(unit, field) : 0;
}

int PegStoredValue(const PegUnit& unit, const FieldDef& field) {
    return ownRow(Game::Peg, field) != nullptr ? storedValue(unit, field) : 0;
}

void SetPg2StoredValue(Pg2Unit& unit, const FieldDef& field, int stored) {
    if (ownRow(Game::Pg2, field) != nullptr && !field.readOnly && !IsTextField(field))
        store(unit, field, static_cast<std::uint8_t>(stored));
}

void SetPegStoredValue(PegUnit& unit, const FieldDef& field, int stored) {
    if (ownRow(Game::Peg, field) != nullptr && !field.readOnly && !IsTextField(field))
        store(unit, field, static_cast<std::uint8_t>(stored));
}

FieldResult SetPg2Field(Pg2UnitTable& table, std::size_t index, const FieldDef& field,
                        std::string_view shown, FieldStyle style, const NameTable* countries) {
    return setField(Game::Pg2, table, index, field, shown, style, countries);
}

FieldResult SetPegField(PegUnitTable& table, std::size_t index, const FieldDef& field,
                        std::string_view shown, FieldStyle style, const NameTable* countries) {
    return setField(Game::Peg, table, index, field, shown, style, countries);
}

FieldValue ReadValue(const UnitTable<Pg2Unit>& table, std::size_t index, const FieldDef& field) {
    return readValue(Game::Pg2, table, index, field);
}

FieldValue ReadValue(const UnitTable<PegUnit>& table, std::size_t index, const FieldDef& field) {
    return readValue(Game::Peg, table, index, field);
}

std::string FormatField(const UnitTable<Pg2Unit>& table, std::size_t index, const FieldDef& field,
                        FieldStyle style, const NameTable* countries) {
    if (ownRow(Game::Pg2, field) == nullptr)
        return {};
    return FormatValue(field, ReadValue(table, index, field), style, countries);
}

std::string FormatField(const UnitTable<PegUnit>& table, std::size_t index, const FieldDef& field,
                        FieldStyle style, const NameTable* countries) {
    if (ownRow(Game::Peg, field) == nullptr)
        return {};
    return FormatValue(field, ReadValue(table, index, field), style, countries);
}

const FieldDef* FindColumn(Game game, std::string_view text) {
    if (const FieldDef* exact = FindField(game, text))
        return exact;
    const std::string wanted = columnKey(text);
    if (wanted.empty())
        return nullptr;
    // Catalogue names first: a label may repeat another row's name.
    for (const FieldDef& f : FieldTable(game))
        if (columnKey(f.name) == wanted)
            return &f;
    for (const FieldDef& f : FieldTable(game))
        if (columnKey(f.label) == wanted)
            return &f;
    return nullptr;
}

std::string FieldItemText(const FieldDef& field, int position) {
    if (position < field.minShown || position > field.maxShown)
        return {};
    switch (field.kind) {
    case FieldKind::Month:
        return MonthText(position);
    case FieldKind::Vocabulary:
        if (field.items == nullptr)
            return {};
        return field.numberedItems ? ListItem(position, field.items->text(position))
                                   : std::string(field.items->text(position));
    default:
        return {};
    }
}

namespace {

// An item's words without the number a whole-item list puts first ("1   Air" -> "air").
std::string itemWords(const std::string& key) {
    const std::size_t words = key.find_first_not_of("0123456789");
    if (words == 0 || words == std::string::npos || key[words] != ' ')
        return key;
    return key.substr(words + 1);
}

} // namespace

namespace {

// The keys of a drop-down's items, made once per list: a paste or an import compares many cells
// with them.
struct ItemKeys {
    std::string item;     // the item as the list shows it
    std::string words;    // without the number
    std::string numbered; // the number and the words
};

const std::vector<ItemKeys>& itemKeys(const FieldDef& field) {
    static std::mutex guard;
    static std::map<const void*, std::vector<ItemKeys>> lists;
    static const int months = 0;
    const void* list = field.kind == FieldKind::Month ? static_cast<const void*>(&months)
                                                      : static_cast<const void*>(field.items);
    const std::lock_guard<std::mutex> lock(guard);
    auto [it, fresh] = lists.try_emplace(list);
    if (fresh) {
        for (int position = 0; position <= field.maxShown; ++position) {
            ItemKeys keys{columnKey(FieldItemText(field, position)), {}, {}};
            if (!keys.item.empty()) {
                keys.words = itemWords(keys.item);
                keys.numbered = std::to_string(position) + " " + keys.words;
            }
            it->second.push_back(std::move(keys));
        }
    }
    return it->second;
}

} // namespace

std::optional<int> FieldItemPosition(const FieldDef& field, std::string_view text) {
    if (field.kind != FieldKind::Month && field.kind != FieldKind::Vocabulary)
        return std::nullopt;
    if (field.kind == FieldKind::Vocabulary && field.items == nullptr)
        return std::nullopt;
    const std::string wanted = columnKey(text);
    if (wanted.empty())
        return std::nullopt;
    const std::vector<ItemKeys>& keys = itemKeys(field);
    const int last = std::min(field.maxShown, static_cast<int>(keys.size()) - 1);
    for (int position = std::max(field.minShown, 0); position <= last; ++position) {
        const ItemKeys& k = keys[static_cast<std::size_t>(position)];
        // The words alone, or the number and the words as the list shows them.
        if (!k.item.empty() && (wanted == k.item || wanted == k.words || wanted == k.numbered))
            return position;
    }
    return std::nullopt;
}

int PegIconedCount(const PegUnit& unit) {
    return iconedCount(Game::Peg, unit);
}

std::string PegBytes52To54Text(const PegUnit& unit) {
    const auto& r = unit.record;
    return Format("%d  %d  %d", r[peg::byte52], r[peg::byte52 + 1], r[peg::byte52 + 2]);
}

std::string PegByte66Text(const PegUnit& unit) {
    const int value = unit.record[peg::byte66];
    std::string text = Format("%d   ", value);
    for (int k = kBitsPerByte - 1; k >= 0; --k)
        text += ((value >> k) & 1) != 0 ? '1' : '0';
    return text;
}

std::string PegAirMissionText(const PegUnit& unit) {
    if (unit.record[peg::Class] != kPegAirMissionClass)
        return {};
    return AirMissionText(unit.record[peg::byte55]);
}

std::string PegIconsTitle(const PegUnit& unit) {
    return Format("%d Icons", PegIconedCount(unit));
}

} // namespace varnel
