#include "equip/vocabulary.h"

#include "app/appsettings.h"

#include <gtest/gtest.h>

namespace varnel {
namespace {

struct LookupCase {
    const char* name;
    const Vocabulary* table;
    int index;
    const char* text;
};

class VocabularyTest : public ::testing::TestWithParam<LookupCase> {};

TEST_P(VocabularyTest, NamesTheCode) {
    const auto& c = GetParam();
    EXPECT_STREQ(c.table->text(c.index), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, VocabularyTest,
    ::testing::Values(
        LookupCase{"Pg2Class12", &Pg2ClassNames, 12, "Level Bomber"},
        LookupCase{"Pg2Code12", &Pg2ClassCodes, 12, " LB"},
        LookupCase{"PegClass12", &PegClassNames, 12, "Helicopter"},
        LookupCase{"PegCode12", &PegClassCodes, 12, "HEL"},
        LookupCase{"TankKeepsBlanks", &Pg2ClassNames, 2, "Tank  "},
        LookupCase{"FlakCode", &PegClassCodes, 5, "FlaK"},
        LookupCase{"LastClass", &Pg2ClassCodes, 21, "sLC"},
        LookupCase{"ClassPastTable", &Pg2ClassCodes, 22, ""},
        LookupCase{"NegativeClass", &PegClassNames, -1, ""},
        LookupCase{"Pg2Move9", &Pg2MoveMethods, 9, "Amphibious"},
        LookupCase{"PegMove9", &PegMoveMethods, 9, "Naval (1/4 move rate)"},
        LookupCase{"PegMove12", &PegMoveMethods, 12, "Amphibious"},
        LookupCase{"Pg2Move12Missing", &Pg2MoveMethods, 12, ""},
        LookupCase{"TrackedBlank", &Pg2MoveMethods, 0, "Tracked "},
        LookupCase{"Pg2Target3", &Pg2TargetTypes, 3, "Sea"},
        LookupCase{"PegTarget3", &PegTargetTypes, 3, "Helicopter"},
        LookupCase{"TargetPastTable", &PegTargetTypes, 4, ""},
        LookupCase{"Transport3", &Pg2TransportModes, 3, "Airborne, can also Air & Naval"},
        LookupCase{"Transport0Padded", &Pg2TransportModes, 0, "Cannot be transported         "},
        LookupCase{"AirTransport2", &PegAirTransportModes, 2, "Air Mobile"},
        LookupCase{"AirMission3", &AirMissionLabels, 3, "WildWessel (9) "}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Vocabulary, TableSizesMatchTheRecords) {
    EXPECT_EQ(MonthNames.size, 12);
    EXPECT_EQ(Pg2ClassNames.size, 22);
    EXPECT_EQ(PegClassCodes.size, 22);
    EXPECT_EQ(Pg2MoveMethods.size, 12);
    EXPECT_EQ(PegMoveMethods.size, 13);
    EXPECT_EQ(Pg2TransportModes.size, 4);
    EXPECT_EQ(PegAirTransportModes.size, 3);
    EXPECT_EQ(AirMissionLabels.size, 6);
    for (int i = 0; i < Pg2TransportModes.size; ++i)
        EXPECT_EQ(std::string(Pg2TransportModes.text(i)).size(), 30u) << i;
    EXPECT_EQ(&ClassCodes(Game::Pg2), &Pg2ClassCodes);
    EXPECT_EQ(&ClassNames(Game::Peg), &PegClassNames);
}

TEST(Vocabulary, ListItemAlignsOneAndTwoDigitCodes) {
    EXPECT_EQ(ListItem(9, PegMoveMethods.text(9)), "9  Naval (1/4 move rate)");
    EXPECT_EQ(ListItem(12, Pg2ClassNames.text(12)), "12 Level Bomber");
    EXPECT_EQ(ListItem(3, std::string("Fran\xE7"
                                      "e\0x",
                                      7)),
              std::string("3  Fran\xE7"
                          "e\0x",
                          10));
}

TEST(Vocabulary, MonthCodesAreOneBased) {
    EXPECT_EQ(MonthText(0), "not set");
    EXPECT_EQ(MonthText(1), "January");
    EXPECT_EQ(MonthText(12), "December");
    EXPECT_EQ(MonthText(13), "");
    EXPECT_EQ(MonthText(255), "");
}

TEST(Vocabulary, AirMissionLabelsFollowTheBits) {
    EXPECT_EQ(AirMissionText(8), "WildWessel (9) ");
    EXPECT_EQ(AirMissionText(9), "Recon (1) WildWessel (9) ");
    EXPECT_EQ(AirMissionText(0xC0), "") << "bits 6 and 7 have no label";
    EXPECT_EQ(AirMissionText(0xFF),
              "Recon (1) AirTransp (2) HeloTransp (4) WildWessel (9) AirStrike (16) Defense (32) ");
}

} // namespace
} // namespace varnel
