#include "tests/icons/iconarchive_testutil.h"
#include "tests/support/testsupport.h"

#include "base/png.h"
#include "icons/sampleicons.h"

#include <gtest/gtest.h>
#include <png.h>

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

// The pixels of a PNG, read back with libpng's own reader.
Bytes decodedPngPixels(const Bytes& png, int& width, int& height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, png.data(), png.size()))
        return {};
    image.format = PNG_FORMAT_RGB;
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    Bytes rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr))
        return {};
    return rgb;
}

TEST(PictureFiles, PngCarriesEveryPixelCompressed) {
    const int w = 150, h = 160;
    RgbImage image(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, Rgb{std::uint8_t(x), std::uint8_t(y), std::uint8_t(x ^ y)});
    const auto png = EncodePng(w, h, image.rgbBytes());
    ASSERT_TRUE(png);
    const std::uint8_t signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    ASSERT_GT(png->size(), sizeof signature);
    EXPECT_TRUE(std::equal(std::begin(signature), std::end(signature), png->begin()));
    EXPECT_LT(png->size(), std::size_t(w * h * 3)) << "the rows are compressed";
    int width = 0, height = 0;
    const Bytes rgb = decodedPngPixels(*png, width, height);
    EXPECT_EQ(width, w);
    EXPECT_EQ(height, h);
    const auto expected = image.rgbBytes();
    EXPECT_TRUE(std::equal(rgb.begin(), rgb.end(), expected.begin(), expected.end()));
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
