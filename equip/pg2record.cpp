#include "equip/pg2record.h"

#include "base/bytes.h"

#include <algorithm>
#include <array>
#include <bit>

namespace varnel {

namespace {

constexpr int kMaskBytes = 4;
constexpr int kCountriesPerByte = 8;
constexpr std::uint8_t kHighBit = 0x80;

// The position 0..7 of the one bit of each mask byte value (128 is 0), or -1 when it holds none or
// several: a table, as every load decodes each unit's mask.
constexpr std::array<std::int8_t, 256> kSingleBitPosition = [] {
    std::array<std::int8_t, 256> table{};
    for (std::size_t b = 0; b < table.size(); ++b)
        table[b] = b != 0 && (b & (b - 1)) == 0
                       ? static_cast<std::int8_t>(std::countl_zero(static_cast<std::uint8_t>(b)))
                       : std::int8_t{-1};
    return table;
}();

int singleBitPosition(std::uint8_t b) {
    return kSingleBitPosition[b];
}

std::string pg2IconText(const std::uint8_t* field) {
    const auto* end = std::find(field, field + pg2::kIconLength, std::uint8_t{0});
    return std::string(field, end);
}

} // namespace

void Pg2UnitRecord::setCode(std::uint16_t code) {
    writeU16(bytes.data() + pg2::Code, code);
}

std::string Pg2UnitRecord::icon() const {
    return pg2IconText(bytes.data() + pg2::Icon);
}

void Pg2UnitRecord::setIcon(const std::string& name) {
    for (int k = 0; k < pg2::kIconLength; ++k)
        (*this)[pg2::Icon + k] = k < static_cast<int>(name.size())
                                     ? static_cast<std::uint8_t>(name[static_cast<std::size_t>(k)])
                                     : 0;
}

std::uint8_t DecodePg2Country(std::uint8_t b30, std::uint8_t b31, std::uint8_t b32,
                              std::uint8_t b33) {
    const std::uint8_t mask[kMaskBytes] = {b30, b31, b32, b33};
    for (int i = 0; i < kMaskBytes; ++i) {
        const int bit = singleBitPosition(mask[i]);
        const int country = i * kCountriesPerByte + bit;
        // Byte 33 carries only countries 24..26; any other single bit there names no country.
        if (bit >= 0 && country < pg2::kCountryCount)
            return static_cast<std::uint8_t>(country);
    }
    return 0;
}

bool Pg2MaskIsSingle(const Pg2UnitRecord& record) {
    // The four bytes as one word: one bit set overall is one power of two. (No popcount: without
    // a -m flag for it the compiler calls a library routine, and every load runs this per unit.)
    std::uint32_t mask = 0;
    for (int k = 0; k < kMaskBytes; ++k)
        mask |= std::uint32_t{record[pg2::CountryMask + k]} << (8 * k);
    const bool single = mask != 0 && (mask & (mask - 1)) == 0;
    // Byte 33 carries countries 24 .. 26 only, in its three top bits.
    const bool pastLastCountry = (record[pg2::CountryMask + 3] & 0x1F) != 0;
    return single && !pastLastCountry;
}

void EncodePg2Country(Pg2UnitRecord& record, std::uint8_t country) {
    for (int i = 0; i < kMaskBytes; ++i)
        record[pg2::CountryMask + i] = 0;
    if (country < pg2::kCountryCount)
        record[pg2::CountryMask + country / kCountriesPerByte] =
            static_cast<std::uint8_t>(kHighBit >> (country % kCountriesPerByte));
}

std::uint8_t Pg2Country(const Pg2UnitRecord& record) {
    return DecodePg2Country(record[pg2::CountryMask], record[pg2::CountryMask + 1],
                            record[pg2::CountryMask + 2], record[pg2::CountryMask + 3]);
}

bool SetPg2MaskRight(Pg2UnitRecord& record) {
    if (Pg2MaskIsSingle(record))
        return false;
    EncodePg2Country(record, Pg2Country(record));
    return true;
}

} // namespace varnel
