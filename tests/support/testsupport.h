#pragma once
// Shared helpers of the test programs: temporary folders, a scripted Ui port that fails the
// running test, file helpers.

#include "base/bytes.h"
#include "tests/support/scriptedui.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#ifdef _WIN32
#include <cstdlib>
// The POSIX calls the tests use to set their environment, over the C runtime's own.
inline int setenv(const char* name, const char* value, int overwrite) {
    if (!overwrite && std::getenv(name))
        return 0;
    return _putenv_s(name, value);
}
inline int unsetenv(const char* name) {
    return _putenv_s(name, "");
}
#endif

namespace varnel::test {

// A ScriptedUi whose failures fail the current GoogleTest test.
std::unique_ptr<ScriptedUi> MakeScriptedUi();

// A fresh folder under the system's temporary folder, removed with the object.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    // The path of `name` inside the folder, as text, with the native separator.
    std::string file(const std::string& name) const;
    // The folder as text, ending in the separator.
    std::string dir() const;

  private:
    std::filesystem::path path_;
};

void WriteFile(const std::string& path, const Bytes& bytes);
void WriteFile(const std::string& path, const std::string& text);
Bytes ReadFile(const std::string& path);
std::string ReadText(const std::string& path);

// The result of running varnel-cli.
struct CliResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// The varnel-cli the tests drive: $VARNEL_CLI when set, else the one built with the tests.
std::string CliProgram();
// The start of the shell command that runs `program`: a Windows .exe on another system runs
// through $VARNEL_WINE (by default "wine").
std::string CliCommandLine(const std::string& program);

// Whether CliProgram() is a Windows program (a .exe, here run through Wine).
bool CliIsWindowsProgram();
// The separator that program ends the folders it names with.
std::string CliSeparator();

// Runs varnel-cli (CliProgram()) with `args` (each one argument, quoted for the shell) and collects
// its exit code, stdout and stderr.
// `workingDir`, when given, is the folder it runs in.
CliResult RunCli(const std::vector<std::string>& args, const std::string& workingDir = {});

// True when this process may write files whatever their permission bits (root).
bool PermissionsIgnored();

} // namespace varnel::test

#include "app/varneldoc.h"

#include <functional>

namespace varnel::test {

// A table of `count` units with zero records and empty names.
template <class Table> Table SizedTable(std::size_t count) {
    Table table;
    table.units.resize(count);
    return table;
}

// Sets all four change flags, as edits nobody saved would.
inline void MarkAllModified(CVarnelDoc& doc) {
    for (Game g : {Game::Pg2, Game::Peg})
        for (ChangeKind kind : {ChangeKind::Data, ChangeKind::Names})
            doc.markModified(g, kind);
}

// Writes DIR/pg2/ and DIR/peg/ with the sample E-File, Names E-File and T-File of each game, as
// the sample folders hold them but without icon archives and sounds, which are slow to make.
void WriteSampleTables(const std::string& dir);

// Calls the given hooks when the document tells its observers; attached for its lifetime.
class HookObserver : public DocObserver {
  public:
    explicit HookObserver(CVarnelDoc& doc) : doc_(doc) { doc_.addObserver(this); }
    ~HookObserver() override { doc_.removeObserver(this); }
    HookObserver(const HookObserver&) = delete;
    HookObserver& operator=(const HookObserver&) = delete;

    std::function<void()> onViews;
    std::function<void()> onTitle;
    std::function<void(const std::string&)> onOpened;
    std::function<void(Game)> onShowGame;

    // The views are told to redraw: everything, or what a step changed.
    void refreshAllViews() override {
        if (onViews)
            onViews();
    }
    void documentChanged(const DocChange&) override {
        if (onViews)
            onViews();
    }
    void titleChanged(const std::string&) override {
        if (onTitle)
            onTitle();
    }
    void fileOpened(const std::string& path, Game) override {
        if (onOpened)
            onOpened(path);
    }
    void showGame(Game game) override {
        if (onShowGame)
            onShowGame(game);
    }

  private:
    CVarnelDoc& doc_;
};

} // namespace varnel::test
