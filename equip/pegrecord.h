#pragma once
// The PeG unit record: 74 bytes, little-endian, no padding.
//
// | offset | width | field        | offset | width | field        |
// |--------|-------|--------------|--------|-------|--------------|
// | 0      | u16   | Code         | 22     | u8    | MonthAvaible |
// | 2      | u8    | Class        | 23     | u8    | YearAvaible  |
// | 3..9   | u8    | SoftAtk HardAtk AirAtk HeloAtk GroundDef AirDef IndirectDef |
// | 10     | u8    | TargetType   | 24     | u8    | airTransp    |
// | 11     | u8    | CloseAtk/Def | 25     | u8    | Country (0..20) |
// | 12     | u8    | Range        | 26     | u8    | Options1     |
// | 13     | u8    | Spotting     | 27     | u8    | Options2     |
// | 14     | u8    | Profile      | 28     | u8    | Options3     |
// | 15     | u8    | AirUnit      | 29..33 | u8    | byteB30..byteB34 |
// | 16     | u8    | MovType      | 34     | char6 | UnitIcon     |
// | 17     | u8    | MovPoints    | 40..44 | u8    | byteB41..byteB45 |
// | 18     | u8    | Ammo         | 45, 47, 49 | u8 | atkSnd movSnd dieSnd |
// | 19     | u8    | Cost         | 46, 48, 50 | u8 | unnamed      |
// | 20     | u8    | IconNumber   | 51..54 | u8    | byte52..byte55 (air-mission bits) |
// | 21     | u8    | byteB22      | 55     | char6 | MovIcon      |
// |        |       |              | 61..73 | u8    | byte61..byte73 |

#include "base/bytes.h"
#include "base/namestore.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace varnel {

namespace peg {
constexpr std::size_t kRecordSize = 74;
constexpr int Code = 0;
constexpr int Class = 2;
constexpr int SoftAtk = 3;
constexpr int HardAtk = 4;
constexpr int AirAtk = 5;
constexpr int HeloAtk = 6;
constexpr int GroundDef = 7;
constexpr int AirDef = 8;
constexpr int IndirectDef = 9;
constexpr int TargetType = 10;
constexpr int CloseAtkDef = 11;
constexpr int Range = 12;
constexpr int Spotting = 13;
constexpr int Profile = 14;
constexpr int AirUnit = 15;
constexpr int MovType = 16;
constexpr int MovPoints = 17;
constexpr int Ammo = 18;
constexpr int Cost = 19;
constexpr int IconNumber = 20;
constexpr int byteB22 = 21;
constexpr int MonthAvaible = 22;
constexpr int YearAvaible = 23;
constexpr int airTransp = 24;
constexpr int Country = 25;
constexpr int Options1 = 26;
constexpr int Options2 = 27;
constexpr int Options3 = 28;
constexpr int byteB30 = 29;  // byteB30 .. byteB34 at 29 .. 33
constexpr int UnitIcon = 34; // 6 bytes
constexpr int byteB41 = 40;  // byteB41 .. byteB45 at 40 .. 44
constexpr int atkSnd = 45;
constexpr int movSnd = 47;
constexpr int dieSnd = 49;
constexpr int byte52 = 51;  // byte52 .. byte55 at 51 .. 54
constexpr int byte55 = 54;  // air-mission bits
constexpr int MovIcon = 55; // 6 bytes
constexpr int byte61 = 61;  // byte61 .. byte73 at 61 .. 73
constexpr int byte66 = 66;
constexpr int kIconLength = 6;
constexpr int kCountryCount = 21; // 0 .. 20
} // namespace peg

struct PegUnitRecord {
    std::array<std::uint8_t, peg::kRecordSize> bytes{};

    std::uint8_t operator[](int offset) const { return bytes[static_cast<std::size_t>(offset)]; }
    std::uint8_t& operator[](int offset) { return bytes[static_cast<std::size_t>(offset)]; }
    std::uint16_t code() const { return readU16(bytes.data() + peg::Code); }
    void setCode(std::uint16_t code);
    std::string unitIcon() const; // up to the first NUL, at most six characters
    std::string movIcon() const;
    void setUnitIcon(const std::string& name);
    void setMovIcon(const std::string& name);
};

struct PegUnit {
    PegUnitRecord record;
    NameRef name; // Denomination: where its bytes lie in the table's name store
};

} // namespace varnel
