#include "tests/icons/iconarchive_testutil.h"

#include <gtest/gtest.h>

#include <climits>

namespace varnel {
namespace {

using test::OpenArchive;
using test::ShowAtOrigin;

constexpr Rgb kGrey = iconfile::kBorderColour;
constexpr Rgb kBackground = iconfile::kBackgroundColour;
constexpr std::uint16_t kGreen = 0x07E0;
constexpr std::uint16_t kRed = 0x001F; // red sits in the low bits
constexpr std::uint16_t kClear = s16::kTransparentColour;

S16View filled(int w, int h, std::uint16_t colour, bool runLength) {
    const std::vector<std::uint16_t> pixels(static_cast<std::size_t>(w * h), colour);
    return MakeS16View(w, h, pixels, runLength);
}

IconArchive oneIcon(const S16View& view, const std::string& name = "TANK.S16") {
    return OpenArchive(Game::Peg, {{name, WriteS16Entry(test::NineS16Views(view))}});
}

TEST(PegColour, WordsMapRedLowGreenMiddleBlueHigh) {
    EXPECT_EQ(PegColour(kGreen), (Rgb{0, 252, 0}));
    EXPECT_EQ(PegColour(kRed), (Rgb{248, 0, 0}));
    EXPECT_EQ(PegColour(0xF800), (Rgb{0, 0, 248}));
    EXPECT_EQ(PegColour(kClear), (Rgb{248, 0, 248}));
}

TEST(PegIconIndex, OnlyNineViewS16EntriesAreIndexed) {
    const auto entry = WriteS16Entry(test::NineS16Views(filled(2, 2, kRed, false)));
    const auto archive = OpenArchive(Game::Peg, {{"TANK.S16", WriteS16Entry({}, 8)},
                                                 {"tiger.s16", entry},
                                                 {"JEEP.SHP", entry},
                                                 {"FONT.FNT", entry}});
    EXPECT_EQ(archive.keys(), (std::vector<std::string>{"TIGER"}));
}

// Where the top-left pixel of a 10 x 10 view lands, by coding.
struct PlacementCase {
    const char* name;
    bool runLength;
    std::uint16_t colour;
    int x;
    int y;
};

class PegPlacement : public testing::TestWithParam<PlacementCase> {};

TEST_P(PegPlacement, TenByTenLandsWhereTheCodingPutsIt) {
    const auto& c = GetParam();
    auto archive = oneIcon(filled(10, 10, c.colour, c.runLength));
    const RgbImage image = ShowAtOrigin(archive, "TANK");
    const Rgb colour = PegColour(c.colour);
    EXPECT_EQ(image.at(c.x, c.y), colour);
    EXPECT_EQ(image.at(c.x + 9, c.y + 9), colour);
    EXPECT_EQ(image.at(c.x - 1, c.y), c.x == 2 ? kGrey : kBackground);
    EXPECT_EQ(image.at(c.x, c.y - 1), c.y == 2 ? kGrey : kBackground);
    EXPECT_EQ(image.at(c.x + 10, c.y + 9), kBackground);
    EXPECT_EQ(image.at(c.x + 9, c.y + 10), kBackground);
    EXPECT_EQ(test::ChangedPixels(image), 100);
    EXPECT_EQ(archive.lastWidth(), 10);
    EXPECT_EQ(archive.lastHeight(), 10);
}

INSTANTIATE_TEST_SUITE_P(Codings, PegPlacement,
                         testing::Values(PlacementCase{"PlainAtTheInnerCorner", false, kGreen, 2,
                                                       2},
                                         PlacementCase{"RunLengthCentred", true, kRed, 39, 24}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PegPaint, TransparentWordsAreNotPainted) {
    // A run-length view of one group (count 5, transparent): nothing.
    S16View view{5, 1, s16::kRunLengthCoding, {5, 0x1F, 0xF8}};
    auto archive = oneIcon(view);
    EXPECT_EQ(test::ChangedPixels(ShowAtOrigin(archive, "TANK")), 0);

    // Plain: a transparent pixel between two painted ones leaves the background.
    const std::vector<std::uint16_t> pixels = {kGreen, kClear, kRed};
    archive = oneIcon(MakeS16View(3, 1, pixels, false));
    const RgbImage image = ShowAtOrigin(archive, "TANK");
    EXPECT_EQ(image.at(2, 2), PegColour(kGreen));
    EXPECT_EQ(image.at(3, 2), kBackground);
    EXPECT_EQ(image.at(4, 2), PegColour(kRed));
}

TEST(PegPaint, RunLengthGroupsWrapRowsAndZeroCountsCoverNothing) {
    // 4 x 2 centred at (42, 28): 0 covers none, 3 green, 0, 5 red (wrapping into row 2).
    S16View view{
        4, 2, s16::kRunLengthCoding, {0, 0xE0, 0x07, 3, 0xE0, 0x07, 0, 0x1F, 0x00, 5, 0x1F, 0x00}};
    auto archive = oneIcon(view);
    const RgbImage image = ShowAtOrigin(archive, "TANK");
    EXPECT_EQ(image.at(42, 28), PegColour(kGreen));
    EXPECT_EQ(image.at(44, 28), PegColour(kGreen));
    EXPECT_EQ(image.at(45, 28), PegColour(kRed));
    EXPECT_EQ(image.at(42, 29), PegColour(kRed));
    EXPECT_EQ(image.at(45, 29), PegColour(kRed));
    EXPECT_EQ(test::ChangedPixels(image), 8);
}

TEST(PegPaint, ViewsLargerThanTheFrameAreNotClippedToIt) {
    auto archive = oneIcon(filled(100, 70, kGreen, false));
    RgbImage image(200, 200);
    archive.SetOrigin(0, 0);
    archive.ShowIcon(image, "TANK");
    EXPECT_EQ(image.at(101, 71), PegColour(kGreen));
    EXPECT_EQ(image.at(102, 71), (Rgb{}));
}

// Damaged views: each paints what it can and stops.
struct DamageCase {
    const char* name;
    S16View view;
    int painted; // pixels that must differ from the empty frame
};

class PegDamage : public testing::TestWithParam<DamageCase> {};

TEST_P(PegDamage, PaintsWhatItCanAndStops) {
    auto archive = oneIcon(GetParam().view);
    // View 9's data ends the file.
    archive.SetView(9);
    EXPECT_EQ(test::ChangedPixels(ShowAtOrigin(archive, "TANK")), GetParam().painted);
}

INSTANTIATE_TEST_SUITE_P(
    Views, PegDamage,
    testing::Values(
        DamageCase{"ZeroWidth", {0, 10, 0, Bytes(40, 1)}, 0},
        DamageCase{"NegativeHeight", {10, -3, 1, Bytes(40, 1)}, 0},
        DamageCase{"PlainDataEndsEarly", {10, 10, 0, {0xE0, 0x07, 0xE0, 0x07, 0xE0}}, 2},
        DamageCase{"RunLengthDataEndsEarly", {10, 10, 1, {3, 0xE0, 0x07, 200}}, 3},
        DamageCase{"GroupRunsPastTheLastPixel", {3, 3, 1, {200, 0xE0, 0x07}}, 9},
        DamageCase{"HugeSizeSmallData", {INT_MAX, INT_MAX, 1, {255, 0xE0, 0x07, 255, 0, 0}}, 0},
        DamageCase{"HugePlainSizeSmallData", {INT_MAX, 2, 0, Bytes(64, 0)}, 32}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PegDamage, DataOffsetOutsideTheFilePaintsNothing) {
    for (const std::int32_t offset : {-400, -1000000, 1 << 30, INT_MAX}) {
        auto entry = WriteS16Entry(test::NineS16Views(filled(4, 4, kGreen, false)));
        const std::size_t word6 = s16::kViewHeaderStart + 3 * s16::kHeaderSize + 4 * 6;
        writeU16(entry.data() + word6, static_cast<std::uint16_t>(offset));
        writeU16(entry.data() + word6 + 2, static_cast<std::uint16_t>(offset >> 16));
        auto archive = OpenArchive(Game::Peg, {{"TANK.S16", entry}});
        EXPECT_EQ(test::ChangedPixels(ShowAtOrigin(archive, "TANK")), 0) << offset;
    }
}

TEST(PegDamage, HeaderOutsideTheFileRefusesTheSelection) {
    auto bytes = WriteIconArchive({{"TANK.S16", WriteS16Entry({}, 9)}});
    bytes.resize(4 + 17 + 4 + 3 * 40 + 20); // cut inside view 4's header
    IconArchive archive(Game::Peg);
    archive.Open(bytes);
    ASSERT_EQ(archive.keyCount(), 1u);
    EXPECT_FALSE(archive.SelectIcon("TANK"));
}

TEST(PegViews, EachViewPaintsItsOwnHeaderAndData) {
    std::vector<S16View> views;
    for (int k = 1; k <= 9; ++k)
        views.push_back(filled(k, 1, kGreen, k % 2 == 0));
    auto archive = OpenArchive(Game::Peg, {{"TANK.S16", WriteS16Entry(views)}});
    for (int k = 1; k <= 9; ++k) {
        archive.SetView(k);
        EXPECT_EQ(test::ChangedPixels(ShowAtOrigin(archive, "TANK")), k);
        EXPECT_EQ(archive.lastWidth(), k);
    }
    // Painting again without a new selection paints the same view again.
    RgbImage image(iconfile::kFrameWidth, iconfile::kFrameHeight);
    archive.DrawFrame(image);
    archive.DrawPixels(image);
    EXPECT_EQ(test::ChangedPixels(image), 9);
}

TEST(PegWriter, RunLengthAndPlainOfTheSamePicturePaintAlike) {
    std::vector<std::uint16_t> pixels(20 * 20);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = i % 7 == 0 ? kClear : static_cast<std::uint16_t>((i / 3) * 0x0841);
    pixels.resize(20 * 20 - 1);
    pixels.push_back(kGreen);
    auto plain = oneIcon(MakeS16View(20, 20, pixels, false));
    auto coded = oneIcon(MakeS16View(20, 20, pixels, true));
    RgbImage a(200, 200), b(200, 200);
    plain.SetOrigin(30, 30);
    coded.SetOrigin(30 + 2 - 34, 30 + 2 - 19); // run-length lands at (34, 19) in the frame
    plain.ShowIcon(a, "TANK");
    coded.DrawFrame(b);
    ASSERT_TRUE(coded.SelectIcon("TANK"));
    coded.DrawPixels(b);
    a.setOrigin(0, 0);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(a.at(32 + x, 32 + y), b.at(32 + x, 32 + y)) << x << ", " << y;
}

} // namespace
} // namespace varnel
