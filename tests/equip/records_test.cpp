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

TEST(Pg2Specials, UnpackAndPackKeepEveryBit) {
    Pg2Unit unit;
    unit.record[pg2::Special1] = 0xA5;
    unit.record[pg2::Special2] = 0x81;
    unit.record[pg2::CountryMask + 2] = 2; // country 22
    UnpackPg2Specials(unit);
    EXPECT_EQ(unit.country, 22);
    EXPECT_EQ(unit.special1, (std::array<std::uint8_t, 8>{1, 0, 1, 0, 0, 1, 0, 1}));
    EXPECT_EQ(unit.special2, (std::array<std::uint8_t, 8>{1, 0, 0, 0, 0, 0, 0, 1}));

    unit.special1[1] = 7; // any non-zero value counts as set
    unit.special2[7] = 0;
    unit.country = 0;
    const Pg2Unit before = unit;
    const Pg2UnitRecord saved = Pg2SavedRecord(unit);
    EXPECT_EQ(saved[pg2::Special1], 0xA7);
    EXPECT_EQ(saved[pg2::Special2], 0x01);
    EXPECT_EQ(saved[pg2::CountryMask], 128);
    EXPECT_EQ(saved[pg2::CountryMask + 2], 0);
    for (int offset = 0; offset < static_cast<int>(pg2::kRecordSize); ++offset)
        EXPECT_EQ(Pg2SavedByte(unit, offset), saved[offset]) << offset;
    EXPECT_EQ(unit.record.bytes, before.record.bytes) << "the unit itself is left alone";
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
