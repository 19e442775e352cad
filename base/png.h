#pragma once
// Picture files: PNG (8-bit RGB, compressed with libpng) and binary PPM (P6).

#include "base/bytes.h"

#include <cstdint>
#include <optional>
#include <span>

namespace varnel {

// A PNG of width x height pixels from `rgb` (rows from the top, three bytes a pixel), or nothing
// when the sizes do not match the bytes or are not positive, or libpng fails.
std::optional<Bytes> EncodePng(int width, int height, std::span<const std::uint8_t> rgb);

// A binary PPM (P6, maximum 255) of the same pixels, or nothing on the same conditions.
std::optional<Bytes> EncodePpm(int width, int height, std::span<const std::uint8_t> rgb);

} // namespace varnel
