#include "icons/iconformat.h"

#include "base/bytes.h"

#include <algorithm>
#include <vector>

namespace varnel {

namespace {

// RRGGBB, index first.
constexpr std::uint32_t kPg2PaletteRgb[256] = {
    0x000000, 0xF0F0F0, 0xE0E0E0, 0xD4D4D4, 0xC4C4C4, 0xB8B8B8, 0xA8A8A8, 0x9C9C9C, 0x909090,
    0x808080, 0x747474, 0x646464, 0x585858, 0x484848, 0x3C3C3C, 0x303030, 0xF4F49C, 0xE8E488,
    0xDCD878, 0xD0CC68, 0xC4BC5C, 0xB8B04C, 0xACA040, 0xA49434, 0x988428, 0x8C7820, 0x806818,
    0x745C10, 0x685008, 0x5C4404, 0x503800, 0x483000, 0x6C684C, 0x747050, 0x7C7858, 0x88845C,
    0x908C64, 0x9C9868, 0xA4A070, 0xACA874, 0xB8B47C, 0xC0BC80, 0xCCC888, 0xD4D08C, 0xDCDC94,
    0xE8E898, 0xF0F09C, 0xFCFCA4, 0xE8F0A0, 0xD8E89C, 0xCCDC98, 0xBCD494, 0xB0C890, 0xA4C08C,
    0x9CB888, 0x94AC84, 0x8CA480, 0x849C7C, 0x7C9074, 0x748870, 0x6C8068, 0x6C785C, 0x6C7454,
    0x6C684C, 0x685848, 0x604C3C, 0x584030, 0x503428, 0x482C20, 0x442418, 0x443814, 0x4C2C48,
    0x58304C, 0x643450, 0x703850, 0x803C50, 0x843C4C, 0x8C4048, 0x904044, 0x944444, 0x9C4C44,
    0xA05848, 0xA8604C, 0xB06C50, 0xB47854, 0xBC8458, 0xC08C5C, 0xC89C60, 0xD0A864, 0x443C10,
    0x504414, 0x60501C, 0x6C5824, 0x78642C, 0x887034, 0x947840, 0xD0A864, 0xD4B06C, 0xD8BC74,
    0xDCC480, 0xE0CC88, 0xE4D494, 0xE8DC9C, 0xECE4A8, 0xF0ECB4, 0xF8F4C0, 0xFCFCCC, 0xFCF4A4,
    0xFCFC80, 0xFCF474, 0xF8E86C, 0xF8E064, 0xF8D458, 0xF8C450, 0xF8B848, 0xF8A83C, 0xF89834,
    0xF8882C, 0xF87824, 0xF86418, 0xF85010, 0xF83C08, 0xF03804, 0xE83804, 0xBC1000, 0xB41000,
    0xD43004, 0x080000, 0xC82C00, 0xC42C00, 0xBC2C00, 0xB42800, 0xB02800, 0xA02400, 0x8C2000,
    0x7C2000, 0x681C00, 0x581800, 0x481400, 0x441400, 0x401400, 0x501C00, 0x602C04, 0x703C0C,
    0x804C14, 0x905C20, 0xA0702C, 0xB0843C, 0xBC904C, 0xC89C58, 0xD0A864, 0xD0B074, 0xD0B884,
    0xD4C094, 0xD8C49C, 0xE0C8A8, 0xE4CCB4, 0xECD4C0, 0xF0DCCC, 0xF8E4D8, 0xF0D0CC, 0xE4C4C8,
    0xDCB8C4, 0xD4B0C4, 0xCCA8C8, 0xC09CC4, 0xB094BC, 0x9C8CB4, 0x8C84AC, 0x8478A4, 0x787098,
    0x706890, 0x686088, 0x605880, 0x584C78, 0x544870, 0x544C74, 0x54547C, 0x5C6484, 0x64748C,
    0x688094, 0x709098, 0x78A0A0, 0x80A8A4, 0x8CB0A4, 0x94B8A8, 0x9CC0A8, 0xA4C4AC, 0xACCCB0,
    0xBCD4B8, 0xC8DCC0, 0xD8E4CC, 0xB4D8C4, 0xACD0C0, 0xA4CCC0, 0x9CC4C0, 0x98BCBC, 0x90B0B8,
    0x8CA4B0, 0x849CAC, 0x7C90A4, 0x7880A0, 0x707898, 0x6C6C94, 0x646C88, 0x5C6C7C, 0x586C70,
    0x506464, 0x485854, 0x404C48, 0x38443C, 0x303830, 0x384038, 0x404840, 0x485448, 0x505C50,
    0x5C645C, 0x647064, 0x6C786C, 0x788078, 0x808C80, 0x889488, 0x949C94, 0x9CA89C, 0xA4B0A4,
    0xB0B8B0, 0xBCC4BC, 0xC4CCC4, 0xD0D4D0, 0xD8E0D8, 0xE4E8E4, 0xF0F0F0, 0xFCFCFC, 0xF0F0F4,
    0xE4E4EC, 0xDCDCE4, 0xD0D0E0, 0xC8C8D8, 0xC0C0D0, 0xB4B4C8, 0xACACC4, 0xA4A4BC, 0x9C9CB4,
    0x9494B0, 0x8C8CA8, 0x8484A0, 0x7C7C98, 0x747494, 0x6C6C8C, 0x646484, 0x5C5C7C, 0x585878,
    0x0C78FC, 0x3028C0, 0x246800, 0xB81000,
};

std::optional<std::int32_t> readI32(std::span<const std::uint8_t> file, std::int64_t offset) {
    if (offset < 0 || static_cast<std::uint64_t>(offset) > file.size())
        return std::nullopt;
    ByteCursor cursor(file);
    cursor.seek(static_cast<std::size_t>(offset));
    const auto v = cursor.u32();
    if (!v)
        return std::nullopt;
    return static_cast<std::int32_t>(*v);
}

template <std::size_t Words>
std::optional<std::array<std::int32_t, Words>> readWords(std::span<const std::uint8_t> file,
                                                         std::int64_t offset) {
    std::array<std::int32_t, Words> words{};
    for (std::size_t i = 0; i < Words; ++i) {
        const auto v = readI32(file, offset + static_cast<std::int64_t>(4 * i));
        if (!v)
            return std::nullopt;
        words[i] = *v;
    }
    return words;
}

bool containsUpper(const std::string& upperName, const char* mark) {
    return upperName.find(mark) != std::string::npos;
}

std::string upper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

} // namespace

std::string IconKey(std::string_view name) {
    const auto dot = name.rfind('.');
    return upper(dot == std::string_view::npos ? name : name.substr(0, dot));
}

IconIndex ReadIconIndex(Game game, std::span<const std::uint8_t> file) {
    IconIndex index;
    ByteCursor cursor(file);
    const auto count = cursor.u32();
    if (!count)
        return index;
    index.entryCount = *count;
    // A count larger than the file can hold is cut to the entries that are really there.
    const std::size_t fits =
        (file.size() - iconfile::kDirectoryStart) / iconfile::kDirectoryEntrySize;
    const std::size_t entries = std::min<std::size_t>(*count, fits);
    index.entriesRead = static_cast<std::uint32_t>(entries);

    const std::size_t viewCountAt =
        game == Game::Pg2 ? shp::kViewCountOffset : s16::kViewCountOffset;
    const char* mark = game == Game::Pg2 ? shp::kNameMark : s16::kNameMark;
    for (std::size_t i = 0; i < entries; ++i) {
        cursor.seek(iconfile::kDirectoryStart + i * iconfile::kDirectoryEntrySize);
        // Both reads fit: the entry lies wholly inside the file.
        const auto offset = static_cast<std::int32_t>(cursor.u32().value_or(0));
        const auto nameBytes =
            cursor.take(iconfile::kEntryNameLength).value_or(std::span<const std::uint8_t>{});
        std::string name;
        for (const auto c : nameBytes) {
            if (c == 0)
                break;
            name.push_back(static_cast<char>(c));
        }
        const std::string upperName = upper(name);
        if (!containsUpper(upperName, mark))
            continue;
        // The entry offset is unsigned on disk for this read; the index keeps it signed.
        const auto views =
            readI32(file, static_cast<std::int64_t>(static_cast<std::uint32_t>(offset)) +
                              static_cast<std::int64_t>(viewCountAt));
        if (!views || static_cast<std::uint32_t>(*views) != iconfile::kIconViews)
            continue;
        index.offsets[IconKey(upperName)] = offset;
    }
    return index;
}

const std::array<Rgb, 256>& Pg2Palette() {
    static const std::array<Rgb, 256> palette = [] {
        std::array<Rgb, 256> p{};
        for (std::size_t i = 0; i < p.size(); ++i)
            p[i] = Rgb{static_cast<std::uint8_t>(kPg2PaletteRgb[i] >> 16),
                       static_cast<std::uint8_t>(kPg2PaletteRgb[i] >> 8),
                       static_cast<std::uint8_t>(kPg2PaletteRgb[i])};
        return p;
    }();
    return palette;
}

void Pg2Grid::clear() {
    cells.fill(shp::kTransparent);
    right = 0;
    bottom = 0;
    left = shp::kGridColumns;
    top = shp::kGridRows;
}

std::optional<Pg2ViewHeader> DecodePg2View(std::span<const std::uint8_t> file,
                                           std::int64_t entryOffset, int view, Pg2Grid& grid) {
    const std::int64_t record = entryOffset + static_cast<std::int64_t>(shp::kViewTableOffset) +
                                static_cast<std::int64_t>(shp::kViewRecordSize) * (view - 1);
    const auto viewOffset = readI32(file, record);
    if (!viewOffset)
        return std::nullopt;
    const std::int64_t headerAt = entryOffset + *viewOffset;
    const auto header = readWords<shp::kHeaderWords>(file, headerAt);
    if (!header)
        return std::nullopt;

    grid.clear();
    const std::int64_t left = (*header)[shp::kLeftWord];
    const std::int64_t top = (*header)[shp::kTopWord];
    const std::int64_t bottom = (*header)[shp::kBottomWord];
    std::int64_t row = top < 0 ? 0 : top;
    // A negative top starts at row 0 and moves the last row down by as much.
    const std::int64_t lastRow = top < 0 ? bottom - top : bottom;
    const int startColumn =
        left < 0 ? 0 : static_cast<int>(std::min<std::int64_t>(left, shp::kGridColumns));
    int column = startColumn;

    const std::uint8_t* data = file.data();
    std::size_t pos = static_cast<std::size_t>(headerAt) + shp::kHeaderSize;
    const std::size_t end = file.size();
    // Past the end of the file a pixel reads as transparent and a count as zero.
    auto nextByte = [&](std::uint8_t pastEnd) { return pos < end ? data[pos++] : pastEnd; };

    auto writeRun = [&](int count, std::uint8_t colour) {
        // Pixels beyond the last column are dropped without advancing the column.
        const int fits = std::min(count, shp::kGridColumns - column);
        if (fits <= 0)
            return;
        const int r = static_cast<int>(row);
        for (int i = 0; i < fits; ++i)
            grid.cells[static_cast<std::size_t>((column + i) * shp::kGridRows + r)] = colour;
        grid.left = std::min(grid.left, column);
        grid.right = std::max(grid.right, column + fits);
        grid.top = std::min(grid.top, r);
        grid.bottom = std::max(grid.bottom, r + 1);
        column += fits;
    };

    // Nothing can be written past the grid's last row or once the data has ended (every code then
    // reads as end of row), so both end the decode: a damaged bottom value cannot keep it spinning.
    while (row <= lastRow && row < shp::kGridRows && pos < end) {
        const std::uint8_t code = data[pos++];
        if (code == shp::kEndOfRow) {
            ++row;
            column = startColumn;
        } else if (code == shp::kTransparentRun) {
            writeRun(nextByte(0), shp::kTransparent);
        } else if (code % 2 == 0) {
            writeRun(code / 2, nextByte(shp::kTransparent));
        } else {
            for (int i = 0; i < (code - 1) / 2; ++i)
                writeRun(1, nextByte(shp::kTransparent));
        }
    }
    return header;
}

std::pair<int, int> PaintPg2Grid(const Pg2Grid& grid, Painter& painter) {
    const int width = grid.right - grid.left + 1;
    const int height = grid.bottom - grid.top + 1;

    // [from, to) of the grid and the frame position of `from`.
    auto place = [](int first, int pastLast, int size, int room, int inner, int& from, int& to,
                    int& at) {
        if (size <= room) {
            from = first;
            to = pastLast;
            at = inner + (room - size) / 2;
        } else {
            const int cut = (size - room) / 2;
            from = first + cut;
            to = pastLast - cut;
            at = inner;
        }
    };
    int colFrom, colTo, x0, rowFrom, rowTo, y0;
    place(grid.left, grid.right, width, shp::kCentreWidth, iconfile::kInnerLeft, colFrom, colTo,
          x0);
    place(grid.top, grid.bottom, height, shp::kCentreHeight, iconfile::kInnerTop, rowFrom, rowTo,
          y0);
    colFrom = std::max(colFrom, 0);
    rowFrom = std::max(rowFrom, 0);
    // Cells that would land on the right or bottom border are skipped.
    colTo = std::min({colTo, shp::kGridColumns, colFrom + (iconfile::kInnerRight - x0)});
    rowTo = std::min({rowTo, shp::kGridRows, rowFrom + (iconfile::kInnerBottom - y0)});

    const auto& palette = Pg2Palette();
    std::vector<Rgb> line;
    for (int row = rowFrom; row < rowTo; ++row) {
        line.clear();
        for (int col = colFrom; col < colTo; ++col) {
            const std::uint8_t cell = grid.at(col, row);
            line.push_back(cell == shp::kTransparent ? iconfile::kBackgroundColour : palette[cell]);
        }
        if (!line.empty())
            painter.setPixelRow(x0, y0 + row - rowFrom, line);
    }
    return {width, height};
}

std::optional<PegView> LocatePegView(std::span<const std::uint8_t> file, std::int64_t entryOffset,
                                     int view) {
    const std::int64_t headerAt = entryOffset + static_cast<std::int64_t>(s16::kViewHeaderStart) +
                                  static_cast<std::int64_t>(s16::kHeaderSize) * (view - 1);
    const auto header = readWords<s16::kHeaderWords>(file, headerAt);
    if (!header)
        return std::nullopt;
    PegView v;
    v.header = *header;
    v.dataPosition = entryOffset + static_cast<std::int64_t>(s16::kPixelAreaOffset) +
                     (*header)[s16::kDataOffsetWord];
    return v;
}

void PaintPegView(std::span<const std::uint8_t> file, const PegView& view, Painter& painter) {
    const std::int64_t w = view.width();
    const std::int64_t h = view.height();
    if (w <= 0 || h <= 0 || view.dataPosition < 0 ||
        static_cast<std::uint64_t>(view.dataPosition) >= file.size())
        return;
    const std::int64_t n = w * h;
    ByteCursor cursor(file);
    cursor.seek(static_cast<std::size_t>(view.dataPosition));

    if (view.runLength()) {
        const std::int64_t dx = (s16::kCentreWidth - w) / 2;
        const std::int64_t dy = (s16::kCentreHeight - h) / 2;
        std::int64_t index = 0;
        while (index < n) {
            const auto count = cursor.u8();
            const auto colour = cursor.u16();
            if (!count || !colour)
                break; // the data ended before w x h pixels: paint what there was
            // A group running past w x h pixels covers nothing beyond the picture.
            const std::int64_t stop = std::min<std::int64_t>(index + *count, n);
            if (*colour != s16::kTransparentColour) {
                const Rgb rgb = PegColour(*colour);
                for (std::int64_t i = index; i < stop; ++i)
                    painter.setPixel(static_cast<int>(i % w + dx), static_cast<int>(i / w + dy),
                                     rgb);
            }
            index += *count;
        }
        return;
    }
    for (std::int64_t index = 0; index < n; ++index) {
        const auto colour = cursor.u16();
        if (!colour)
            break;
        if (*colour != s16::kTransparentColour)
            painter.setPixel(static_cast<int>(index % w + iconfile::kInnerLeft),
                             static_cast<int>(index / w + iconfile::kInnerTop), PegColour(*colour));
    }
}

} // namespace varnel
