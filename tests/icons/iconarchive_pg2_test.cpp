#include "tests/icons/iconarchive_testutil.h"

#include <gtest/gtest.h>

#include <climits>

namespace varnel {
namespace {

using test::OpenArchive;
using test::ShowAtOrigin;

constexpr Rgb kGrey = iconfile::kBorderColour;
constexpr Rgb kBackground = iconfile::kBackgroundColour;

// One view from a hand-written stream.
ShpView streamView(Bytes stream, std::int32_t left = 0, std::int32_t top = 0,
                   std::int32_t bottom = 0) {
    return ShpView{left, top, bottom, std::move(stream)};
}

IconArchive oneIcon(const ShpView& view, const std::string& name = "ICON.SHP") {
    return OpenArchive(Game::Pg2, {{name, WriteShpEntry(test::NineShpViews(view))}});
}

TEST(Pg2IconIndex, KeysAreUpperCaseWithoutExtension) {
    const ShpView v = streamView({2, 5, 0});
    const auto archive =
        OpenArchive(Game::Pg2, {{"TIGER.SHP", WriteShpEntry(test::NineShpViews(v))},
                                {"panther.shp", WriteShpEntry(test::NineShpViews(v))},
                                {"A.B.SHP", WriteShpEntry(test::NineShpViews(v))},
                                {"SHPNODOT", WriteShpEntry(test::NineShpViews(v))},
                                {"FLAG.SHP", WriteShpEntry(test::NineShpViews(v), 8)},
                                {"MAP.BMP", WriteShpEntry(test::NineShpViews(v))},
                                {"TANK.S16", WriteShpEntry(test::NineShpViews(v))}});
    EXPECT_EQ(archive.keys(), (std::vector<std::string>{"A.B", "PANTHER", "SHPNODOT", "TIGER"}));
    EXPECT_EQ(archive.entryCount(), 7u);
}

TEST(Pg2IconIndex, FullThirteenCharacterNameAndLaterEqualKeyWins) {
    const auto first = WriteShpEntry(test::NineShpViews(streamView({2, 5, 0})));
    const auto second = WriteShpEntry(test::NineShpViews(streamView({2, 6, 0})));
    auto archive = OpenArchive(
        Game::Pg2, {{"ABCDEFGHI.SHP", first}, {"tiger.shp", first}, {"TIGER.SHP", second}});
    EXPECT_EQ(archive.keys(), (std::vector<std::string>{"ABCDEFGHI", "TIGER"}));
    ASSERT_TRUE(archive.SelectIcon("TIGER"));
    EXPECT_EQ(archive.grid().at(0, 0), 6);
}

TEST(Pg2IconIndex, DirectoryCountLargerThanTheFileIsCut) {
    auto bytes =
        WriteIconArchive({{"TIGER.SHP", WriteShpEntry(test::NineShpViews(streamView({2, 5, 0})))}});
    bytes[0] = 0xFF;
    bytes[1] = 0xFF;
    bytes[2] = 0xFF;
    IconArchive archive(Game::Pg2);
    archive.Open(bytes);
    EXPECT_EQ(archive.entryCount(), 0x00FFFFFFu);
    EXPECT_EQ(archive.keys(), (std::vector<std::string>{"TIGER"}));
    // Entries "read" from the icon data itself are garbage but stay inside the file.
    EXPECT_EQ(archive.entriesRead(), (bytes.size() - 4) / iconfile::kDirectoryEntrySize);
}

// Hand-made streams and the cells they must fill (row 0 unless said).
struct StreamCase {
    const char* name;
    Bytes stream;
    std::vector<std::uint8_t> row0; // expected cells from column 0
    int right;
};

class Pg2Decode : public testing::TestWithParam<StreamCase> {};

TEST_P(Pg2Decode, FillsTheGridAndBox) {
    const auto& c = GetParam();
    auto archive = oneIcon(streamView(c.stream));
    // View 9 is the last in the file, so its stream ends where the file does.
    archive.SetView(9);
    ASSERT_TRUE(archive.SelectIcon("ICON"));
    const auto& g = archive.grid();
    for (std::size_t x = 0; x < c.row0.size(); ++x)
        EXPECT_EQ(g.at(static_cast<int>(x), 0), c.row0[x]) << "column " << x;
    EXPECT_EQ(g.at(static_cast<int>(c.row0.size()), 0), shp::kTransparent);
    EXPECT_EQ(g.right, c.right);
    EXPECT_EQ(g.left, 0);
    EXPECT_EQ(g.top, 0);
    EXPECT_EQ(g.bottom, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, Pg2Decode,
    testing::Values(
        StreamCase{"TransparentRunThenColourRunThenLiterals",
                   {1, 2, 6, 10, 5, 11, 12, 0},
                   {255, 255, 10, 10, 10, 11, 12},
                   7},
        StreamCase{"Index255IsTransparentButWidensTheBox", {4, 255, 2, 3, 0}, {255, 255, 3}, 3},
        StreamCase{"LiteralCutByEndOfFileReadsTransparent", {7, 9}, {9, 255, 255}, 3},
        StreamCase{"ColourRunWhoseColourIsMissing", {6}, {255, 255, 255}, 3},
        StreamCase{"TransparentRunWhoseCountIsMissing", {2, 4, 1}, {4}, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Pg2Decode, RowWiderThanTheGridDropsTheExcessAndEndsAtItsCode) {
    // 200 pixels of colour 7 in row 0 (two runs of 100), then one pixel of 9 in row 1.
    auto archive = oneIcon(streamView({200, 7, 200, 7, 0, 3, 9, 0}, 0, 0, 1));
    ASSERT_TRUE(archive.SelectIcon("ICON"));
    const auto& g = archive.grid();
    EXPECT_EQ(g.at(179, 0), 7);
    EXPECT_EQ(g.right, 180);
    EXPECT_EQ(g.at(0, 1), 9);
    EXPECT_EQ(g.at(1, 1), shp::kTransparent);
    EXPECT_EQ(g.bottom, 2);
}

TEST(Pg2Decode, StartPositionFollowsLeftAndTop) {
    auto archive = oneIcon(streamView({2, 5, 0, 2, 6, 0}, 30, 50, 51));
    ASSERT_TRUE(archive.SelectIcon("ICON"));
    EXPECT_EQ(archive.grid().at(30, 50), 5);
    EXPECT_EQ(archive.grid().at(30, 51), 6);
    EXPECT_EQ(archive.grid().left, 30);
    EXPECT_EQ(archive.grid().top, 50);

    // A negative left starts at column 0; a negative top starts at row 0 and moves the last row
    // down by as much (here rows 0..3 instead of 0..1).
    archive = oneIcon(streamView({0, 0, 0, 2, 8, 0, 2, 9, 0}, -4, -2, 1));
    ASSERT_TRUE(archive.SelectIcon("ICON"));
    EXPECT_EQ(archive.grid().at(0, 3), 8);
    EXPECT_EQ(archive.grid().at(0, 4), shp::kTransparent); // past the last row
    EXPECT_EQ(archive.pg2Header()[shp::kLeftWord], -4);
}

TEST(Pg2Decode, RowsPastTheLastRowOrTheGridAreNotDecoded) {
    auto archive = oneIcon(streamView({2, 5, 0, 2, 6, 0}, 0, 0, 0));
    ASSERT_TRUE(archive.SelectIcon("ICON"));
    EXPECT_EQ(archive.grid().at(0, 1), shp::kTransparent);
    EXPECT_EQ(archive.grid().bottom, 1);

    // Starting below the grid: nothing is written.
    archive = oneIcon(streamView({2, 5, 0}, 0, 120, 130));
    ASSERT_TRUE(archive.SelectIcon("ICON"));
    EXPECT_EQ(archive.grid().right, 0);
    EXPECT_EQ(archive.grid().left, 180);
}

TEST(Pg2Decode, DamagedBottomDoesNotSpinThroughEmptyRows) {
    // The largest bottom with a negative top: billions of rows if each were visited.
    auto archive = oneIcon(streamView({2, 5, 0}, 0, INT_MIN, INT_MAX));
    ASSERT_TRUE(archive.SelectIcon("ICON"));
    EXPECT_EQ(archive.grid().at(0, 0), 5);
    archive = oneIcon(streamView(Bytes(1000, 0), 0, 0, INT_MAX));
    EXPECT_TRUE(archive.SelectIcon("ICON"));
}

// Damaged offsets inside an otherwise good archive.
struct DamageCase {
    const char* name;
    std::size_t at; // byte to overwrite, relative to the entry
    std::uint32_t value;
};

class Pg2Damage : public testing::TestWithParam<DamageCase> {};

TEST_P(Pg2Damage, SelectionIsRefusedAndOnlyTheFrameIsPainted) {
    const auto& c = GetParam();
    auto entry = WriteShpEntry(test::NineShpViews(streamView({2, 5, 0})));
    writeU16(entry.data() + c.at, static_cast<std::uint16_t>(c.value));
    writeU16(entry.data() + c.at + 2, static_cast<std::uint16_t>(c.value >> 16));
    auto archive = OpenArchive(Game::Pg2, {{"ICON.SHP", entry}});
    ASSERT_EQ(archive.keyCount(), 1u);
    EXPECT_FALSE(archive.SelectIcon("ICON"));
    EXPECT_EQ(test::ChangedPixels(ShowAtOrigin(archive, "ICON")), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Offsets, Pg2Damage,
    testing::Values(DamageCase{"ViewOffsetPastTheEnd", shp::kViewTableOffset + 3 * 8, 0x7FFFFFF0},
                    DamageCase{"ViewOffsetNegative", shp::kViewTableOffset + 3 * 8, 0xFFFFFF00},
                    // Nine 27-byte views after the 80-byte table: 14 bytes, short of a header.
                    DamageCase{"ViewOffsetLeavesAShortHeader", shp::kViewTableOffset + 3 * 8,
                               80 + 9 * 27 - 14}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Pg2Damage, EntryOffsetsOutsideTheFileOrBelowFive) {
    auto entry = WriteShpEntry(test::NineShpViews(streamView({2, 5, 0})));
    for (const std::uint32_t offset : {0u, 4u, 0x80000000u, 0x7FFFFFFFu}) {
        // The view count must read 9 for the entry to be indexed: place it where it is read.
        auto bytes = WriteIconArchive({{"ICON.SHP", entry}});
        writeU16(bytes.data() + 4, static_cast<std::uint16_t>(offset));
        writeU16(bytes.data() + 6, static_cast<std::uint16_t>(offset >> 16));
        IconArchive archive(Game::Pg2);
        archive.Open(bytes);
        EXPECT_FALSE(archive.SelectIcon("ICON")) << offset;
    }
}

TEST(Pg2Damage, TruncatedFileKeepsWhatWasDecoded) {
    auto bytes = WriteIconArchive(
        {{"ICON.SHP", WriteShpEntry(test::NineShpViews(streamView({6, 5, 0, 6, 6, 0}, 0, 0, 1)))}});
    // The last entry's last view ends the file: cut into its second row.
    bytes.resize(bytes.size() - 2);
    IconArchive archive(Game::Pg2);
    archive.Open(bytes);
    // View 9 is the last one in the file; view 4's stream is whole.
    archive.SetView(9);
    ASSERT_TRUE(archive.SelectIcon("ICON"));
    EXPECT_EQ(archive.grid().at(2, 0), 5);
    EXPECT_EQ(archive.grid().at(0, 1), shp::kTransparent);
    EXPECT_EQ(archive.grid().bottom, 2); // the run of 3 went on, transparent, past the end
}

TEST(Pg2Paint, HundredColumnsAreCutFiveEachSide) {
    IndexRows rows(1, std::vector<std::uint8_t>(100));
    for (int x = 0; x < 100; ++x)
        rows[0][static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(x + 1);
    auto archive = oneIcon(MakeShpView(rows, 0, 0));
    const RgbImage image = ShowAtOrigin(archive, "ICON");
    const auto& palette = Pg2Palette();
    EXPECT_EQ(archive.lastWidth(), 101);
    EXPECT_EQ(archive.lastHeight(), 2);
    // Height 2: (60 - 2) / 2 = 29, so the row lands at y 31. Column 5 (colour 6) at x 2.
    EXPECT_EQ(image.at(2, 31), palette[6]);
    EXPECT_EQ(image.at(89, 31), palette[93]);
    EXPECT_EQ(image.at(90, 31), kGrey);
    EXPECT_EQ(image.at(91, 31), kGrey);
    EXPECT_EQ(image.at(1, 31), kGrey);
    EXPECT_EQ(image.at(2, 30), kBackground);
    EXPECT_EQ(image.at(2, 32), kBackground);
    EXPECT_EQ(test::ChangedPixels(image), 88);
}

TEST(Pg2Paint, SmallIconIsCentredAndTransparentCellsShowTheBackground) {
    // 3 x 2 at (40, 60): box width 4, height 3 -> x from 2 + 43 = 45, y from 2 + 28 = 30.
    const IndexRows rows = {{252, 255, 253}, {254, 254, 254}};
    auto archive = oneIcon(MakeShpView(rows, 40, 60));
    const RgbImage image = ShowAtOrigin(archive, "ICON");
    EXPECT_EQ(image.at(45, 30), (Rgb{0x0C, 0x78, 0xFC}));
    EXPECT_EQ(image.at(46, 30), kBackground);
    EXPECT_EQ(image.at(47, 30), (Rgb{0x30, 0x28, 0xC0}));
    EXPECT_EQ(image.at(45, 31), (Rgb{0x24, 0x68, 0x00}));
    EXPECT_EQ(image.at(48, 31), kBackground);
    EXPECT_EQ(test::ChangedPixels(image), 5);
}

TEST(Pg2Paint, TallIconIsCutTopAndBottom) {
    // 70 rows: box height 71, cut (71 - 60) / 2 = 5; rows 5..64 at y 2..61, y 60, 61 skipped.
    IndexRows rows(70, std::vector<std::uint8_t>(1));
    for (int y = 0; y < 70; ++y)
        rows[static_cast<std::size_t>(y)][0] = static_cast<std::uint8_t>(y + 1);
    auto archive = oneIcon(MakeShpView(rows, 0, 0));
    const RgbImage image = ShowAtOrigin(archive, "ICON");
    const auto& palette = Pg2Palette();
    // Width 2: x = 2 + 44.
    EXPECT_EQ(image.at(46, 2), palette[6]);
    EXPECT_EQ(image.at(46, 59), palette[63]);
    EXPECT_EQ(image.at(46, 60), kGrey);
    EXPECT_EQ(test::ChangedPixels(image), 58);
}

TEST(Pg2Views, PagingStopsAtTheEndsAndEachViewShowsItsOwnPicture) {
    std::vector<ShpView> views;
    for (std::uint8_t k = 1; k <= 9; ++k)
        views.push_back(streamView({2, static_cast<std::uint8_t>(100 + k), 0}));
    auto archive = OpenArchive(Game::Pg2, {{"ICON.SHP", WriteShpEntry(views)}});
    EXPECT_EQ(archive.view(), 4);
    ASSERT_TRUE(archive.SelectIcon("ICON"));
    EXPECT_EQ(archive.grid().at(0, 0), 104);

    for (int i = 0; i < 5; ++i)
        archive.PreviousView();
    EXPECT_EQ(archive.view(), 1);
    ASSERT_TRUE(archive.SelectIcon("ICON"));
    EXPECT_EQ(archive.grid().at(0, 0), 101);
    for (int i = 0; i < 10; ++i)
        archive.NextView();
    EXPECT_EQ(archive.view(), 9);
    ASSERT_TRUE(archive.SelectIcon("ICON"));
    EXPECT_EQ(archive.grid().at(0, 0), 109);

    archive.SetView(0);
    ASSERT_TRUE(archive.SelectIcon("ICON"));
    EXPECT_EQ(archive.view(), 4);
    archive.SetView(12);
    ASSERT_TRUE(archive.SelectIcon("ICON"));
    EXPECT_EQ(archive.view(), 9);
    EXPECT_EQ(archive.grid().at(0, 0), 109);
}

TEST(Pg2Frame, FrameIsPaintedAtTheArchiveOrigin) {
    IconArchive archive(Game::Pg2);
    EXPECT_EQ(archive.originX(), 350);
    EXPECT_EQ(archive.originY(), 4);
    RgbImage image(120, 80, Rgb{1, 2, 3});
    archive.SetOrigin(10, 2);
    archive.ShowIcon(image, "ANY"); // not open: only the frame
    EXPECT_EQ(image.at(9, 2), (Rgb{1, 2, 3}));
    EXPECT_EQ(image.at(10, 2), kGrey);
    EXPECT_EQ(image.at(11, 3), kGrey);
    EXPECT_EQ(image.at(12, 4), kBackground);
    EXPECT_EQ(image.at(99, 61), kBackground);
    EXPECT_EQ(image.at(100, 62), kGrey);
    EXPECT_EQ(image.at(101, 63), kGrey);
    EXPECT_EQ(image.at(102, 63), (Rgb{1, 2, 3}));
    EXPECT_EQ(image.at(101, 64), (Rgb{1, 2, 3}));
}

TEST(Pg2Writer, EncodedPicturesDecodeToThemselves) {
    // Long runs, literals longer than 127, transparent runs longer than 255 (a 170-wide row).
    IndexRows rows(5, std::vector<std::uint8_t>(170, shp::kTransparent));
    for (std::size_t x = 0; x < 170; ++x) {
        rows[0][x] = static_cast<std::uint8_t>(x % 250);
        rows[1][x] = 17;
        rows[3][x] = x % 3 == 0 ? 255 : static_cast<std::uint8_t>(x / 10);
    }
    auto archive = oneIcon(MakeShpView(rows, 3, 7));
    ASSERT_TRUE(archive.SelectIcon("ICON"));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 170; ++x)
            ASSERT_EQ(archive.grid().at(x + 3, y + 7),
                      rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)])
                << x << ", " << y;
}

} // namespace
} // namespace varnel
