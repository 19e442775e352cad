#include "app/appsettings.h"
#include "base/numbers.h"

#include "base/format.h"
#include "base/paths.h"

#include <algorithm>
#include <cstdlib>

namespace varnel {

namespace {

struct SettingRow {
    int id;
    const char* name;
};

constexpr SettingRow kSettingRows[] = {
    {0, "Editor"},   {1, "Suffix"},   {2, "PG2 Dir"},  {3, "PG2 Alt"},  {4, "PG2 GUI"},
    {5, "PG2 EQP"},  {7, "PG2 DAT"},  {8, "PG2 WAV"},  {9, "PeG Dir"},  {10, "PeG Alt"},
    {11, "PeG GUI"}, {12, "PeG EQP"}, {14, "PeG DAT"}, {15, "PeG WAV"},
};

constexpr const char* kObsoleteValues[] = {"PG2 EQPdir", "PG2 GUIdir", "Last PG2 File",
                                           "PeG EQPdir", "PeG GUIdir", "Last PeG File"};

constexpr const char* kDefaultEFileName = "Default E-File";
constexpr const char* kVersionName = "Version";
constexpr const char* kUnset = "-";

} // namespace

SettingsDefaults SettingsDefaults::windows() {
    return {"C:\\WINDOWS\\NOTEPAD.EXE", "C:\\PANZER2\\", "C:\\PEOPLES\\", '\\'};
}

SettingsDefaults SettingsDefaults::native() {
#ifdef _WIN32
    return windows();
#else
    const char* home = std::getenv("HOME");
    const std::string drive = std::string(home ? home : "") + "/.wine/drive_c/";
    return {"/usr/bin/xdg-open", drive + "PANZER2/", drive + "PEOPLES/", '/'};
#endif
}

const char* SettingName(int id) {
    for (const auto& row : kSettingRows)
        if (row.id == id)
            return row.name;
    return nullptr;
}

void ReadAllSettings(AppSettings& s, SettingsBackend& store, const SettingsDefaults& defaults) {
    for (const char* name : kObsoleteValues)
        store.remove(name);

    // Reads one value; "-" stands for absent, and `emptyToo` also replaces an empty value.
    auto read = [&](const char* name, bool emptyToo, const std::string& fallback) {
        std::string value = store.read(name).value_or(kUnset);
        if (value == kUnset || (emptyToo && value.empty()))
            value = fallback;
        return value;
    };
    const std::string wavs = std::string("WAVS") + defaults.separator;

    // Order matters: the derived defaults use the members read before them.
    s.editorPath = read("Editor", false, defaults.editor);
    s.textSuffix = read("Suffix", false, ".txt");
    s.dir(Game::Pg2) = read("PG2 Dir", true, defaults.pg2Dir);
    s.altDir(Game::Pg2) = read("PG2 Alt", true, "");
    s.tFile(Game::Pg2) =
        read("PG2 GUI", true, Format("%sGUI97%s", s.dir(Game::Pg2).c_str(), s.textSuffix.c_str()));
    s.eFile(Game::Pg2) = read("PG2 EQP", true, Format("%sEQUIP97.EQP", s.dir(Game::Pg2).c_str()));
    s.iconArchive(Game::Pg2) =
        read("PG2 DAT", true, Format("%sPANZER2.DAT", s.dir(Game::Pg2).c_str()));
    s.soundDir(Game::Pg2) = read("PG2 WAV", true, s.dir(Game::Pg2) + wavs);
    s.dir(Game::Peg) = read("PeG Dir", true, defaults.pegDir);
    s.altDir(Game::Peg) = read("PeG Alt", true, "");
    s.tFile(Game::Peg) =
        read("PeG GUI", true, Format("%sGUI97%s", s.dir(Game::Peg).c_str(), s.textSuffix.c_str()));
    s.eFile(Game::Peg) = read("PeG EQP", true, Format("%sEQUIP97.EQP", s.dir(Game::Peg).c_str()));
    s.iconArchive(Game::Peg) =
        read("PeG DAT", true, Format("%sMODGEN.DAT", s.dir(Game::Peg).c_str()));
    s.soundDir(Game::Peg) = read("PeG WAV", true, s.dir(Game::Peg) + wavs);

    store.write(kVersionName, kAppTitle);
    s.defaultEFile = store.read(kDefaultEFileName).value_or("PG2");
    s.backups = ParseBackupCount(store.read(kBackupsName).value_or(""));
}

int ParseBackupCount(const std::string& value) {
    if (value.empty() || value.size() > 2 ||
        !std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return kDefaultBackups;
    return ParseInteger(value).value_or(kDefaultBackups);
}

void WriteSetting(SettingsBackend& store, int id, const std::string& value) {
    if (const char* name = SettingName(id))
        store.write(name, value);
}

void WriteExitSettings(const AppSettings& s, SettingsBackend& store) {
    store.write("PG2 EQP", s.eFile(Game::Pg2));
    store.write("PG2 GUI", s.tFile(Game::Pg2));
    store.write("PG2 DAT", s.iconArchive(Game::Pg2));
    store.write("PeG EQP", s.eFile(Game::Peg));
    store.write("PeG GUI", s.tFile(Game::Peg));
    store.write("PeG DAT", s.iconArchive(Game::Peg));
    store.write(kDefaultEFileName, s.defaultEFile);
    store.write(kVersionName, kAppTitle);
}

std::string FindTFile(const AppSettings& s, Game game) {
    const std::string name = "GUI97" + s.textSuffix;
    const std::string candidates[] = {
        GetPathPart(s.eFile(game), PathPart::Folder) + name,
        s.dir(game) + name,
        s.altDir(game) + name,
    };
    for (const auto& c : candidates)
        if (FileExists(c))
            return c;
    return candidates[2];
}

} // namespace varnel
