#pragma once
// A unit's image: every byte of what a unit holds besides its name, as one fixed-size block, so
// that a change to a table can be said in bytes (the edit path's patches, the recovery journal).
// It is the record: the PG2 country and switches live in its bytes.

#include "equip/game.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>

namespace varnel {

namespace pg2 {
constexpr std::size_t kImageSize = kRecordSize;
} // namespace pg2
namespace peg {
constexpr std::size_t kImageSize = kRecordSize;
} // namespace peg

constexpr std::size_t kMaxImageSize = std::max(pg2::kImageSize, peg::kImageSize);

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
template <class Unit> void WriteImage(const Unit& unit, std::uint8_t* out) {
    std::memcpy(out, unit.record.bytes.data(), unit.record.bytes.size());
}
// Sets every value of `unit` but its name from an image (ImageSize bytes).
template <class Unit> void ReadImage(const std::uint8_t* in, Unit& unit) {
    std::memcpy(unit.record.bytes.data(), in, unit.record.bytes.size());
}

// Whether two units hold the same values (their names aside): the same record bytes.
template <class Unit> bool SameImage(const Unit& a, const Unit& b) {
    return a.record.bytes == b.record.bytes;
}

} // namespace varnel
