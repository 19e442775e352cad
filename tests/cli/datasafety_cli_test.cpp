// Unusual but well-formed-looking files given to varnel-cli: each case checks that nothing is
// written that was not asked for (the bytes of every file before and after), the exit code and
// what the user is told.

#include "equip/efile.h"
#include "tests/cli/bulkcli_support.h"

#include <sys/stat.h>
#include <unistd.h>

#include <map>

namespace varnel {
namespace {

namespace fs = std::filesystem;

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The bytes of every regular file under `root`, by path.
std::map<std::string, Bytes> snapshot(const fs::path& root) {
    std::map<std::string, Bytes> files;
    for (const auto& e : fs::recursive_directory_iterator(root))
        if (e.is_regular_file() && !e.is_symlink())
            files[e.path().string()] = test::ReadFile(e.path().string());
    return files;
}

class DataSafety : public ::testing::Test {
  protected:
    DataSafety() : s(test::MakeSamples(dir)) {}
    std::string pg2() const { return s + "pg2/EQUIP97.EQP"; }
    std::string peg() const { return s + "peg/EQUIP97.EQP"; }
    // Runs the command and expects exit 1 with `why` on stderr and no file changed anywhere.
    void expectRefused(const std::vector<std::string>& args, const std::string& why) {
        const auto before = snapshot(dir.path());
        const auto r = test::RunCli(args);
        EXPECT_EQ(r.exitCode, 1) << args[0] << ": " << r.out;
        EXPECT_TRUE(contains(r.err + r.out, why)) << r.err << r.out;
        EXPECT_EQ(snapshot(dir.path()), before) << args[0] << " wrote something";
    }
    test::TempDir dir;
    std::string s;
};

TEST_F(DataSafety, HeaderCountAgainstSizeIsToldAndBlocksWrites) {
    struct Case {
        const char* name;
        std::uint16_t count; // written over the sample's 40 PG2 records
        std::size_t keep;    // records kept
        std::size_t held;
    };
    for (const Case c : {Case{"count 1 over 40", 1, 40, 40}, Case{"65535 over 3", 65535, 3, 3}}) {
        SCOPED_TRACE(c.name);
        Bytes bytes = test::ReadFile(pg2());
        bytes.resize(kEFileHeaderSize + c.keep * pg2::kRecordSize);
        bytes[0] = static_cast<std::uint8_t>(c.count & 0xFF);
        bytes[1] = static_cast<std::uint8_t>(c.count >> 8);
        const std::string odd = s + "pg2/ODD.EQP";
        test::WriteFile(odd, bytes);
        fs::copy_file(s + "pg2/EQUIP97.txt", s + "pg2/ODD.txt",
                      fs::copy_options::overwrite_existing);
        const std::string numbers = "its header counts " + std::to_string(c.count) +
                                    " units, its size holds " + std::to_string(c.held);
        test::WriteFile(s + "def.txt", std::string("X.EQP\r\n1\r\n"));
        expectRefused({"export", odd, s + "def.txt", "-o", s + "pg2/X.EQP"}, numbers);
        expectRefused({"cost", odd, "--game", "peg", "--set", "1=50"}, "its header counts");
        expectRefused({"merge", odd, s + "def.txt"}, numbers);
        expectRefused({"convert", odd, "-o", s + "peg/C.EQP"}, numbers);
        // Reading commands warn and go on.
        const auto info = test::RunCli({"info", odd});
        EXPECT_EQ(info.exitCode, 0) << info.err;
        EXPECT_TRUE(contains(info.err, "warning: " + odd + ": " + numbers)) << info.err;
        EXPECT_TRUE(contains(info.out, "Units: " + std::to_string(c.count))) << info.out;
        // Asked for in so many words, the write goes ahead (code 1 needs two units).
        if (c.count < 2)
            continue;
        const auto trusted =
            test::RunCli({"export", odd, s + "def.txt", "-o", s + "pg2/X.EQP", "--trust-header"});
        EXPECT_EQ(trusted.exitCode, 0) << trusted.err;
        fs::remove(s + "pg2/X.EQP");
        fs::remove(s + "pg2/X.txt");
    }
}

TEST_F(DataSafety, TruncatedFileReadWithGameIsTold) {
    Bytes bytes = test::ReadFile(pg2());
    bytes.resize(bytes.size() - 10); // the last record is cut
    const std::string cut = s + "pg2/CUT.EQP";
    test::WriteFile(cut, bytes);
    const auto info = test::RunCli({"info", cut, "--game", "pg2"});
    EXPECT_EQ(info.exitCode, 0) << info.err;
    EXPECT_TRUE(contains(info.err, "its header counts 40 units, its size holds 39")) << info.err;
}

TEST_F(DataSafety, NoPathIsCut) {
    // 300 characters of folders: two components, as a file system allows 255 in one.
    const fs::path deep = dir.path() / std::string(150, 'a') / std::string(150, 'b');
    fs::create_directories(deep);
    for (const char* f : {"EQUIP97.EQP", "EQUIP97.txt", "GUI97.txt"})
        fs::copy_file(s + "pg2/" + f, deep / f);
    // A file in the parent that a cut path would have named.
    const fs::path parentNames = deep.parent_path() / "EQUIP97.txt";
    test::WriteFile(parentNames.string(), std::string("not these\r\n"));
    const auto before = test::ReadFile(parentNames.string());
    const auto r =
        test::RunCli({"cost", (deep / "EQUIP97.EQP").string(), "--game", "pg2", "--set", "1=50"});
    EXPECT_EQ(r.exitCode, 1); // PG2: costs are changed in PeG only
    test::WriteFile((deep / "def.txt").string(), std::string("EQUIP97.EQP\r\n1\r\n2\r\n"));
    const auto m =
        test::RunCli({"merge", (deep / "EQUIP97.EQP").string(), (deep / "def.txt").string()});
    ASSERT_EQ(m.exitCode, 0) << m.err;
    EXPECT_TRUE(contains(m.out, "File " + (deep / "EQUIP97.txt").string() + " updated")) << m.out;
    EXPECT_EQ(test::ReadFile(parentNames.string()), before);
    EXPECT_EQ(ParsePg2EFile(test::ReadFile((deep / "EQUIP97.EQP").string())).count, 42);
}

TEST_F(DataSafety, NamesPathEqualToTheEFileIsRefused) {
    test::WriteFile(s + "def.txt", std::string("X.EQP\r\n1\r\n"));
    expectRefused({"export", pg2(), s + "def.txt", "-o", s + "X.EQP", "--suffix", ".EQP"},
                  "would be the E-File itself");
    test::WriteFile(s + "pg2/def.txt", std::string("EQUIP97.EQP\r\n1\r\n"));
    expectRefused({"merge", pg2(), s + "pg2/def.txt", "-o", s + "Y.EQP", "--suffix", ".EQP"},
                  "would be the E-File itself");
    expectRefused({"convert", pg2(), "-o", s + "peg/C.EQP", "--suffix", ".EQP"},
                  "would be the E-File itself");
    expectRefused({"cost", peg(), "--set", "1=50", "-o", s + "peg/D.EQP", "--suffix", ".EQP"},
                  "would be the E-File itself");
}

TEST_F(DataSafety, ExportNeverOverwritesItsSource) {
    // A bare name line without extension names the source's own Names E-File.
    for (const std::string& nameLine : {std::string("EQUIP97.EQP"), std::string("EQUIP97")}) {
        test::WriteFile(s + "pg2/def.txt", nameLine + "\r\n1\r\n2\r\n");
        expectRefused({"export", pg2(), s + "pg2/def.txt", "--overwrite"}, "nothing exported");
    }
    // Any other existing file needs --overwrite.
    test::WriteFile(s + "pg2/def.txt", std::string("OTHER.EQP\r\n1\r\n"));
    test::WriteFile(s + "pg2/OTHER.EQP", std::string("keep"));
    expectRefused({"export", pg2(), s + "pg2/def.txt"}, "--overwrite");
    const auto r = test::RunCli({"export", pg2(), s + "pg2/def.txt", "--overwrite"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ParsePg2EFile(test::ReadFile(s + "pg2/OTHER.EQP")).count, 1);
}

TEST_F(DataSafety, SourcesOfTheWrongGameAreRefused) {
    // A PeG E-File as the source of a PG2 merge, and a file that fits neither game.
    test::WriteFile(s + "pg2/def.txt", "../peg/EQUIP97.EQP\r\n1\r\n");
    fs::copy_file(s + "peg/EQUIP97.txt", s + "peg/EQUIP97.names");
    expectRefused({"merge", pg2(), s + "pg2/def.txt"}, "not a PG2 E-File: ");
    test::WriteFile(s + "pg2/BAD.EQP", Bytes(2 + 73 * 74 + 5, 1));
    test::WriteFile(s + "pg2/BAD.txt", std::string("x\r\n"));
    test::WriteFile(s + "pg2/def.txt", "BAD.EQP\r\n1\r\n");
    expectRefused({"merge", pg2(), s + "pg2/def.txt"}, "not a PG2 E-File: ");
}

TEST_F(DataSafety, SavingThroughALinkKeepsTheLink) {
    if (test::CliIsWindowsProgram())
        GTEST_SKIP() << "Wine shows a symbolic link to a Windows program as the file it names";
    const std::string real = s + "peg/REAL.EQP";
    fs::copy_file(peg(), real);
    fs::copy_file(s + "peg/EQUIP97.txt", s + "peg/REAL.txt");
    const std::string link = s + "peg/LINK.EQP";
    fs::create_symlink(real, link);
    ::chmod(real.c_str(), 0640);
    const auto r = test::RunCli({"cost", link, "--set", "1=200"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::read_symlink(link), real);
    EXPECT_NE(test::ReadFile(real), test::ReadFile(peg())) << "the file the link names changed";
    struct stat st {};
    ASSERT_EQ(::stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    for (const auto& e : fs::directory_iterator(s + "peg"))
        EXPECT_EQ(e.path().string().find(".EQP."), std::string::npos) << "left " << e.path();
}

TEST_F(DataSafety, NonRegularFilesAreRefusedAtOnce) {
    const std::string fifo = s + "pg2/FIFO.EQP";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    // A FIFO would block a reader forever: each command must refuse it without opening it.
    const auto info = test::RunCli({"info", fifo, "--game", "pg2"});
    EXPECT_EQ(info.exitCode, 1);
    if (test::CliIsWindowsProgram())
        GTEST_SKIP() << "Windows has no FIFOs: Wine shows the program none, which it refused";
    EXPECT_TRUE(contains(info.err + info.out, "not a regular file: " + fifo)) << info.err;
    const auto t = test::RunCli({"info", pg2(), "--tfile", s + "pg2"});
    EXPECT_EQ(t.exitCode, 1);
    test::WriteFile(s + "pg2/def.txt", std::string("FIFO.EQP\r\n1\r\n"));
    test::WriteFile(s + "pg2/FIFO.txt", std::string("names\r\n"));
    expectRefused({"merge", pg2(), s + "pg2/def.txt"}, "not a regular file: " + fifo);
    expectRefused({"merge", pg2(), fifo}, "definition file");
    expectRefused({"icons", "--game", "pg2", fifo}, "not a regular file: " + fifo);
}

TEST_F(DataSafety, AnEmptyTFileCountsAsNone) {
    test::WriteFile(s + "peg/EMPTY.txt", std::string());
    const auto r = test::RunCli({"convert", pg2(), "-o", s + "peg/C.EQP", "--peg-tfile",
                                 s + "peg/EMPTY.txt", "--tfile-out", s + "peg/T.txt"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_FALSE(fs::exists(s + "peg/T.txt")) << "no country names to take over or blank";
}

TEST_F(DataSafety, DefinitionFilesResolveAgainstTheirOwnFolder) {
    fs::create_directories(dir.path() / "lists");
    test::WriteFile(dir.file("lists/def.txt"), "..\\s\\pg2\\EQUIP97.EQP\r\n3\r\n");
    const auto before = test::ReadFile(pg2());
    const std::string target = s + "pg2/T.EQP";
    fs::copy_file(pg2(), target);
    fs::copy_file(s + "pg2/EQUIP97.txt", s + "pg2/T.txt");
    // Run from elsewhere: the working folder must not matter.
    const auto r = test::RunCli({"merge", target, dir.file("lists/def.txt")}, "/");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ParsePg2EFile(test::ReadFile(target)).count, 41);
    EXPECT_EQ(test::ReadFile(pg2()), before);
}

TEST_F(DataSafety, TheReportsSimpleListReadsBackAsADefinitionFile) {
    const std::string list = s + "pg2/list.txt";
    ASSERT_EQ(test::RunCli({"report", pg2(), "--format", "list", "-o", list}).exitCode, 0);
    const std::string target = s + "pg2/COPY.EQP";
    fs::copy_file(pg2(), target);
    fs::copy_file(s + "pg2/EQUIP97.txt", s + "pg2/COPY.txt");
    // The list's first line names the E-File without extension; give the source explicitly.
    std::string text = test::ReadText(list);
    text.replace(0, text.find('\r'), "EQUIP97.EQP");
    test::WriteFile(list, text);
    const auto r = test::RunCli({"merge", target, list});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ParsePg2EFile(test::ReadFile(target)).count, 80) << "every listed code, 0 included";
}

TEST_F(DataSafety, UnhonouredCodesAreListedAndNoneHonouredWritesNothing) {
    test::WriteFile(s + "pg2/def.txt", std::string("EQUIP97.EQP\r\n5\r\n3\r\n5\r\n400\r\n"));
    const std::string target = s + "pg2/T.EQP";
    fs::copy_file(pg2(), target);
    fs::copy_file(s + "pg2/EQUIP97.txt", s + "pg2/T.txt");
    const auto r = test::RunCli({"merge", target, s + "pg2/def.txt"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(
        contains(r.out, "Not merged (past the source, repeated or out of order): 3, 5, 400"))
        << r.out;
    test::WriteFile(s + "pg2/def.txt", std::string("EQUIP97.EQP\r\n400\r\n"));
    expectRefused({"merge", target, s + "pg2/def.txt"}, "nothing merged");
}

TEST_F(DataSafety, MessagesSayWhatHappened) {
    // Code mismatches: one summary line, at most ten examples.
    Bytes bytes = test::ReadFile(pg2());
    for (std::size_t i = 0; i < 30; ++i)
        bytes[kEFileHeaderSize + i * pg2::kRecordSize] = static_cast<std::uint8_t>(i + 1);
    const std::string odd = s + "pg2/CODES.EQP";
    test::WriteFile(odd, bytes);
    fs::copy_file(s + "pg2/EQUIP97.txt", s + "pg2/CODES.txt");
    const auto info = test::RunCli({"info", odd});
    EXPECT_EQ(info.exitCode, 0);
    EXPECT_TRUE(contains(info.err, "30 units have a code that differs from their position"))
        << info.err;
    EXPECT_EQ(std::count(info.err.begin(), info.err.end(), '\n'), 1) << info.err;
    EXPECT_EQ(std::count(info.err.begin(), info.err.end(), ';'), 10) << info.err;

    // A file named by an option must exist.
    const auto t = test::RunCli({"info", pg2(), "--tfile", s + "none.txt"});
    EXPECT_EQ(t.exitCode, 1);
    EXPECT_TRUE(contains(t.err, s + "none.txt")) << t.err;

    // An error on creating says why.
    const auto e = test::RunCli({"report", pg2(), "--format", "list", "-o", s + "no/r.txt"});
    EXPECT_EQ(e.exitCode, 1);
    EXPECT_TRUE(contains(e.err, "Error on creating [" + s + "no/r.txt]\nthe folder does not exist"))
        << e.err;

    // The other game's archive holds no icon of this one.
    const auto i = test::RunCli({"icons", "--game", "peg", s + "pg2/PANZER2.DAT"});
    EXPECT_TRUE(contains(i.err, "holds no icon of PeG")) << i.err;
}

} // namespace
} // namespace varnel
