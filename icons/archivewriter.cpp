#include "icons/archivewriter.h"

#include "icons/iconformat.h"

#include <algorithm>

namespace varnel {

Bytes WriteIconArchive(const std::vector<ArchiveEntry>& entries) {
    Bytes out;
    ByteWriter w(out);
    w.u32(static_cast<std::uint32_t>(entries.size()));
    std::size_t offset = iconfile::kDirectoryStart + entries.size() * iconfile::kDirectoryEntrySize;
    for (const auto& e : entries) {
        w.u32(static_cast<std::uint32_t>(offset));
        for (std::size_t i = 0; i < iconfile::kEntryNameLength; ++i)
            w.u8(i < e.name.size() ? static_cast<std::uint8_t>(e.name[i]) : 0);
        offset += e.data.size();
    }
    for (const auto& e : entries)
        w.append(e.data);
    return out;
}

Bytes WriteShpEntry(const std::vector<ShpView>& views, std::uint32_t viewCount) {
    Bytes out;
    ByteWriter w(out);
    w.u32(0);
    w.u32(viewCount);
    std::size_t offset = shp::kViewTableOffset + views.size() * shp::kViewRecordSize;
    for (const auto& v : views) {
        w.u32(static_cast<std::uint32_t>(offset));
        w.u32(0);
        offset += shp::kHeaderSize + v.stream.size();
    }
    for (const auto& v : views) {
        const std::int32_t words[shp::kHeaderWords] = {0, 0, v.left, v.top, 0, v.bottom};
        for (const auto word : words)
            w.u32(static_cast<std::uint32_t>(word));
        w.append(v.stream);
    }
    return out;
}

Bytes EncodeShpRows(const IndexRows& rows) {
    constexpr std::size_t kMaxRun = 127;         // c/2 with c an even byte
    constexpr std::size_t kMaxTransparent = 255; // the count byte of code 1
    Bytes out;
    for (const auto& row : rows) {
        std::size_t i = 0;
        std::vector<std::uint8_t> literal;
        auto flushLiteral = [&] {
            for (std::size_t at = 0; at < literal.size(); at += kMaxRun) {
                const std::size_t n = std::min(kMaxRun, literal.size() - at);
                out.push_back(static_cast<std::uint8_t>(2 * n + 1));
                out.insert(out.end(), literal.begin() + static_cast<std::ptrdiff_t>(at),
                           literal.begin() + static_cast<std::ptrdiff_t>(at + n));
            }
            literal.clear();
        };
        while (i < row.size()) {
            std::size_t run = 1;
            while (i + run < row.size() && row[i + run] == row[i])
                ++run;
            if (row[i] == shp::kTransparent) {
                flushLiteral();
                run = std::min(run, kMaxTransparent);
                out.push_back(shp::kTransparentRun);
                out.push_back(static_cast<std::uint8_t>(run));
            } else if (run >= 2) {
                flushLiteral();
                run = std::min(run, kMaxRun);
                out.push_back(static_cast<std::uint8_t>(2 * run));
                out.push_back(row[i]);
            } else {
                literal.push_back(row[i]);
            }
            i += run;
        }
        flushLiteral();
        out.push_back(shp::kEndOfRow);
    }
    return out;
}

ShpView MakeShpView(const IndexRows& rows, std::int32_t left, std::int32_t top) {
    ShpView v;
    v.left = left;
    v.top = top;
    v.bottom = top + static_cast<std::int32_t>(rows.size()) - 1;
    v.stream = EncodeShpRows(rows);
    return v;
}

Bytes WriteS16Entry(const std::vector<S16View>& views, std::uint32_t viewCount) {
    Bytes out;
    ByteWriter w(out);
    w.u32(viewCount);
    std::size_t dataOffset = 0;
    for (std::size_t k = 0; k < iconfile::kIconViews; ++k) {
        std::int32_t words[s16::kHeaderWords] = {};
        if (k < views.size()) {
            words[s16::kWidthWord] = views[k].width;
            words[s16::kHeightWord] = views[k].height;
            words[s16::kDataOffsetWord] = static_cast<std::int32_t>(dataOffset);
            words[s16::kCodingWord] = views[k].coding;
            dataOffset += views[k].data.size();
        }
        for (const auto word : words)
            w.u32(static_cast<std::uint32_t>(word));
    }
    for (std::size_t k = 0; k < std::min<std::size_t>(views.size(), iconfile::kIconViews); ++k)
        w.append(views[k].data);
    return out;
}

Bytes EncodeS16Plain(std::span<const std::uint16_t> pixels) {
    Bytes out;
    ByteWriter w(out);
    for (const auto p : pixels)
        w.u16(p);
    return out;
}

Bytes EncodeS16RunLength(std::span<const std::uint16_t> pixels) {
    constexpr std::size_t kMaxCount = 255;
    Bytes out;
    ByteWriter w(out);
    std::size_t i = 0;
    while (i < pixels.size()) {
        std::size_t run = 1;
        while (run < kMaxCount && i + run < pixels.size() && pixels[i + run] == pixels[i])
            ++run;
        w.u8(static_cast<std::uint8_t>(run));
        w.u16(pixels[i]);
        i += run;
    }
    return out;
}

S16View MakeS16View(std::int32_t width, std::int32_t height, std::span<const std::uint16_t> pixels,
                    bool runLength) {
    S16View v;
    v.width = width;
    v.height = height;
    v.coding = runLength ? s16::kRunLengthCoding : 0;
    v.data = runLength ? EncodeS16RunLength(pixels) : EncodeS16Plain(pixels);
    return v;
}

} // namespace varnel
