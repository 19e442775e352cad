#include "app/reportcommands.h"
#include "app/iconload.h"
#include "app/unitsound.h"
#include "tests/icons/iconarchive_testutil.h"
#include "tests/support/testsupport.h"

#include "icons/sampleicons.h"
#include "tools/png.h"

#include <gtest/gtest.h>

#include <set>

namespace varnel {
namespace {

const std::vector<std::string> kNames = {"TIGER", "spitf", "BBYAM", "FLAK88", "zzz", "TIGER"};

class SampleArchive : public testing::TestWithParam<Game> {};

TEST_P(SampleArchive, EveryNameHasNineDistinctViewsAndNothingElseIsIndexed) {
    const Game game = GetParam();
    test::TempDir dir;
    ASSERT_TRUE(WriteSampleIconArchive(dir.dir(), game, kNames));
    const auto bytes = test::ReadFile(dir.file(game == Game::Pg2 ? "PANZER2.DAT" : "MODGEN.DAT"));
    IconArchive archive(game);
    archive.Open(bytes);
    EXPECT_EQ(archive.keys(),
              (std::vector<std::string>{"BBYAM", "FLAK88", "SPITF", "TIGER", "ZZZ"}));
    EXPECT_GT(archive.entryCount(), archive.keyCount()); // the entries that are not icons

    std::set<int> codings;
    for (const auto& key : archive.keys()) {
        std::set<std::vector<std::uint8_t>> pictures;
        for (int view = 1; view <= 9; ++view) {
            archive.SetView(view);
            const RgbImage image = test::ShowAtOrigin(archive, key);
            EXPECT_GT(test::ChangedPixels(image), 150) << key << " view " << view;
            pictures.insert(image.rgbBytes());
            if (game == Game::Peg)
                codings.insert(archive.pegView().header[s16::kCodingWord]);
        }
        EXPECT_EQ(pictures.size(), 9u) << key;
    }
    if (game == Game::Peg) {
        EXPECT_EQ(codings, (std::set<int>{0, s16::kRunLengthCoding}));
    }
}

INSTANTIATE_TEST_SUITE_P(Games, SampleArchive, testing::Values(Game::Pg2, Game::Peg),
                         [](const auto& info) {
                             return std::string(info.param == Game::Pg2 ? "Pg2" : "Peg");
                         });

TEST(SampleArchive, ShapesFollowTheNames) {
    EXPECT_EQ(GuessIconShape("SPITFIRE", 0), IconShape::Plane);
    EXPECT_EQ(GuessIconShape("bismrk", 0), IconShape::Ship);
    EXPECT_EQ(GuessIconShape("FLAK88", 0), IconShape::Gun);
    EXPECT_EQ(GuessIconShape("PZIV", 3), IconShape::Vehicle);
    // Nothing to go by: the shapes take turns.
    std::set<IconShape> shapes;
    for (std::size_t i = 0; i < 4; ++i)
        shapes.insert(GuessIconShape("X", i));
    EXPECT_EQ(shapes.size(), 4u);
}

TEST(PictureFiles, ChecksumsMatchTheirStandardValues) {
    const std::string digits = "123456789";
    const std::string wiki = "Wikipedia";
    EXPECT_EQ(Crc32(Bytes(digits.begin(), digits.end())), 0xCBF43926u);
    EXPECT_EQ(Adler32(Bytes(wiki.begin(), wiki.end())), 0x11E60398u);
}

std::uint32_t bigEndian(const Bytes& b, std::size_t at) {
    return (std::uint32_t(b[at]) << 24) | (std::uint32_t(b[at + 1]) << 16) |
           (std::uint32_t(b[at + 2]) << 8) | b[at + 3];
}

// The pixels of a PNG written with stored blocks, every chunk's CRC checked on the way.
Bytes storedPngPixels(const Bytes& png, int& width, int& height) {
    Bytes zlib;
    std::size_t at = 8;
    while (at + 12 <= png.size()) {
        const std::uint32_t length = bigEndian(png, at);
        const std::string type(png.begin() + static_cast<std::ptrdiff_t>(at + 4),
                               png.begin() + static_cast<std::ptrdiff_t>(at + 8));
        const Bytes chunk(png.begin() + static_cast<std::ptrdiff_t>(at + 4),
                          png.begin() + static_cast<std::ptrdiff_t>(at + 8 + length));
        EXPECT_EQ(Crc32(chunk), bigEndian(png, at + 8 + length)) << type;
        if (type == "IHDR") {
            width = static_cast<int>(bigEndian(png, at + 8));
            height = static_cast<int>(bigEndian(png, at + 12));
        } else if (type == "IDAT") {
            zlib.insert(zlib.end(), chunk.begin() + 4, chunk.end());
        }
        at += 12 + length;
    }
    EXPECT_EQ(at, png.size());
    Bytes raw;
    std::size_t pos = 2;
    bool last = false;
    while (!last && pos + 5 <= zlib.size()) {
        last = zlib[pos] & 1;
        const std::size_t n = zlib[pos + 1] | (zlib[pos + 2] << 8);
        EXPECT_EQ(n ^ 0xFFFF, std::size_t(zlib[pos + 3] | (zlib[pos + 4] << 8)));
        raw.insert(raw.end(), zlib.begin() + static_cast<std::ptrdiff_t>(pos + 5),
                   zlib.begin() + static_cast<std::ptrdiff_t>(pos + 5 + n));
        pos += 5 + n;
    }
    EXPECT_TRUE(last);
    EXPECT_EQ(bigEndian(zlib, pos), Adler32(raw));
    return raw;
}

TEST(PictureFiles, PngCarriesEveryPixelAcrossSeveralStoredBlocks) {
    const int w = 150, h = 160; // 72,160 bytes of rows: two stored blocks
    RgbImage image(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, Rgb{std::uint8_t(x), std::uint8_t(y), std::uint8_t(x ^ y)});
    const auto png = EncodePng(w, h, image.rgbBytes());
    ASSERT_TRUE(png);
    int width = 0, height = 0;
    const Bytes raw = storedPngPixels(*png, width, height);
    EXPECT_EQ(width, w);
    EXPECT_EQ(height, h);
    ASSERT_EQ(raw.size(), std::size_t((w * 3 + 1) * h));
    const auto rgb = image.rgbBytes();
    for (int y = 0; y < h; ++y) {
        ASSERT_EQ(raw[std::size_t(y * (w * 3 + 1))], 0) << "filter of row " << y;
        ASSERT_TRUE(std::equal(rgb.begin() + y * w * 3, rgb.begin() + (y + 1) * w * 3,
                               raw.begin() + y * (w * 3 + 1) + 1));
    }
}

TEST(PictureFiles, PpmAndRefusals) {
    const RgbImage image(2, 1, Rgb{1, 2, 3});
    const auto ppm = EncodePpm(2, 1, image.rgbBytes());
    ASSERT_TRUE(ppm);
    const std::string expected = std::string("P6\n2 1\n255\n") + "\x01\x02\x03\x01\x02\x03";
    EXPECT_EQ(std::string(ppm->begin(), ppm->end()), expected);
    EXPECT_FALSE(EncodePpm(3, 1, image.rgbBytes()));
    EXPECT_FALSE(EncodePng(0, 0, {}));
    EXPECT_FALSE(EncodePng(-2, -1, image.rgbBytes()));
}

} // namespace
} // namespace varnel
