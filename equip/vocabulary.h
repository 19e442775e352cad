#pragma once
// The fixed names of the coded record fields. Lookups outside a table give an empty text.

#include <string>

namespace varnel {

enum class Game;

struct Vocabulary {
    const char* const* texts;
    int size;
    const char* text(int index) const { return index >= 0 && index < size ? texts[index] : ""; }
};

extern const Vocabulary MonthNames;           // 12: "January" .. "December"
extern const Vocabulary Pg2ClassNames;        // 22
extern const Vocabulary Pg2ClassCodes;        // 22
extern const Vocabulary PegClassNames;        // 22
extern const Vocabulary PegClassCodes;        // 22
extern const Vocabulary Pg2TargetTypes;       // 4
extern const Vocabulary PegTargetTypes;       // 4
extern const Vocabulary Pg2MoveMethods;       // 12
extern const Vocabulary PegMoveMethods;       // 13
extern const Vocabulary Pg2TransportModes;    // 4
extern const Vocabulary PegAirTransportModes; // 3
extern const Vocabulary AirMissionLabels;     // 6, bit k of byte55

const Vocabulary& ClassCodes(Game game);
const Vocabulary& ClassNames(Game game);

// A drop-down list item: "%-2d %s".
std::string ListItem(int index, const std::string& text);
// The name of a month code: "not set" for 0, the month for 1..12, empty otherwise.
std::string MonthText(int code);
// The labels of the set air-mission bits of `byte55`, in bit order, joined.
std::string AirMissionText(int byte55);

} // namespace varnel
