#include "tools/png.h"

#include <algorithm>
#include <array>
#include <string>

namespace varnel {

namespace {

constexpr std::uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::uint8_t kBitDepth = 8;
constexpr std::uint8_t kColourTypeRgb = 2;
constexpr std::uint8_t kFilterNone = 0;
// zlib header: deflate, 32K window, no dictionary, fastest level; (0x78 << 8 | 0x01) % 31 == 0.
constexpr std::uint8_t kZlibHeader[] = {0x78, 0x01};
constexpr std::size_t kMaxStoredBlock = 65535;
constexpr std::uint32_t kAdlerModulus = 65521;

const std::array<std::uint32_t, 256>& crcTable() {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    return table;
}

void writeU32BigEndian(Bytes& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v >> 24));
    out.push_back(static_cast<std::uint8_t>(v >> 16));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v));
}

void writeChunk(Bytes& out, const char* type, const Bytes& data) {
    writeU32BigEndian(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    writeU32BigEndian(out, Crc32(std::span(out).subspan(typeAt)));
}

bool sizesMatch(int width, int height, std::span<const std::uint8_t> rgb) {
    return width > 0 && height > 0 &&
           rgb.size() == static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3;
}

} // namespace

std::uint32_t Crc32(std::span<const std::uint8_t> data, std::uint32_t crc) {
    const auto& table = crcTable();
    std::uint32_t c = crc ^ 0xFFFFFFFFu;
    for (const auto byte : data)
        c = table[(c ^ byte) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

std::uint32_t Adler32(std::span<const std::uint8_t> data) {
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (const auto byte : data) {
        a = (a + byte) % kAdlerModulus;
        b = (b + a) % kAdlerModulus;
    }
    return (b << 16) | a;
}

std::optional<Bytes> EncodePng(int width, int height, std::span<const std::uint8_t> rgb) {
    if (!sizesMatch(width, height, rgb))
        return std::nullopt;
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;

    Bytes raw; // every row led by its filter byte
    raw.reserve((rowBytes + 1) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        raw.push_back(kFilterNone);
        const auto row = rgb.subspan(static_cast<std::size_t>(y) * rowBytes, rowBytes);
        raw.insert(raw.end(), row.begin(), row.end());
    }

    Bytes zlib(std::begin(kZlibHeader), std::end(kZlibHeader));
    std::size_t at = 0;
    do {
        const std::size_t n = std::min(kMaxStoredBlock, raw.size() - at);
        const bool last = at + n == raw.size();
        zlib.push_back(last ? 1 : 0); // BFINAL, BTYPE 00 (stored)
        zlib.push_back(static_cast<std::uint8_t>(n));
        zlib.push_back(static_cast<std::uint8_t>(n >> 8));
        zlib.push_back(static_cast<std::uint8_t>(~n));
        zlib.push_back(static_cast<std::uint8_t>(~n >> 8));
        zlib.insert(zlib.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                    raw.begin() + static_cast<std::ptrdiff_t>(at + n));
        at += n;
    } while (at < raw.size());
    writeU32BigEndian(zlib, Adler32(raw));

    Bytes header;
    writeU32BigEndian(header, static_cast<std::uint32_t>(width));
    writeU32BigEndian(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {kBitDepth, kColourTypeRgb, 0, 0, 0});

    Bytes out(std::begin(kSignature), std::end(kSignature));
    writeChunk(out, "IHDR", header);
    writeChunk(out, "IDAT", zlib);
    writeChunk(out, "IEND", {});
    return out;
}

std::optional<Bytes> EncodePpm(int width, int height, std::span<const std::uint8_t> rgb) {
    if (!sizesMatch(width, height, rgb))
        return std::nullopt;
    const std::string header =
        "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    Bytes out(header.begin(), header.end());
    out.insert(out.end(), rgb.begin(), rgb.end());
    return out;
}

} // namespace varnel
