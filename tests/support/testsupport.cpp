#include "tests/support/testsupport.h"

#include "app/samples/samples.h"
#include "base/paths.h"
#include "equip/efile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <random>

#ifndef _WIN32
#include <sys/wait.h>
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
    return WithTrailingSeparator(path_.string());
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
#ifdef _WIN32
// cmd.exe's rules: double quotes, a quote inside doubled.
std::string shellQuote(const std::string& s) {
    std::string out = "\"";
    for (char c : s)
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}
#else
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
#endif

[[maybe_unused]] bool endsWithExe(const std::string& s) {
    return s.size() > 4 &&
           (s.compare(s.size() - 4, 4, ".exe") == 0 || s.compare(s.size() - 4, 4, ".EXE") == 0);
}
} // namespace

std::string CliProgram() {
#ifndef VARNEL_CLI_BINARY
#error "VARNEL_CLI_BINARY must name the built varnel-cli"
#endif
    const char* chosen = std::getenv("VARNEL_CLI");
    return chosen && chosen[0] != '\0' ? std::string(chosen) : std::string(VARNEL_CLI_BINARY);
}

bool CliIsWindowsProgram() {
#ifdef _WIN32
    return true;
#else
    return endsWithExe(CliProgram());
#endif
}

std::string CliSeparator() {
    return CliIsWindowsProgram() ? "\\" : "/";
}

std::string CliCommandLine(const std::string& program) {
#ifndef _WIN32
    // A Windows build of the tool runs here through Wine.
    if (endsWithExe(program)) {
        const char* wine = std::getenv("VARNEL_WINE");
        return shellQuote(wine && wine[0] != '\0' ? wine : "wine") + " " + shellQuote(program);
    }
#endif
    return shellQuote(program);
}

CliResult RunCli(const std::vector<std::string>& args, const std::string& workingDir) {
    TempDir dir;
    std::string command = CliCommandLine(CliProgram());
    if (!workingDir.empty())
#ifdef _WIN32
        command = "cd /d " + shellQuote(workingDir) + " && " + command;
#else
        command = "cd " + shellQuote(workingDir) + " && " + command;
#endif
    for (const auto& a : args)
        command += " " + shellQuote(a);
    command += " >" + shellQuote(dir.file("out")) + " 2>" + shellQuote(dir.file("err"));
    CliResult r;
    const int status = std::system(command.c_str());
#ifdef _WIN32
    r.exitCode = status;
#else
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
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
