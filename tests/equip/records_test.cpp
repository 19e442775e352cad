#include "equip/pegrecord.h"
#include "equip/pg2record.h"

#include <gtest/gtest.h>

namespace varnel {
namespace {

struct CountryCase {
    const char* name;
    std::uint8_t b30, b31, b32, b33;
    int country;
};

class DecodePg2CountryTest : public ::testing::TestWithParam<CountryCase> {};

TEST_P(DecodePg2CountryTest, TakesTheFirstByteWithOneBit) {
    const auto& c = GetParam();
    EXPECT_EQ(DecodePg2Country(c.b30, c.b31, c.b32, c.b33), c.country);
}

INSTANTIATE_TEST_SUITE_P(Masks, DecodePg2CountryTest,
                         ::testing::Values(CountryCase{"Empty", 0, 0, 0, 0, 0},
                                           CountryCase{"First", 128, 0, 0, 0, 0},
                                           CountryCase{"Seventh", 1, 0, 0, 0, 7},
                                           CountryCase{"Eighth", 0, 128, 0, 0, 8},
                                           CountryCase{"TwoBitsThenOne", 0x41, 0x10, 0, 0, 11},
                                           CountryCase{"Sixteenth", 0, 0, 128, 0, 16},
                                           CountryCase{"TwentyThird", 0, 0, 1, 0, 23},
                                           CountryCase{"TwentyFourth", 0, 0, 0, 128, 24},
                                           CountryCase{"Last", 0, 0, 0, 32, 26},
                                           CountryCase{"BitPastTheLast", 0, 0, 0, 16, 0},
                                           CountryCase{"LowBitOfLastByte", 0, 0, 0, 1, 0},
                                           CountryCase{"AllBits", 255, 255, 255, 255, 0},
                                           CountryCase{"FirstWinsOverLater", 4, 128, 0, 0, 5}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(EncodePg2Country, SetsOneBitPerCountryAndDecodesBack) {
    for (int c = 0; c < pg2::kCountryCount; ++c) {
        Pg2UnitRecord r;
        r.bytes.fill(0xFF);
        EncodePg2Country(r, static_cast<std::uint8_t>(c));
        int bits = 0;
        for (int k = 0; k < 4; ++k)
            bits += __builtin_popcount(r[pg2::CountryMask + k]);
        EXPECT_EQ(bits, 1) << c;
        EXPECT_EQ(DecodePg2Country(r[30], r[31], r[32], r[33]), c);
        EXPECT_EQ(r[pg2::Special1], 0xFF) << "neighbours untouched";
        EXPECT_EQ(r[pg2::Initiativa + 18], 0xFF);
    }
    Pg2UnitRecord r;
    EncodePg2Country(r, 26);
    EXPECT_EQ(r[33], 32);
    EncodePg2Country(r, 27);
    EXPECT_EQ(r[30] | r[31] | r[32] | r[33], 0) << "no country past 26";
}

TEST(Pg2Mask, SetRightGivesTheMaskOfTheCountryItIsReadAs) {
    struct Case {
        std::array<std::uint8_t, 4> mask;
        bool changed;
        std::array<std::uint8_t, 4> after;
    };
    const Case cases[] = {
        {{0x80, 0, 0, 0}, false, {0x80, 0, 0, 0}},   // country 0
        {{0, 0, 2, 0}, false, {0, 0, 2, 0}},         // country 22
        {{0, 0, 0, 0}, true, {0x80, 0, 0, 0}},       // none: country 0
        {{0x90, 0, 0, 0}, true, {0x80, 0, 0, 0}},    // two bits in one byte: read as none
        {{0, 0x40, 0x01, 0}, true, {0, 0x40, 0, 0}}, // the first single byte decides: 9
        {{0, 0, 0, 0x10}, true, {0x80, 0, 0, 0}},    // byte 33 past country 26
        {{0xFF, 0xFF, 0xFF, 0xFF}, true, {0x80, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        Pg2UnitRecord r;
        std::copy(c.mask.begin(), c.mask.end(), r.bytes.begin() + pg2::CountryMask);
        r[pg2::Special1] = 0xA5;
        const Pg2UnitRecord before = r;
        EXPECT_EQ(SetPg2MaskRight(r), c.changed) << int(c.mask[0]) << " " << int(c.mask[1]);
        EXPECT_TRUE(Pg2MaskIsSingle(r));
        EXPECT_EQ(Pg2Country(r), Pg2Country(before)) << "the country shown stays";
        EXPECT_TRUE(std::equal(c.after.begin(), c.after.end(), r.bytes.begin() + pg2::CountryMask));
        for (int k = 0; k < static_cast<int>(pg2::kRecordSize); ++k) {
            if (k < pg2::CountryMask || k >= pg2::CountryMask + 4) {
                EXPECT_EQ(r[k], before[k]) << "only the mask changes: byte " << k;
            }
        }
    }
}

TEST(Pg2UnitRecord, CodeIsLittleEndianAndIconFillsSixBytes) {
    Pg2UnitRecord r;
    r.setCode(0x1234);
    EXPECT_EQ(r[0], 0x34);
    EXPECT_EQ(r[1], 0x12);
    EXPECT_EQ(r.code(), 0x1234);
    r.setIcon("ABCDEFGH");
    EXPECT_EQ(r.icon(), "ABCDEF");
    r[pg2::Icon + 6] = 'Z'; // the next field: never part of the name
    EXPECT_EQ(r.icon(), "ABCDEF");
    r.setIcon("TK");
    EXPECT_EQ(r.icon(), "TK");
    EXPECT_EQ(r[pg2::Icon + 2], 0);
    EXPECT_EQ(r[pg2::Icon + 5], 0);
}

TEST(PegUnitRecord, IconsStayInsideTheirFields) {
    PegUnitRecord r;
    r.bytes.fill('x');
    r.setUnitIcon("UNITIC");
    r.setMovIcon("MV");
    EXPECT_EQ(r.unitIcon(), "UNITIC");
    EXPECT_EQ(r.movIcon(), "MV");
    EXPECT_EQ(r[peg::UnitIcon + 6], 'x');
    EXPECT_EQ(r[peg::MovIcon + 6], 'x');
    EXPECT_EQ(r[peg::MovIcon - 1], 'x');
    r.setCode(65535);
    EXPECT_EQ(r.code(), 65535);
}

} // namespace
} // namespace varnel
