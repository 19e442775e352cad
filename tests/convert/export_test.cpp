#include "base/filerestore.h"
#include "convert/export.h"

#include "tests/convert/convertfixtures.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace varnel {
namespace {

using test::Fixture;
using test::Lines;

TEST(BuildPegExport, CodesThreeOneThree) {
    PegUnitTable t;
    for (std::uint16_t i = 0; i < 5; ++i)
        test::AddPegUnit(t, static_cast<std::uint16_t>(100 + i), static_cast<std::uint8_t>(i),
                         "u" + std::to_string(i));
    const ExportFiles files = BuildPegExport(t, {3, 1, 3});
    ASSERT_EQ(files.eFile.size(), 2u + 3 * peg::kRecordSize);
    EXPECT_EQ(readU16(files.eFile.data()), 3);
    const auto record = [&](std::size_t j) {
        return Bytes(files.eFile.begin() + 2 + static_cast<std::ptrdiff_t>(j * peg::kRecordSize),
                     files.eFile.begin() + 2 +
                         static_cast<std::ptrdiff_t>((j + 1) * peg::kRecordSize));
    };
    EXPECT_EQ(record(0), Bytes(t.units[3].record.bytes.begin(), t.units[3].record.bytes.end()));
    EXPECT_EQ(record(1), Bytes(t.units[1].record.bytes.begin(), t.units[1].record.bytes.end()));
    EXPECT_EQ(record(2), record(0));
    EXPECT_EQ(readU16(record(0).data()), 103); // codes are not renumbered
    EXPECT_EQ(std::string(files.names.begin(), files.names.end()), Lines({"u3", "u1", "u3"}));
}

TEST(BuildPg2Export, WritesTheCountryAndSwitchesTheRecordHolds) {
    Pg2UnitTable t;
    test::AddPg2Unit(t, 0, 0, "a");
    test::AddPg2Unit(t, 1, 0xFF, "b");
    Pg2Unit& b = t.units[1];
    EncodePg2Country(b.record, 26);
    b.record[pg2::Special1] = 0x81;
    b.record[pg2::Special2] = 0;
    const ExportFiles files = BuildPg2Export(t, {1});
    const std::uint8_t* r = files.eFile.data() + 2;
    EXPECT_EQ(r[30], 0);
    EXPECT_EQ(r[31], 0);
    EXPECT_EQ(r[32], 0);
    EXPECT_EQ(r[33], 0x20);
    EXPECT_EQ(r[pg2::Special1], 0x81);
    EXPECT_EQ(r[pg2::Special2], 0);
    EXPECT_EQ(r[pg2::Fuel], 0xFF);
}

TEST(WriteFilePair, NamesFailureRestoresTheEFile) {
    test::TempDir dir;
    const std::string e = dir.file("OUT.EQP");
    const std::string badNames = dir.file("missing/OUT.txt");
    EXPECT_EQ(WriteFilePair(e, Bytes{1, 2}, badNames, Bytes{3}), std::optional(badNames));
    EXPECT_FALSE(std::filesystem::exists(e)); // new: removed again
    test::WriteFile(e, Bytes{9, 9, 9});
    EXPECT_EQ(WriteFilePair(e, Bytes{1, 2}, badNames, Bytes{3}), std::optional(badNames));
    EXPECT_EQ(test::ReadFile(e), (Bytes{9, 9, 9})); // existing: its old bytes are back
    EXPECT_EQ(WriteFilePair(dir.file("no/x.eqp"), Bytes{1}, dir.file("x.txt"), Bytes{3}),
              std::optional(dir.file("no/x.eqp")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("x.txt")));
    EXPECT_EQ(WriteFilePair(e, Bytes{1, 2}, dir.file("OUT.txt"), Bytes{3}), std::nullopt);
    EXPECT_EQ(test::ReadFile(e), (Bytes{1, 2}));
    EXPECT_EQ(test::ReadFile(dir.file("OUT.txt")), (Bytes{3}));
}

// The export command over a scripted Ui.
class ExportCommand : public ::testing::Test {
  protected:
    void SetUp() override {
        PegUnitTable table;
        for (std::uint16_t i = 0; i < 4; ++i)
            test::AddPegUnit(table, i, static_cast<std::uint8_t>(10 + i),
                             "unit" + std::to_string(i));
        f.state.loadTable(std::move(table));
    }
    std::string definition() { return f.dir.file("def.txt"); }
    std::string target() { return f.dir.file("NEW.EQP"); }
    std::string names() { return f.dir.file("NEW.txt"); }
    Fixture f;
};

TEST_F(ExportCommand, WritesBothFiles) {
    test::WriteFile(definition(), Lines({"NEW.EQP", "3", "1", "3"}));
    f.ui->expectFileDialog("Select TXT file with the Export info", definition())
        .expectFileDialog("Comfirm PeG Efile to create", target())
        .expectQuestion("Exporting 3 units as defined\nin " + definition() +
                            "\nto  Efile: " + target() + "\nand Tfile: " + names() + "\nContinue ?",
                        true)
        .expectInformation("Exported 3 units\ndefined in  " + definition() + "\nas :" + target() +
                           "\nand:" + names());
    ASSERT_EQ(ExportByDefinitionFile(f.state, Game::Peg), std::optional<std::size_t>(3));
    EXPECT_FALSE(f.ui->fileRequests()[1].open);
    const Bytes e = test::ReadFile(target());
    ASSERT_EQ(e.size(), 2u + 3 * peg::kRecordSize);
    EXPECT_EQ(e[2 + peg::Cost], 13);
    EXPECT_EQ(e[2 + peg::kRecordSize + peg::Cost], 11);
    EXPECT_EQ(test::ReadText(names()), Lines({"unit3", "unit1", "unit3"}));
    EXPECT_FALSE(f.state.isModified());
    EXPECT_EQ(f.state.peg()->count(), 4u);
}

TEST_F(ExportCommand, CodeOutsideTheTableIsRefusedBeforeAnything) {
    test::WriteFile(definition(), Lines({"NEW.EQP", "1", "4"}));
    f.ui->expectFileDialog("Select TXT file with the Export info", definition())
        .expectInformation("Code 4 in " + definition() +
                           "\nis not a unit of the loaded table (4 units)\nNothing exported");
    EXPECT_FALSE(ExportByDefinitionFile(f.state, Game::Peg));
    EXPECT_FALSE(std::filesystem::exists(target()));
}

TEST_F(ExportCommand, NoWritesNothing) {
    test::WriteFile(definition(), Lines({"NEW.EQP", "1"}));
    f.ui->expectFileDialog("Select TXT file with the Export info", definition())
        .expectFileDialog("Comfirm PeG Efile to create", target())
        .expectQuestion("Exporting 1 units as defined\nin " + definition() +
                            "\nto  Efile: " + target() + "\nand Tfile: " + names() + "\nContinue ?",
                        false);
    EXPECT_FALSE(ExportByDefinitionFile(f.state, Game::Peg));
    EXPECT_FALSE(std::filesystem::exists(target()));
}

TEST_F(ExportCommand, NamesThatCannotBeCreatedLeaveNoEFile) {
    test::WriteFile(definition(), Lines({"NEW.EQP", "1"}));
    // A folder where the Names E-File should go.
    std::filesystem::create_directory(names());
    f.ui->expectFileDialog("Select TXT file with the Export info", definition())
        .expectFileDialog("Comfirm PeG Efile to create", target())
        .expectQuestion("Exporting 1 units as defined\nin " + definition() +
                            "\nto  Efile: " + target() + "\nand Tfile: " + names() + "\nContinue ?",
                        true)
        .expectError("Error on creating [" + names() + "]\nit is not a regular file");
    EXPECT_FALSE(ExportByDefinitionFile(f.state, Game::Peg));
    EXPECT_FALSE(std::filesystem::exists(target()));
}

TEST_F(ExportCommand, WithoutANameLineTheMarkerIsProposed) {
    test::WriteFile(definition(), Lines({"2"}));
    f.ui->expectFileDialog("Select TXT file with the Export info", definition())
        .expectFileDialog("Comfirm PeG Efile to create", std::nullopt);
    EXPECT_FALSE(ExportByDefinitionFile(f.state, Game::Peg));
    // "-" in the definition file's folder does not exist: the chooser's chain takes over.
    EXPECT_NE(f.ui->fileRequests()[1].initialName, f.dir.file("-"));
}

TEST_F(ExportCommand, Pg2TitlesAndRecords) {
    Pg2UnitTable table;
    test::AddPg2Unit(table, 0, 0, "first");
    EncodePg2Country(table.units[0].record, 3);
    f.state.loadTable(table);
    test::WriteFile(definition(), Lines({"NEW.EQP", "0", "-1"}));
    f.ui->expectFileDialog("Select TXT file with the Export info", definition())
        .expectInformation("There are nothing to do (valid data) in NEW.EQP");
    EXPECT_FALSE(ExportByDefinitionFile(f.state, Game::Pg2));

    test::WriteFile(definition(), Lines({"NEW.EQP", "0", "1"}));
    test::AddPg2Unit(table, 1, 0, "second");
    f.state.loadTable(std::move(table));
    f.ui->expectFileDialog("Select TXT file with the Export info", definition())
        .expectFileDialog("Comfirm PG2 Efile to create", target())
        .expectQuestion("Exporting 1 units as defined\nin " + definition() +
                            "\nto  Efile: " + target() + "\nand Tfile: " + names() + "\nContinue ?",
                        true)
        .expectInformation("Exported 1 units\ndefined in  " + definition() + "\nas :" + target() +
                           "\nand:" + names());
    ASSERT_EQ(ExportByDefinitionFile(f.state, Game::Pg2), std::optional<std::size_t>(1));
    EXPECT_EQ(test::ReadFile(target()).size(), 2u + pg2::kRecordSize);
    EXPECT_EQ(test::ReadText(names()), Lines({"second"}));
}

} // namespace
} // namespace varnel
