#pragma once
// The icon archives of both games (PANZER2.DAT for PG2, MODGEN.DAT for PeG): directory, entry
// layouts, the PG2 palette and the view decoders. All integers little-endian; offsets from the
// start of the file unless said otherwise.
//
// Directory (both games):
// | offset       | width | meaning                                                     |
// |--------------|-------|-------------------------------------------------------------|
// | 0            | u32   | number of directory entries N                               |
// | 4 + 17 i     | u32   | absolute offset E of entry i's data                         |
// | 8 + 17 i     | 13    | entry name, 8-bit characters, zero padded (13 = no NUL)     |
//
// PG2 SHP entry at E:
// | E + 0        | 4     | not read                                                    |
// | E + 4        | u32   | number of views; icons have 9                               |
// | E + 8 + 8 k  | i32   | offset of view k+1 (k = 0..8), relative to E                |
// | E + 12 + 8 k | 4     | not read                                                    |
// PG2 view at E + view offset: six i32 words (2 left, 3 top, 5 bottom; 0, 1, 4 not read),
// then the pixel stream of byte codes c:
//   0 end of row | 1, k: k transparent pixels | even >= 2, v: c/2 pixels of colour v |
//   odd >= 3: the next (c-1)/2 bytes are pixels. Colour 255 is transparent.
//
// PeG S16 entry at E:
// | E + 0        | u32   | number of views; icons have 9                               |
// | E + 4 + 40 k | 40    | header of view k+1: ten i32 words (0 width, 1 height,       |
// |              |       | 6 data offset from E + 364, 8 coding: 1 run-length)          |
// | E + 364      | -     | pixel data area                                             |
// PeG pixel data: w x h pixels in rows from the top. Plain: one u16 colour per pixel.
// Run-length: groups of a count byte n and a u16 colour covering the next n pixels.

#include "equip/game.h"
#include "icons/painter.h"

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace varnel {

namespace iconfile {
constexpr std::size_t kCountOffset = 0;
constexpr std::size_t kDirectoryStart = 4;
constexpr std::size_t kDirectoryEntrySize = 17;
constexpr std::size_t kEntryNameLength = 13;
constexpr std::uint32_t kIconViews = 9;
constexpr int kFirstView = 1;
constexpr int kLastView = 9;
constexpr int kDefaultView = 4;
// Entry offsets below this are refused at selection.
constexpr std::int32_t kMinEntryOffset = 5;

// The 92 x 62 frame every icon is painted in: a 2-pixel grey border round the background.
constexpr int kFrameWidth = 92;
constexpr int kFrameHeight = 62;
constexpr int kInnerLeft = 2;
constexpr int kInnerTop = 2;
constexpr int kInnerRight = 90;
constexpr int kInnerBottom = 60;
constexpr Rgb kBorderColour{128, 128, 128};
constexpr Rgb kBackgroundColour{0xF8, 0xDC, 0xDC};
// The device origin of a new archive object.
constexpr int kDefaultOriginX = 350;
constexpr int kDefaultOriginY = 4;
} // namespace iconfile

namespace shp {
constexpr std::size_t kViewCountOffset = 4;
constexpr std::size_t kViewTableOffset = 8;
constexpr std::size_t kViewRecordSize = 8;
constexpr std::size_t kHeaderWords = 6;
constexpr std::size_t kHeaderSize = 4 * kHeaderWords;
constexpr int kLeftWord = 2;
constexpr int kTopWord = 3;
constexpr int kBottomWord = 5;
constexpr std::uint8_t kEndOfRow = 0;
constexpr std::uint8_t kTransparentRun = 1;
constexpr std::uint8_t kTransparent = 255;
constexpr int kGridColumns = 180;
constexpr int kGridRows = 120;
// Boxes are centred against, and cut evenly down to, this size.
constexpr int kCentreWidth = 90;
constexpr int kCentreHeight = 60;
constexpr const char* kNameMark = "SHP";
} // namespace shp

namespace s16 {
constexpr std::size_t kViewCountOffset = 0;
constexpr std::size_t kViewHeaderStart = 4;
constexpr std::size_t kHeaderWords = 10;
constexpr std::size_t kHeaderSize = 4 * kHeaderWords;
constexpr std::size_t kPixelAreaOffset = kViewHeaderStart + iconfile::kIconViews * kHeaderSize;
constexpr int kWidthWord = 0;
constexpr int kHeightWord = 1;
constexpr int kDataOffsetWord = 6;
constexpr int kCodingWord = 8;
constexpr std::int32_t kRunLengthCoding = 1;
constexpr std::uint16_t kTransparentColour = 0xF81F;
// Run-length views are centred in this area; plain ones start at the inner corner.
constexpr int kCentreWidth = 88;
constexpr int kCentreHeight = 58;
constexpr const char* kNameMark = "S16";
} // namespace s16

// The index key of an entry name: upper case (ASCII letters), without the extension (from the
// last dot on). "tiger.shp" gives "TIGER".
std::string IconKey(std::string_view name);

struct IconIndex {
    std::map<std::string, std::int32_t> offsets; // key -> entry offset E
    std::uint32_t entryCount = 0;                // N as stored in the file
    std::uint32_t entriesRead = 0; // directory entries that lie wholly inside the file
};

// Indexes the icons of an archive of `game`: every directory entry whose upper-cased name holds
// "SHP" (PG2) or "S16" (PeG) and whose view count (E + 4 for PG2, E + 0 for PeG) is 9; a later
// equal key replaces an earlier one. Entries past the end of the file, and entries whose view count
// lies outside the file, are left out. Never reads outside `file`.
IconIndex ReadIconIndex(Game game, std::span<const std::uint8_t> file);

// The fixed 256-colour PG2 palette (index 255 is transparent and never looked up).
const std::array<Rgb, 256>& Pg2Palette();

// The colour of a PeG colour word: red from bits 0-4, green 5-10, blue 11-15.
constexpr Rgb PegColour(std::uint16_t v) {
    return Rgb{static_cast<std::uint8_t>((v & 31) * 8),
               static_cast<std::uint8_t>(((v >> 5) & 63) * 4),
               static_cast<std::uint8_t>(((v >> 11) & 31) * 8)};
}

// The pixel grid of the PG2 decoder: colour indexes, 255 transparent, and the box of the cells
// the last decode wrote (right and bottom one past the largest column and row).
struct Pg2Grid {
    std::array<std::uint8_t, shp::kGridColumns * shp::kGridRows> cells;
    int right = 0;
    int bottom = 0;
    int left = shp::kGridColumns;
    int top = shp::kGridRows;

    Pg2Grid() { clear(); }
    // All cells transparent, the box empty.
    void clear();
    std::uint8_t at(int column, int row) const {
        return cells[static_cast<std::size_t>(column * shp::kGridRows + row)];
    }
};

using Pg2ViewHeader = std::array<std::int32_t, shp::kHeaderSize / 4>;

// Decodes view `view` (1..9) of the SHP entry at `entryOffset` into `grid`. Nothing (and the grid
// untouched) when the view's record or its header lies outside the file. The stream is read as far
// as the file goes: past its end a code reads as end of row, a pixel as transparent, a count as 0.
// Decoding stops at the last row, past grid row 119, or once the data has ended; pixels beyond
// column 179 are dropped.
std::optional<Pg2ViewHeader> DecodePg2View(std::span<const std::uint8_t> file,
                                           std::int64_t entryOffset, int view, Pg2Grid& grid);

// Paints the grid's box centred in the frame's inner area (origin already set), cutting a box
// wider than 90 or taller than 60 evenly on both sides. Returns the painted width and height
// (box size + 1, as the chooser shows them).
std::pair<int, int> PaintPg2Grid(const Pg2Grid& grid, Painter& painter);

using PegViewHeader = std::array<std::int32_t, s16::kHeaderSize / 4>;

// A selected PeG view: its header and the absolute position of its pixel data.
struct PegView {
    PegViewHeader header{};
    std::int64_t dataPosition = -1;
    int width() const { return header[s16::kWidthWord]; }
    int height() const { return header[s16::kHeightWord]; }
    bool runLength() const { return header[s16::kCodingWord] == s16::kRunLengthCoding; }
};

// Reads the header of view `view` (1..9) of the S16 entry at `entryOffset`. Nothing when the
// header lies outside the file.
std::optional<PegView> LocatePegView(std::span<const std::uint8_t> file, std::int64_t entryOffset,
                                     int view);

// Paints the view's pixels (origin already set): run-length views centred in 88 x 58 plus the
// border, plain views from (2, 2). Transparent words (0xF81F) are not painted. Painting stops at
// w x h pixels or where the data ends; a width or height of 0 or below paints nothing.
void PaintPegView(std::span<const std::uint8_t> file, const PegView& view, Painter& painter);

} // namespace varnel
