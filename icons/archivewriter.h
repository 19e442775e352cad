#pragma once
// Writers of both icon archive formats (layouts in icons/iconformat.h): the tests, the benchmarks
// and the sample game folders make their archives with these.

#include "base/bytes.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace varnel {

struct ArchiveEntry {
    std::string name; // written as its first 13 bytes, zero padded
    Bytes data;
};

// The archive bytes: the entry count, the directory, then each entry's data in order, with the
// directory offsets pointing at them.
Bytes WriteIconArchive(const std::vector<ArchiveEntry>& entries);

// A picture as rows of colour indexes (255 transparent), all rows the same width.
using IndexRows = std::vector<std::vector<std::uint8_t>>;

struct ShpView {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t bottom = 0;
    Bytes stream; // the pixel stream, as decoded from the first byte after the header
};

// A PG2 SHP entry: view count `viewCount`, the view table (one record per view, offsets relative to
// the entry) and each view's header and stream.
Bytes WriteShpEntry(const std::vector<ShpView>& views, std::uint32_t viewCount);
inline Bytes WriteShpEntry(const std::vector<ShpView>& views) {
    return WriteShpEntry(views, static_cast<std::uint32_t>(views.size()));
}

// The pixel stream of `rows`: transparent runs as code 1, repeated colours as even codes, the rest
// as odd literal codes, every row (trailing transparent pixels included) ended by 0.
Bytes EncodeShpRows(const IndexRows& rows);
// A view showing `rows` with its top-left cell at (left, top).
ShpView MakeShpView(const IndexRows& rows, std::int32_t left, std::int32_t top);

struct S16View {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t coding = 0; // 1: run-length
    Bytes data;              // the coded pixels
};

// A PeG S16 entry: view count `viewCount`, nine view headers (missing views zero) and the data
// area with each view's data in order.
Bytes WriteS16Entry(const std::vector<S16View>& views, std::uint32_t viewCount);
inline Bytes WriteS16Entry(const std::vector<S16View>& views) {
    return WriteS16Entry(views, static_cast<std::uint32_t>(views.size()));
}

// One little-endian word per pixel.
Bytes EncodeS16Plain(std::span<const std::uint16_t> pixels);
// Groups of (count up to 255, colour) over runs of equal words.
Bytes EncodeS16RunLength(std::span<const std::uint16_t> pixels);
// A view of width x height `pixels` (rows from the top), plain or run-length coded.
S16View MakeS16View(std::int32_t width, std::int32_t height, std::span<const std::uint16_t> pixels,
                    bool runLength);

} // namespace varnel
