#include "convert/definitionfile.h"

#include <gtest/gtest.h>

#include <climits>

namespace varnel {
namespace {

DefinitionFile Parse(const std::string& text) {
    return ParseDefinitionFile(
        std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

struct LineCase {
    const char* name;
    const char* line;
    int value;
};

class LineValue : public ::testing::TestWithParam<LineCase> {};

TEST_P(LineValue, ReadsTheLeadingInteger) {
    EXPECT_EQ(DefinitionLineValue(GetParam().line), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Definition, LineValue,
    ::testing::Values(LineCase{"Plain", "12", 12}, LineCase{"FollowedByLetters", "12abc", 12},
                      LineCase{"LeadingBlanks", "   12", 12}, LineCase{"LeadingTab", "\t7", 7},
                      LineCase{"Negative", "-5", -5}, LineCase{"PlusSign", "+8", 8},
                      LineCase{"Zero", "0", 0}, LineCase{"Blank", "", 0},
                      LineCase{"FileName", "EQUIP97.EQP", 0},
                      LineCase{"ReportLine", "Panzer IIIJ  12", 0}, LineCase{"SignAlone", "-", 0},
                      LineCase{"BlankBetweenSignAndDigit", "- 4", 0},
                      LineCase{"Huge", "99999999999999999999", INT_MAX},
                      LineCase{"HugeNegative", "-99999999999999999999", -INT_MAX}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ParseDefinitionFile, TheWorkedExample) {
    const DefinitionFile d = Parse("EQUIP97.EQP\r\n12\r\n13\r\n40\r\n");
    EXPECT_EQ(d.sourceName, "EQUIP97.EQP");
    EXPECT_EQ(d.codes, (std::vector<int>{12, 13, 40}));
}

TEST(ParseDefinitionFile, FirstZeroLineNamesLaterOnesAreIgnored) {
    const DefinitionFile d = Parse("5\n\nSECOND.EQP\n-3\n3\n0\n5");
    EXPECT_EQ(d.sourceName, "");
    EXPECT_EQ(d.codes, (std::vector<int>{5, 3, 5}));
}

TEST(ParseDefinitionFile, ZeroLineCanBeTheName) {
    EXPECT_EQ(Parse("0\n4\n").sourceName, "0");
}

TEST(ParseDefinitionFile, WithoutANameLine) {
    const DefinitionFile d = Parse("1\n2");
    EXPECT_EQ(d.sourceName, "-");
    EXPECT_EQ(d.codes, (std::vector<int>{1, 2}));
    EXPECT_TRUE(Parse("").codes.empty());
    EXPECT_EQ(Parse("").sourceName, "-");
}

TEST(ParseDefinitionFile, LastLineWithoutLineEndCounts) {
    EXPECT_EQ(Parse("A.EQP\r\n12").codes, (std::vector<int>{12}));
}

TEST(ParseDefinitionFile, LongLinesAreTakenInPiecesOf255) {
    // 255 characters of name, then "42" continues the same line: it becomes a code line.
    const std::string name(kMaxDefinitionLine, 'N');
    const DefinitionFile d = Parse(name + "42\n" + std::string(kMaxDefinitionLine, '7') + "\n");
    EXPECT_EQ(d.sourceName, name);
    ASSERT_EQ(d.codes.size(), 2u);
    EXPECT_EQ(d.codes[0], 42);
    EXPECT_EQ(d.codes[1], INT_MAX);
}

struct TargetCase {
    const char* name;
    const char* definition;
    const char* line;
    const char* target;
};

class DefinitionTarget : public ::testing::TestWithParam<TargetCase> {};

// Elsewhere a folder written on Windows has its backslashes made slashes; Windows reads them as
// they are.
#ifdef _WIN32
constexpr const char* kBackslashTarget = "/home/u/..\\sub\\x.eqp";
#else
constexpr const char* kBackslashTarget = "/home/u/../sub/x.eqp";
#endif

TEST_P(DefinitionTarget, Resolves) {
    EXPECT_EQ(ResolveDefinitionTarget(GetParam().definition, GetParam().line), GetParam().target);
}

INSTANTIATE_TEST_SUITE_P(
    Definition, DefinitionTarget,
    ::testing::Values(TargetCase{"FullPathKept", "D:\\DEF\\LIST.TXT", "C:\\PEOPLES\\EQUIP97.EQP",
                                 "C:\\PEOPLES\\EQUIP97.EQP"},
                      TargetCase{"BareNameInDefinitionFolder", "D:\\DEF\\LIST.TXT", "EQUIP97.EQP",
                                 "D:\\DEF\\EQUIP97.EQP"},
                      TargetCase{"EmptyNameIsTheFolder", "D:\\DEF\\LIST.TXT", "", "D:\\DEF\\"},
                      TargetCase{"NoNameMarker", "/home/u/list.txt", "-", "/home/u/-"},
                      TargetCase{"RelativeFolderUnderTheDefinitionFolder", "/home/u/list.txt",
                                 "sub/x.eqp", "/home/u/sub/x.eqp"},
                      TargetCase{"BackslashSeparatesFolders", "/home/u/list.txt", "..\\sub\\x.eqp",
                                 kBackslashTarget},
                      TargetCase{"AbsoluteKept", "/home/u/list.txt", "/g/x.eqp", "/g/x.eqp"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace varnel
