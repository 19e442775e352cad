#include "tests/support/testsupport.h"

#include "app/samples.h"
#include "equip/efile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sys/wait.h>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace varnel::test {

std::unique_ptr<ScriptedUi> MakeScriptedUi() {
    return std::make_unique<ScriptedUi>(
        [](const std::string& message) { ADD_FAILURE() << "Ui port: " << message; });
}

TempDir::TempDir() {
    std::random_device rd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path p = fs::temp_directory_path() / ("varnel-test-" + std::to_string(rd()));
        std::error_code ec;
        if (fs::create_directory(p, ec)) {
            path_ = p;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ec;
    // Tests may leave read-only files and folders behind: make them removable first.
    for (auto it = fs::recursive_directory_iterator(path_, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

std::string TempDir::file(const std::string& name) const {
    return (path_ / name).string();
}

std::string TempDir::dir() const {
    return path_.string() + "/";
}

void WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string ReadText(const std::string& path) {
    const Bytes b = ReadFile(path);
    return std::string(b.begin(), b.end());
}

namespace {
std::string shellQuote(const std::string& s) {
    std::string out = "'";
    for (char c : s) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    return out + "'";
}
} // namespace

CliResult RunCli(const std::vector<std::string>& args, const std::string& workingDir) {
#ifndef VARNEL_CLI_BINARY
#error "VARNEL_CLI_BINARY must name the built varnel-cli"
#endif
    TempDir dir;
    std::string command = shellQuote(VARNEL_CLI_BINARY);
    if (!workingDir.empty())
        command = "cd " + shellQuote(workingDir) + " && " + command;
    for (const auto& a : args)
        command += " " + shellQuote(a);
    command += " >" + shellQuote(dir.file("out")) + " 2>" + shellQuote(dir.file("err"));
    CliResult r;
    const int status = std::system(command.c_str());
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = ReadText(dir.file("out"));
    r.err = ReadText(dir.file("err"));
    return r;
}

bool PermissionsIgnored() {
#ifndef _WIN32
    return ::geteuid() == 0;
#else
    return false;
#endif
}

void WriteSampleTables(const std::string& dir) {
    std::filesystem::create_directories(std::filesystem::path(dir) / "pg2");
    std::filesystem::create_directories(std::filesystem::path(dir) / "peg");
    const Pg2UnitTable pg2 = MakeSamplePg2Table();
    const PegUnitTable peg = MakeSamplePegTable();
    WriteFile(dir + "pg2/EQUIP97.EQP", WritePg2EFile(pg2));
    WriteFile(dir + "pg2/EQUIP97.txt", WriteNamesFile(pg2));
    WriteFile(dir + "pg2/GUI97.txt", SampleTFile(Game::Pg2));
    WriteFile(dir + "peg/EQUIP97.EQP", WritePegEFile(peg));
    WriteFile(dir + "peg/EQUIP97.txt", WriteNamesFile(peg));
    WriteFile(dir + "peg/GUI97.txt", SampleTFile(Game::Peg));
}

} // namespace varnel::test
