#include "convert/merge.h"

#include "tests/convert/convertfixtures.h"

#include <gtest/gtest.h>

namespace varnel {
namespace {

using test::Fixture;
using test::Lines;

std::span<const std::uint8_t> Span(const std::string& s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

struct CodesCase {
    const char* name;
    std::vector<int> codes;
    std::size_t records;
    std::vector<int> honoured;
};

class Mergeable : public ::testing::TestWithParam<CodesCase> {};

TEST_P(Mergeable, LeavesOutWhatCannotBeHonoured) {
    EXPECT_EQ(MergeableCodes(GetParam().codes, GetParam().records), GetParam().honoured);
}

INSTANTIATE_TEST_SUITE_P(Merge, Mergeable,
                         ::testing::Values(CodesCase{"Ascending", {2, 5}, 10, {2, 5}},
                                           CodesCase{"Repeated", {2, 2, 5}, 10, {2, 5}},
                                           CodesCase{"AfterAHigherOne", {5, 2, 7}, 10, {5, 7}},
                                           CodesCase{
                                               "AfterAHigherOneBeyondTheEnd", {50, 3}, 10, {}},
                                           CodesCase{"AtTheEnd", {9, 10}, 10, {9}},
                                           CodesCase{"EmptySource", {1}, 0, {}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MergePegUnits, CodesTwoAndFiveOfTen) {
    PegUnitTable table;
    for (std::uint16_t i = 0; i < 4; ++i)
        test::AddPegUnit(table, i, 0xEE, "old" + std::to_string(i));
    const Bytes source = test::MakeEFile(peg::kRecordSize, 10, 100);
    const std::string names = test::MakeNames("src", 10);
    EXPECT_EQ(MergePegUnits(table, source, Span(names), {2, 5}), 2u);
    ASSERT_EQ(table.count(), 6u);
    EXPECT_EQ(table.units[4].record.code(), 4);
    EXPECT_EQ(table.units[5].record.code(), 5);
    EXPECT_EQ(table.name(4), "src2");
    EXPECT_EQ(table.name(5), "src5");
    // The rest of each record is the source's.
    EXPECT_EQ(table.units[4].record[peg::Cost], 102);
    EXPECT_EQ(table.units[5].record[peg::byte61 + 12], 105);
    EXPECT_EQ(table.name(3), "old3");
}

TEST(MergePegUnits, MissingNameLinesGiveEmptyNames) {
    PegUnitTable table;
    const Bytes source = test::MakeEFile(peg::kRecordSize, 6);
    const std::string names = "n0\r\nn1\r\nn2"; // no line end after the last name
    EXPECT_EQ(MergePegUnits(table, source, Span(names), {1, 2, 4}), 3u);
    ASSERT_EQ(table.count(), 3u);
    EXPECT_EQ(table.name(0), "n1");
    EXPECT_EQ(table.name(1), "n2");
    EXPECT_EQ(table.name(2), "");
}

TEST(MergePg2Units, DecodesCountryAndSwitches) {
    Pg2UnitTable table;
    Bytes source = test::MakeEFile(pg2::kRecordSize, 3);
    // Record 1: country 9 (byte 31 value 64), Special1 bits 0 and 6, Special2 bit 7.
    std::uint8_t* r1 = source.data() + 2 + pg2::kRecordSize;
    r1[30] = 0;
    r1[31] = 64;
    r1[32] = 0;
    r1[33] = 0;
    r1[pg2::Special1] = 0x41;
    r1[pg2::Special2] = 0x80;
    EXPECT_EQ(MergePg2Units(table, source, Span(test::MakeNames("p", 3)), {1}), 1u);
    ASSERT_EQ(table.count(), 1u);
    const Pg2Unit& u = table.units[0];
    EXPECT_EQ(u.record.code(), 0);
    EXPECT_EQ(Pg2Country(u.record), 9);
    EXPECT_EQ(u.record[pg2::Special1], 0x41);
    EXPECT_EQ(u.record[pg2::Special2], 0x80);
    EXPECT_EQ(table.name(0), "p1");
}

TEST(MergePegUnits, StopsAtTheUnitLimit) {
    PegUnitTable table;
    table.units.resize(kMaxUnits - 1);
    const Bytes source = test::MakeEFile(peg::kRecordSize, 4);
    EXPECT_EQ(MergePegUnits(table, source, {}, {1, 2}), 1u);
    EXPECT_EQ(table.count(), kMaxUnits);
}

// The merge command over a scripted Ui.
class MergeCommand : public ::testing::Test {
  protected:
    void SetUp() override {
        PegUnitTable table;
        for (std::uint16_t i = 0; i < 3; ++i)
            test::AddPegUnit(table, i, 0, "mine" + std::to_string(i));
        f.state.loadTable(std::move(table));
        test::WriteFile(source(), test::MakeEFile(peg::kRecordSize, 10, 50));
        test::WriteFile(f.dir.file("SRC.txt"), test::MakeNames("src", 10));
    }
    std::string source() { return f.dir.file("SRC.EQP"); }
    std::string definition() { return f.dir.file("def.txt"); }
    std::string question(int k) {
        return "Merging " + std::to_string(k) + " units as defined\nin " + definition() +
               "\nfrom: " + source() + "\nand : " + f.dir.file("SRC.txt") + "\nContinue ?";
    }
    std::string merged(int n) {
        return "Merged " + std::to_string(n) + " units\ndefined in  " + definition() +
               "\nusing :" + source() + "\nand   :" + f.dir.file("SRC.txt");
    }
    Fixture f;
};

TEST_F(MergeCommand, MergesTheListedUnits) {
    test::WriteFile(definition(), Lines({"SRC.EQP", "2", "5"}));
    int refreshed = 0;
    test::HookObserver viewsHook(f.state);
    viewsHook.onViews = [&] { ++refreshed; };
    f.ui->expectFileDialog("Select Definition TXT file to Merge", definition())
        .expectFileDialog("Comfirm PeG E-File to merge from", source())
        .expectQuestion(question(2), true)
        .expectInformation(merged(2));
    ASSERT_EQ(MergeByDefinitionFile(f.state, Game::Peg), std::optional<std::size_t>(2));
    const auto& requests = f.ui->fileRequests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].filter, "TXT files (*.txt)|*.txt|");
    EXPECT_EQ(requests[0].defaultExtension, ".TXT");
    EXPECT_EQ(requests[1].initialName, source());
    ASSERT_EQ(f.state.peg()->count(), 5u);
    EXPECT_EQ(f.state.peg()->name(3), "src2");
    EXPECT_EQ(f.state.peg()->units[4].record.code(), 4);
    EXPECT_EQ(f.state.peg()->units[4].record[peg::Cost], 55);
    EXPECT_TRUE(f.state.flag(Game::Peg, ChangeKind::Data));
    EXPECT_TRUE(f.state.flag(Game::Peg, ChangeKind::Names));
    EXPECT_FALSE(f.state.flag(Game::Pg2, ChangeKind::Data));
    EXPECT_EQ(refreshed, 1);
}

TEST_F(MergeCommand, ReportsOnlyTheUnitsMerged) {
    test::WriteFile(definition(), Lines({"SRC.EQP", "5", "2", "5", "12"}));
    f.ui->expectFileDialog("Select Definition TXT file to Merge", definition())
        .expectFileDialog("Comfirm PeG E-File to merge from", source())
        .expectQuestion(question(4), true)
        .expectInformation(merged(1) +
                           "\nNot merged (past the source, repeated or out of order): 2, 5, 12");
    ASSERT_EQ(MergeByDefinitionFile(f.state, Game::Peg), std::optional<std::size_t>(1));
    EXPECT_EQ(f.state.peg()->count(), 4u);
}

TEST_F(MergeCommand, NothingHonouredMarksNothing) {
    test::WriteFile(definition(), Lines({"SRC.EQP", "40"}));
    f.ui->expectFileDialog("Select Definition TXT file to Merge", definition())
        .expectFileDialog("Comfirm PeG E-File to merge from", source())
        .expectQuestion(question(1), true)
        .expectInformation(merged(0) +
                           "\nNot merged (past the source, repeated or out of order): 40");
    ASSERT_EQ(MergeByDefinitionFile(f.state, Game::Peg), std::optional<std::size_t>(0));
    EXPECT_EQ(f.state.peg()->count(), 3u);
    EXPECT_FALSE(f.state.isModified());
}

TEST_F(MergeCommand, CancelOrNoChangesNothing) {
    f.ui->expectFileDialog("Select Definition TXT file to Merge", std::nullopt);
    EXPECT_FALSE(MergeByDefinitionFile(f.state, Game::Peg));
    test::WriteFile(definition(), Lines({"SRC.EQP", "2"}));
    f.ui->expectFileDialog("Select Definition TXT file to Merge", definition())
        .expectFileDialog("Comfirm PeG E-File to merge from", std::nullopt);
    EXPECT_FALSE(MergeByDefinitionFile(f.state, Game::Peg));
    f.ui->expectFileDialog("Select Definition TXT file to Merge", definition())
        .expectFileDialog("Comfirm PeG E-File to merge from", source())
        .expectQuestion(question(1), false);
    EXPECT_FALSE(MergeByDefinitionFile(f.state, Game::Peg));
    EXPECT_EQ(f.state.peg()->count(), 3u);
    EXPECT_FALSE(f.state.isModified());
}

TEST_F(MergeCommand, NoCodeLines) {
    test::WriteFile(definition(), Lines({"-5", "letters"}));
    f.ui->expectFileDialog("Select Definition TXT file to Merge", definition())
        .expectInformation("There are nothing to do (valid data) in letters");
    EXPECT_FALSE(MergeByDefinitionFile(f.state, Game::Peg));
    test::WriteFile(definition(), std::string());
    f.ui->expectFileDialog("Select Definition TXT file to Merge", definition())
        .expectInformation("There are nothing to do (valid data) in -");
    EXPECT_FALSE(MergeByDefinitionFile(f.state, Game::Peg));
}

TEST_F(MergeCommand, UnreadableFiles) {
    const std::string missing = f.dir.file("nothere.txt");
    f.ui->expectFileDialog("Select Definition TXT file to Merge", missing)
        .expectInformation("file [" + missing + "]\nnot found");
    EXPECT_FALSE(MergeByDefinitionFile(f.state, Game::Peg));

    // The source chosen does not exist; its Names E-File is asked for and given.
    test::WriteFile(definition(), Lines({"GONE.EQP", "2"}));
    const std::string gone = f.dir.file("GONE.EQP");
    f.ui->expectFileDialog("Select Definition TXT file to Merge", definition())
        .expectFileDialog("Comfirm PeG E-File to merge from", gone)
        .expectFileDialog("PeG, Names E-File to merge from", f.dir.file("SRC.txt"))
        .expectQuestion("Merging 1 units as defined\nin " + definition() + "\nfrom: " + gone +
                            "\nand : " + f.dir.file("SRC.txt") + "\nContinue ?",
                        true)
        .expectInformation("file [" + gone + "]\nnot found");
    EXPECT_FALSE(MergeByDefinitionFile(f.state, Game::Peg));
    EXPECT_EQ(f.ui->fileRequests().back().initialName, f.dir.file("GONE.txt"));
    EXPECT_EQ(f.state.peg()->count(), 3u);
    EXPECT_FALSE(f.state.isModified());
}

TEST_F(MergeCommand, RefusesToPassTheUnitLimit) {
    PegUnitTable big = *f.state.peg();
    big.units.resize(kMaxUnits - 1);
    f.state.loadTable(std::move(big));
    test::WriteFile(definition(), Lines({"SRC.EQP", "2", "5"}));
    f.ui->expectFileDialog("Select Definition TXT file to Merge", definition())
        .expectFileDialog("Comfirm PeG E-File to merge from", source())
        .expectQuestion(question(2), true)
        .expectInformation(
            "Merging 2 units would give 65536 units, more than 65535\nNothing merged");
    EXPECT_FALSE(MergeByDefinitionFile(f.state, Game::Peg));
    EXPECT_EQ(f.state.peg()->count(), kMaxUnits - 1);
}

TEST_F(MergeCommand, Pg2UsesItsOwnTitlesAndNeedsItsTable) {
    EXPECT_FALSE(MergeByDefinitionFile(f.state, Game::Pg2)); // no PG2 table: nothing asked
    f.state.loadTable(Pg2UnitTable());
    test::WriteFile(f.dir.file("P.EQP"), test::MakeEFile(pg2::kRecordSize, 4));
    test::WriteFile(f.dir.file("P.txt"), test::MakeNames("p", 4));
    test::WriteFile(definition(), Lines({f.dir.file("P.EQP"), "3"}));
    f.ui->expectFileDialog("Select TXT file with the Info to Merge", definition())
        .expectFileDialog("Comfirm PG2 E-File to merge from", f.dir.file("P.EQP"))
        .expectQuestion("Merging 1 units as defined\nin " + definition() + "\nfrom: " +
                            f.dir.file("P.EQP") + "\nand : " + f.dir.file("P.txt") + "\nContinue ?",
                        true)
        .expectInformation("Merged 1 units\ndefined in  " + definition() +
                           "\nusing :" + f.dir.file("P.EQP") + "\nand   :" + f.dir.file("P.txt"));
    ASSERT_EQ(MergeByDefinitionFile(f.state, Game::Pg2), std::optional<std::size_t>(1));
    EXPECT_EQ(f.state.pg2()->name(0), "p3");
    EXPECT_TRUE(f.state.flag(Game::Pg2, ChangeKind::Data));
    EXPECT_TRUE(f.state.flag(Game::Pg2, ChangeKind::Names));
    EXPECT_FALSE(f.state.flag(Game::Peg, ChangeKind::Data));
}

} // namespace
} // namespace varnel
