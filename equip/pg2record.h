#pragma once
// The PG2 unit record: 73 bytes, little-endian, no padding.
//
// | offset | width | field             | offset | width | field          |
// |--------|-------|-------------------|--------|-------|----------------|
// | 0      | u16   | Code              | 26     | u8    | MontAvaible    |
// | 2      | u8    | Class             | 27     | u8    | YearAvaible    |
// | 3..9   | u8    | SoftAtk HardAtk AirAtk NavalAtk GroundDef AirDef CloseDef |
// | 10     | u8    | Target            | 28     | u8    | YearExpired    |
// | 11     | u8    | Initiativa        | 29     | u8    | Organic Transport |
// | 12     | u8    | GunRange          | 30..33 | 4     | country mask   |
// | 13     | u8    | SpotRange         | 34     | u8    | Special1       |
// | 14     | u8    | RangeDefMod       | 35     | u8    | Special2       |
// | 15     | u8    | MoveMode          | 36, 37 | u8    | byteB37, byteB38 |
// | 16     | u8    | MovMethod         | 38     | u8    | bomberCode     |
// | 17     | u8    | MovPoints         | 39     | char6 | Icon (NUL-padded) |
// | 18     | u8    | Fuel              | 45     | u8    | atkMel         |
// | 19     | u8    | Ammo              | 47     | u8    | movMel         |
// | 20     | u8    | byteB21           | 49     | u8    | dieMel         |
// | 21     | u8    | Cost              | 46, 48, 50 | u8 | unnamed       |
// | 22..24 | u8    | byteB23..byteB25  | 51..72 | u8    | byte52..byte73 |
// | 25     | u8    | MonthExpired      |        |       |                |
//
// Country mask: country c (0..26) is bit value 128 >> (c % 8) of byte 30 + c / 8.

#include "base/bytes.h"
#include "base/namestore.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace varnel {

namespace pg2 {
constexpr std::size_t kRecordSize = 73;
constexpr int Code = 0;
constexpr int Class = 2;
constexpr int SoftAtk = 3;
constexpr int HardAtk = 4;
constexpr int AirAtk = 5;
constexpr int NavalAtk = 6;
constexpr int GroundDef = 7;
constexpr int AirDef = 8;
constexpr int CloseDef = 9;
constexpr int Target = 10;
constexpr int Initiativa = 11;
constexpr int GunRange = 12;
constexpr int SpotRange = 13;
constexpr int RangeDefMod = 14;
constexpr int MoveMode = 15;
constexpr int MovMethod = 16;
constexpr int MovPoints = 17;
constexpr int Fuel = 18;
constexpr int Ammo = 19;
constexpr int byteB21 = 20;
constexpr int Cost = 21;
constexpr int byteB23 = 22;
constexpr int byteB24 = 23;
constexpr int byteB25 = 24;
constexpr int MonthExpired = 25;
constexpr int MontAvaible = 26;
constexpr int YearAvaible = 27;
constexpr int YearExpired = 28;
constexpr int OrganicTransport = 29;
constexpr int CountryMask = 30; // 4 bytes
constexpr int Special1 = 34;
constexpr int Special2 = 35;
constexpr int byteB37 = 36;
constexpr int byteB38 = 37;
constexpr int bomberCode = 38;
constexpr int Icon = 39; // 6 bytes
constexpr int atkMel = 45;
constexpr int movMel = 47;
constexpr int dieMel = 49;
constexpr int byte52 = 51; // byte52 .. byte73 at offsets 51 .. 72
constexpr int kIconLength = 6;
constexpr int kCountryCount = 27; // 0 .. 26
} // namespace pg2

struct Pg2UnitRecord {
    std::array<std::uint8_t, pg2::kRecordSize> bytes{};

    std::uint8_t operator[](int offset) const { return bytes[static_cast<std::size_t>(offset)]; }
    std::uint8_t& operator[](int offset) { return bytes[static_cast<std::size_t>(offset)]; }
    std::uint16_t code() const { return readU16(bytes.data() + pg2::Code); }
    void setCode(std::uint16_t code);
    // The icon name: the characters up to the first NUL, at most six.
    std::string icon() const;
    void setIcon(const std::string& name); // cut to six, NUL-padded
};

// One entry of the PG2 table: the record and its name. The record's bytes are the whole truth:
// the country and the special switches are read from and written to them.
struct Pg2Unit {
    Pg2UnitRecord record;
    NameRef name; // Denomination: where its bytes lie in the table's name store
};

// A country mask that named no single country, as its file held it (the unit's position).
struct Pg2OddMask {
    std::size_t unit = 0;
    std::array<std::uint8_t, 4> bytes{};
    bool operator==(const Pg2OddMask&) const = default;
};

// Country number from the four mask bytes: the first byte holding exactly one of its bit values
// decides (byte 33 only for 128, 64, 32); 0 when none does.
std::uint8_t DecodePg2Country(std::uint8_t b30, std::uint8_t b31, std::uint8_t b32,
                              std::uint8_t b33);
// The country the record's mask names (DecodePg2Country of bytes 30..33).
std::uint8_t Pg2Country(const Pg2UnitRecord& record);
// True when the four mask bytes hold exactly one bit and it is one of the 27 country positions.
bool Pg2MaskIsSingle(const Pg2UnitRecord& record);
// Writes the mask of `country` into bytes 30..33; 27 and above leave all four zero.
void EncodePg2Country(Pg2UnitRecord& record, std::uint8_t country);
// Sets a mask that names no single country to the mask of the country it is read as. True when
// the bytes changed.
bool SetPg2MaskRight(Pg2UnitRecord& record);

} // namespace varnel
