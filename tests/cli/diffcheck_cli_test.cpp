// varnel-cli diff and check: their output, their exit codes (0, 1, 2) and their refusals.

#include "equip/efile.h"
#include "icons/archivewriter.h"
#include "tests/support/testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <filesystem>

namespace varnel {
namespace {

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

Pg2UnitTable pg2Units(std::size_t count) {
    Pg2UnitTable t;
    for (std::size_t i = 0; i < count; ++i) {
        Pg2Unit u;
        u.record.setCode(static_cast<std::uint16_t>(i));
        u.record[pg2::Cost] = 8;
        u.record.setIcon("TIGER");
        EncodePg2Country(u.record, 1);
        t.units.push_back(u);
        t.setName(i, "Unit " + std::to_string(i));
    }
    return t;
}

class DiffCheckCli : public testing::Test {
  protected:
    // Writes an E-File and its Names E-File under `name`.
    std::string write(const std::string& name, const Pg2UnitTable& table) {
        const std::string path = dir.file(name + ".EQP");
        test::WriteFile(path, WritePg2EFile(table));
        test::WriteFile(dir.file(name + ".txt"), WriteNamesFile(table));
        return path;
    }
    test::TempDir dir;
};

// A file whose header counts more units than its size holds is named, with both counts.
TEST_F(DiffCheckCli, DiffWarnsAboutAFileCutShort) {
    const Pg2UnitTable a = pg2Units(4);
    const std::string ours = write("a", a);
    const std::string theirs = write("b", a);
    const Bytes whole = WritePg2EFile(a);
    const std::size_t kept = whole.size() - std::min(whole.size(), 2 * pg2::kRecordSize);
    const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(kept));
    test::WriteFile(theirs, cut);
    const auto r = test::RunCli({"diff", ours, theirs});
    EXPECT_TRUE(contains(r.err, theirs + ": its header counts 4 units, its size holds 2")) << r.err;
    EXPECT_FALSE(contains(r.err, ours + ": its header")) << r.err;
}

TEST_F(DiffCheckCli, DiffExitsAsDiffDoes) {
    const Pg2UnitTable a = pg2Units(4);
    Pg2UnitTable b = a;
    b.units[2].record[pg2::Cost] = 9;
    b.setName(1, "Tiger, late");
    b.units.push_back(b.units[0]);
    b.setName(4, "Extra");
    const std::string pathA = write("A", a);
    const std::string pathB = write("B", b);

    const auto same = test::RunCli({"diff", pathA, pathA});
    EXPECT_EQ(same.exitCode, 0) << same.err;
    EXPECT_TRUE(contains(same.out, "0 units differ, 0 only in A, 0 only in B")) << same.out;

    const auto text = test::RunCli({"diff", pathA, pathB});
    EXPECT_EQ(text.exitCode, 1) << text.err;
    EXPECT_TRUE(contains(text.out, "unit 2 (code 2) Unit 2\n  cost: 96 -> 108\n")) << text.out;
    EXPECT_TRUE(contains(text.out, "  denomination: \"Unit 1\" -> \"Tiger, late\"\n"));
    EXPECT_TRUE(contains(text.out, "only in B: unit 4 (code 0) Extra\n"));

    const auto csv = test::RunCli({"diff", pathA, pathB, "--format", "csv"});
    EXPECT_EQ(csv.exitCode, 1);
    EXPECT_EQ(csv.out.rfind("\xEF\xBB\xBF"
                            "unit,code,name,change,field,a,b\r\n",
                            0),
              0u)
        << csv.out;
    EXPECT_TRUE(contains(csv.out, "1,1,Unit 1,changed,denomination,Unit 1,\"Tiger, late\"\r\n"));
    EXPECT_TRUE(contains(csv.out, "2,2,Unit 2,changed,cost,96,108\r\n"));

    // Without B's names the names are left out, with a warning.
    std::filesystem::remove(dir.file("B.txt"));
    const auto unnamed = test::RunCli({"diff", pathA, pathB});
    EXPECT_EQ(unnamed.exitCode, 1);
    EXPECT_FALSE(contains(unnamed.out, "denomination"));
    EXPECT_TRUE(contains(unnamed.err, "names are not compared"));
}

TEST_F(DiffCheckCli, DiffTroubleIsTwo) {
    const std::string pg2 = write("A", pg2Units(3));
    PegUnitTable peg;
    peg.units.resize(3);
    const std::string pegPath = dir.file("P.EQP");
    test::WriteFile(pegPath, WritePegEFile(peg));
    struct Case {
        std::vector<std::string> args;
        const char* says;
    };
    const Case cases[] = {
        {{"diff", pg2, pegPath}, "files of different games cannot be compared"},
        {{"diff", pg2, pegPath, "--game", "pg2"}, "not a PG2 E-File"},
        {{"diff", pg2, dir.file("none.EQP")}, "not found"},
        {{"diff", pg2}, "give two E-Files"},
        {{"diff", pg2, pg2, "--format", "full"}, "--format must be text or csv"},
        {{"diff", pg2, pg2, "--bogus"}, "--bogus"},
    };
    for (const Case& c : cases) {
        const auto r = test::RunCli(c.args);
        EXPECT_EQ(r.exitCode, 2) << c.says;
        EXPECT_TRUE(contains(r.err, c.says)) << r.err;
        EXPECT_TRUE(r.out.empty()) << r.out;
    }
}

TEST_F(DiffCheckCli, CheckFindsAndSkips) {
    Pg2UnitTable t = pg2Units(4);
    const std::string clean = write("EQUIP97", t);
    test::WriteFile(dir.file("GUI97.txt"), std::string("Germany\r\nItaly\r\n"));

    // No archive, no WAVS folder: both checks skipped, and why.
    const auto bare = test::RunCli({"check", clean});
    EXPECT_EQ(bare.exitCode, 0) << bare.err;
    EXPECT_TRUE(contains(bare.out, "0 errors, 0 warnings\n")) << bare.out;
    EXPECT_TRUE(contains(bare.out, "skipped: icon: the icon archive " + dir.file("PANZER2.dat") +
                                       " is missing\n"))
        << bare.out;
    EXPECT_TRUE(contains(bare.out, "skipped: sound: the WAV folder " + dir.file("WAVS") +
                                       test::CliSeparator() + " is missing\n"));

    test::WriteFile(dir.file("icons.dat"),
                    WriteIconArchive({{"TIGER.SHP", WriteShpEntry(std::vector<ShpView>(9))}}));
    std::filesystem::create_directory(dir.path() / "sounds");
    for (const int n : {1000, 2000})
        test::WriteFile(dir.file("sounds/" + std::to_string(n) + ".wav"), std::string("RIFF"));
    const auto found = test::RunCli(
        {"check", clean, "--archive", dir.file("icons.dat"), "--wavs", dir.file("sounds")});
    EXPECT_EQ(found.exitCode, 0) << found.err;
    EXPECT_FALSE(contains(found.out, "skipped"));
    EXPECT_TRUE(contains(found.out, "warning: unit 0 (code 0) Unit 0: death sound 0: 3000.wav is "
                                    "missing\n"))
        << found.out;

    t.units[3].record.setCode(8);
    t.units[1].record.setIcon("PANTHR");
    const std::string faulty = write("FAULTY", t);
    const auto errors = test::RunCli({"check", faulty, "--archive", dir.file("icons.dat")});
    EXPECT_EQ(errors.exitCode, 1);
    EXPECT_TRUE(contains(errors.out, "error: unit 1 (code 1) Unit 1: icon PANTHR is not in the "
                                     "icon archive\n"))
        << errors.out;
    EXPECT_TRUE(contains(errors.out, "error: unit 3 (code 8) Unit 3: code 8 differs from its "
                                     "position 3\n"));

    const auto missing = test::RunCli({"check", dir.file("none.EQP")});
    EXPECT_EQ(missing.exitCode, 2);
}

} // namespace
} // namespace varnel
