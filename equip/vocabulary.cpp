#include "equip/vocabulary.h"

#include "base/format.h"
#include "equip/game.h"

#include <iterator>

namespace varnel {

namespace {

// Month code 0 means "no month given".
constexpr const char* kMonthNotSet = "not set";
constexpr int kAirMissionBits = 6;

// Texts are kept exactly, trailing blanks included: the lists align on them.
constexpr const char* kMonths[] = {"January",   "February", "March",    "April",
                                   "May",       "June",     "July",     "August",
                                   "September", "October",  "November", "December"};

constexpr const char* kPg2ClassNames[] = {
    "None",      "Infantry",        "Tank  ",           "Recon",          "Anti-Tank",
    "FlaK",      "Fortification",   "Ground Transport", "Artillery",      "Air Defense",
    "Fighter",   "Tactical Bomber", "Level Bomber",     "Air Transport",  "Submarine",
    "Destroyer", "Battleship",      "Carrier",          "Naval Tansport", "Battle Cruiser",
    "Cruiser",   "Light Cruiser"};
constexpr const char* kPegClassNames[] = {
    "None",      "Infantry",        "Tank  ",           "Recon",          "Anti-Tank",
    "FlaK",      "Fortification",   "Ground Transport", "Artillery",      "Air Defense",
    "Fighter",   "Tactical Bomber", "Helicopter",       "Air Transport",  "Submarine",
    "Destroyer", "Battleship",      "Carrier",          "Naval Tansport", "Battle Cruiser",
    "Cruiser",   "Light Cruiser"};
constexpr const char* kPg2ClassCodes[] = {"--",  "INF", " TK", "RCN", " AT", "FlaK", "FRT", "TPT",
                                          "ATY", " AD", "FTR", " TB", " LB", "ATP",  "SUB", "sDD",
                                          "sBS", "sCV", "NTP", "sBC", "sCr", "sLC"};
constexpr const char* kPegClassCodes[] = {"--",  "INF", " TK", "RCN", " AT", "FlaK", "FRT", "TPT",
                                          "ATY", " AD", "FTR", " TB", "HEL", "ATP",  "SUB", "sDD",
                                          "sBS", "sCV", "NTP", "sBC", "sCr", "sLC"};

constexpr const char* kPg2TargetTypes[] = {"Soft", "Hard", "Air", "Sea"};
constexpr const char* kPegTargetTypes[] = {"Soft", "Hard", "Air", "Helicopter"};

constexpr const char* kPg2MoveMethods[] = {
    "Tracked ", "Half Tracked",        "Wheeled ",   "Leg ",  "Towed",         "Air", "Deep Naval",
    "Costal",   "All Terrain tracked", "Amphibious", "Naval", "Mountain (Leg)"};
constexpr const char* kPegMoveMethods[] = {"Tracked ",
                                           "Half Tracked",
                                           "Wheeled ",
                                           "Leg ",
                                           "Towed",
                                           "Air",
                                           "Deep Naval",
                                           "Costal (half move)",
                                           "All clear Terrain",
                                           "Naval (1/4 move rate)",
                                           "Landing craft",
                                           "Mountain (Leg)",
                                           "Amphibious"};

constexpr const char* kPg2TransportModes[] = {
    "Cannot be transported         ", "Can be Naval transported      ",
    "Can be Airmobile & Naval      ", "Airborne, can also Air & Naval"};
constexpr const char* kPegAirTransportModes[] = {"None", "Air Liftable", "Air Mobile"};

// Bit k of the PeG air-mission byte; the number shown for bit 3 is not its value.
constexpr const char* kAirMissionLabels[kAirMissionBits] = {"Recon (1) ",      "AirTransp (2) ",
                                                            "HeloTransp (4) ", "WildWessel (9) ",
                                                            "AirStrike (16) ", "Defense (32) "};

template <std::size_t N> constexpr Vocabulary table(const char* const (&texts)[N]) {
    return Vocabulary{texts, static_cast<int>(N)};
}

} // namespace

const Vocabulary MonthNames = table(kMonths);
const Vocabulary Pg2ClassNames = table(kPg2ClassNames);
const Vocabulary Pg2ClassCodes = table(kPg2ClassCodes);
const Vocabulary PegClassNames = table(kPegClassNames);
const Vocabulary PegClassCodes = table(kPegClassCodes);
const Vocabulary Pg2TargetTypes = table(kPg2TargetTypes);
const Vocabulary PegTargetTypes = table(kPegTargetTypes);
const Vocabulary Pg2MoveMethods = table(kPg2MoveMethods);
const Vocabulary PegMoveMethods = table(kPegMoveMethods);
const Vocabulary Pg2TransportModes = table(kPg2TransportModes);
const Vocabulary PegAirTransportModes = table(kPegAirTransportModes);
const Vocabulary AirMissionLabels = table(kAirMissionLabels);

const Vocabulary& ClassCodes(Game game) {
    return game == Game::Pg2 ? Pg2ClassCodes : PegClassCodes;
}

const Vocabulary& ClassNames(Game game) {
    return game == Game::Pg2 ? Pg2ClassNames : PegClassNames;
}

std::string ListItem(int index, const std::string& text) {
    // The text is appended as bytes: a country name may hold any byte.
    return Format("%-2d ", index) + text;
}

std::string MonthText(int code) {
    if (code == 0)
        return kMonthNotSet;
    return MonthNames.text(code - 1);
}

std::string AirMissionText(int byte55) {
    std::string text;
    for (int k = 0; k < kAirMissionBits; ++k)
        if ((byte55 >> k) & 1)
            text += AirMissionLabels.text(k);
    return text;
}

} // namespace varnel
