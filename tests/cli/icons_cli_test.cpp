#include <png.h>

#include "tests/support/testsupport.h"

#include "icons/archivewriter.h"

#include <gtest/gtest.h>

namespace varnel {
namespace {

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(CliIcons, ListsAndWritesTheSampleIcons) {
    test::TempDir dir;
    ASSERT_EQ(test::RunCli({"samples", dir.dir() + "s"}).exitCode, 0);
    const std::string pg2 = dir.dir() + "s/pg2/PANZER2.DAT";

    const auto list = test::RunCli({"icons", "--game", "pg2", pg2});
    ASSERT_EQ(list.exitCode, 0) << list.err;
    EXPECT_TRUE(contains(list.out, "\nTIGER\n")) << list.out;
    EXPECT_FALSE(contains(list.out, "LOGO")); // one view only: not an icon
    EXPECT_FALSE(contains(list.out, "PALETTE"));

    const auto png = test::RunCli(
        {"icon", "--game", "pg2", pg2, "tiger.shp", "--view", "9", "-o", dir.file("t.png")});
    ASSERT_EQ(png.exitCode, 0) << png.err;
    const Bytes bytes = test::ReadFile(dir.file("t.png"));
    ASSERT_GT(bytes.size(), 8u);
    EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 4), "PNG");
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()));
    EXPECT_EQ(image.width, 92u);
    EXPECT_EQ(image.height, 62u);
    png_image_free(&image);

    const auto ppm = test::RunCli({"icon", "--game", "peg", dir.dir() + "s/peg/MODGEN.DAT",
                                   "NOSUCH", "-o", dir.file("e.ppm")});
    ASSERT_EQ(ppm.exitCode, 0) << ppm.err;
    EXPECT_TRUE(contains(ppm.err, "no icon NOSUCH")) << ppm.err;
    const Bytes frame = test::ReadFile(dir.file("e.ppm"));
    const std::string header = "P6\n92 62\n255\n";
    ASSERT_EQ(frame.size(), header.size() + 92u * 62u * 3u);
    // Empty frame: grey corner, background centre.
    EXPECT_EQ(frame[header.size()], 128);
    const std::size_t centre = header.size() + (31u * 92u + 46u) * 3u;
    EXPECT_EQ(frame[centre], 0xF8);
    EXPECT_EQ(frame[centre + 1], 0xDC);
}

TEST(CliIcons, RefusesBadArguments) {
    test::TempDir dir;
    test::WriteFile(dir.file("a.dat"), WriteIconArchive({}));
    const std::vector<std::vector<std::string>> bad = {
        {"icons", dir.file("a.dat")},
        {"icons", "--game", "xyz", dir.file("a.dat")},
        {"icons", "--game", "pg2", dir.file("missing.dat")},
        {"icon", "--game", "pg2", dir.file("a.dat"), "TIGER"},
        {"icon", "--game", "pg2", dir.file("a.dat"), "TIGER", "-o", dir.file("x.bmp")},
        {"icon", "--game", "pg2", dir.file("a.dat"), "TIGER", "--view", "10", "-o",
         dir.file("x.png")},
        {"icon", "--game", "pg2", dir.file("a.dat"), "TIGER", "--view", "2x", "-o",
         dir.file("x.png")},
        {"icon", "--game", "pg2", dir.file("a.dat"), "TIGER", "-o", dir.file("no/x.png")},
    };
    for (const auto& args : bad) {
        const auto r = test::RunCli(args);
        EXPECT_EQ(r.exitCode, 1) << args.back();
        EXPECT_TRUE(contains(r.err, "varnel-cli icon")) << r.err;
    }
}

} // namespace
} // namespace varnel
