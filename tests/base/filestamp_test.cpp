// The hash that tells two versions of a file apart, and the stamp that uses it.

#include "base/fileio.h"
#include "base/filestamp.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace varnel {
namespace {

Bytes sample(std::size_t n) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i)
        b[i] = static_cast<std::uint8_t>(i * 37 + 11);
    return b;
}

// A file is hashed as it is read, in pieces; a stamp compares it with bytes held whole.
TEST(Hasher, TheSameBytesGiveTheSameValueHoweverTheyAreCut) {
    for (std::size_t size : {0u, 1u, 7u, 8u, 9u, 63u, 1000u}) {
        const Bytes bytes = sample(size);
        const std::uint64_t whole = HashBytes(bytes);
        for (std::size_t cut : {1u, 3u, 8u, 13u}) {
            Hasher h;
            for (std::size_t at = 0; at < size; at += cut)
                h.feed(std::span(bytes).subspan(at, std::min(cut, size - at)));
            EXPECT_EQ(h.value(), whole) << size << " bytes in pieces of " << cut;
        }
    }
}

TEST(Hasher, OneChangedByteOrAnAddedZeroChangesTheValue) {
    const Bytes bytes = sample(100);
    for (std::size_t i : {0u, 7u, 8u, 99u}) {
        Bytes changed = bytes;
        changed[i] ^= 1;
        EXPECT_NE(HashBytes(changed), HashBytes(bytes)) << i;
    }
    Bytes longer = bytes;
    longer.push_back(0);
    EXPECT_NE(HashBytes(longer), HashBytes(bytes));
}

TEST(FileStamp, ATouchedFileMatchesAChangedOneDoesNot) {
    test::TempDir dir;
    const std::string path = dir.file("EQUIP97.EQP");
    test::WriteFile(path, sample(500));
    const auto stamp = StampFile(path);
    ASSERT_TRUE(stamp);
    EXPECT_EQ(stamp->size, 500u);
    EXPECT_EQ(stamp->hash, HashBytes(sample(500)));
    namespace fs = std::filesystem;
    fs::last_write_time(path, fs::last_write_time(path) + std::chrono::seconds(3));
    EXPECT_TRUE(FileMatchesStamp(path, *stamp));
    Bytes changed = sample(500);
    changed[250] ^= 0xff;
    test::WriteFile(path, changed);
    EXPECT_FALSE(FileMatchesStamp(path, *stamp));
    fs::remove(path);
    EXPECT_FALSE(FileMatchesStamp(path, *stamp));
}

} // namespace
} // namespace varnel
