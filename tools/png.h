#pragma once
// Picture files without a library: PNG (8-bit RGB, stored deflate blocks) and binary PPM (P6).

#include "tools/bytes.h"

#include <cstdint>
#include <optional>
#include <span>

namespace varnel {

// CRC-32 (as PNG chunks use it) and Adler-32 (as zlib streams use it) of `data`.
std::uint32_t Crc32(std::span<const std::uint8_t> data, std::uint32_t crc = 0);
std::uint32_t Adler32(std::span<const std::uint8_t> data);

// A PNG of width x height pixels from `rgb` (rows from the top, three bytes a pixel), or nothing
// when the sizes do not match the bytes or are not positive.
std::optional<Bytes> EncodePng(int width, int height, std::span<const std::uint8_t> rgb);

// A binary PPM (P6, maximum 255) of the same pixels, or nothing on the same conditions.
std::optional<Bytes> EncodePpm(int width, int height, std::span<const std::uint8_t> rgb);

} // namespace varnel
