#pragma once
// A unit's image: every byte of what a unit holds besides its name, as one fixed-size block, so
// that a change to a table can be said in bytes (the edit path's patches, the recovery journal).
//
//   game  offset  width  meaning
//   PG2   0       73     the record as loaded (the mask bytes 30..33 and 34..35 as read)
//   PG2   73      1      the country shown (decoded from the mask, rebuilt into it on save)
//   PG2   74      8      the switches of byte 34, one byte each (0 or 1)
//   PG2   82      8      the switches of byte 35
//   PeG   0       74     the record

#include "equip/game.h"

#include <cstdint>
#include <cstring>
#include <span>

namespace varnel {

namespace pg2 {
constexpr std::size_t kImageCountry = kRecordSize;
constexpr std::size_t kImageSpecial1 = kImageCountry + 1;
constexpr std::size_t kImageSpecial2 = kImageSpecial1 + 8;
constexpr std::size_t kImageSize = kImageSpecial2 + 8;
} // namespace pg2
namespace peg {
constexpr std::size_t kImageSize = kRecordSize;
} // namespace peg

constexpr std::size_t kMaxImageSize = pg2::kImageSize;

template <class Unit> constexpr std::size_t ImageSize() {
    if constexpr (std::is_same_v<Unit, Pg2Unit>)
        return pg2::kImageSize;
    else
        return peg::kImageSize;
}
constexpr std::size_t ImageSize(Game g) {
    return g == Game::Pg2 ? pg2::kImageSize : peg::kImageSize;
}

// Writes the image of `unit` to `out` (ImageSize bytes).
inline void WriteImage(const Pg2Unit& unit, std::uint8_t* out) {
    std::memcpy(out, unit.record.bytes.data(), pg2::kRecordSize);
    out[pg2::kImageCountry] = unit.country;
    std::memcpy(out + pg2::kImageSpecial1, unit.special1.data(), 8);
    std::memcpy(out + pg2::kImageSpecial2, unit.special2.data(), 8);
}
inline void WriteImage(const PegUnit& unit, std::uint8_t* out) {
    std::memcpy(out, unit.record.bytes.data(), peg::kRecordSize);
}
// Sets every value of `unit` but its name from an image (ImageSize bytes).
inline void ReadImage(const std::uint8_t* in, Pg2Unit& unit) {
    std::memcpy(unit.record.bytes.data(), in, pg2::kRecordSize);
    unit.country = in[pg2::kImageCountry];
    std::memcpy(unit.special1.data(), in + pg2::kImageSpecial1, 8);
    std::memcpy(unit.special2.data(), in + pg2::kImageSpecial2, 8);
}
inline void ReadImage(const std::uint8_t* in, PegUnit& unit) {
    std::memcpy(unit.record.bytes.data(), in, peg::kRecordSize);
}

// Whether two units hold the same values (their names aside).
template <class Unit> bool SameImage(const Unit& a, const Unit& b) {
    std::uint8_t x[kMaxImageSize];
    std::uint8_t y[kMaxImageSize];
    WriteImage(a, x);
    WriteImage(b, y);
    return std::memcmp(x, y, ImageSize<Unit>()) == 0;
}

} // namespace varnel
