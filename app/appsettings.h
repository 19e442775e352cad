#pragma once
// The program's folders, current files and preferences, each a text named by its registry value
// name. Folder values end in the separator.

#include "app/settingsstore.h"
#include "base/backups.h"
#include "equip/game.h"

#include <array>
#include <string>

namespace varnel {

// "Varnel Editor 2.07": the main window title's tail and the stored "Version".
inline constexpr const char* kAppVersion = "2.07";
inline constexpr const char* kAppTitle = "Varnel Editor 2.07";

// One game's folders and files: the values "<game> Dir", "Alt", "GUI", "EQP", "DAT" and "WAV"
// (ids 2..8 for PG2, 9..15 for PeG), and the Names E-File in use, which is not stored.
struct GameFiles {
    std::string dir;
    std::string altDir;
    std::string tFile;
    std::string eFile;
    std::string iconArchive;
    std::string soundDir;
    std::string namesEFile; // not stored
};

struct AppSettings {
    std::string editorPath;   // "Editor", id 0
    std::string textSuffix;   // "Suffix", id 1
    std::string defaultEFile; // "Default E-File"

    // "Backups": the versions of each file kept before a save replaces it; 0 keeps none.
    int backups = kDefaultBackups;

    std::array<GameFiles, 2> games; // by GameIndex

    GameFiles& files(Game g) { return games[GameIndex(g)]; }
    const GameFiles& files(Game g) const { return games[GameIndex(g)]; }
    std::string& dir(Game g) { return files(g).dir; }
    std::string& altDir(Game g) { return files(g).altDir; }
    std::string& tFile(Game g) { return files(g).tFile; }
    std::string& eFile(Game g) { return files(g).eFile; }
    std::string& namesEFile(Game g) { return files(g).namesEFile; }
    std::string& iconArchive(Game g) { return files(g).iconArchive; }
    std::string& soundDir(Game g) { return files(g).soundDir; }
    const std::string& dir(Game g) const { return files(g).dir; }
    const std::string& altDir(Game g) const { return files(g).altDir; }
    const std::string& tFile(Game g) const { return files(g).tFile; }
    const std::string& eFile(Game g) const { return files(g).eFile; }
    const std::string& namesEFile(Game g) const { return files(g).namesEFile; }
    const std::string& iconArchive(Game g) const { return files(g).iconArchive; }
    const std::string& soundDir(Game g) const { return files(g).soundDir; }
};

// The built-in defaults that are not derived from other settings.
struct SettingsDefaults {
    std::string editor;
    std::string pg2Dir;
    std::string pegDir;
    char separator; // ends the derived folder defaults ("WAVS\")

    // The defaults as the game's own platform has them: C:\PANZER2\ and so on.
    static SettingsDefaults windows();
    // This system's defaults: on Windows the same; elsewhere the C:\ folders under the Wine
    // prefix ($HOME/.wine/drive_c/) and the desktop's opener as the editor.
    static SettingsDefaults native();
};

// The registry value name of a setting id, or nullptr for ids that name no value (6, 13, others).
const char* SettingName(int id);

// Fills every member from the store with the defaults, deleting the six obsolete values and
// writing "Version" (see the table of ids in SettingName).
void ReadAllSettings(AppSettings& settings, SettingsBackend& store,
                     const SettingsDefaults& defaults = SettingsDefaults::native());

// The "Backups" value as a number of backups: 0 .. kMaxBackups; anything else gives the default.
int ParseBackupCount(const std::string& value);
inline constexpr const char* kBackupsName = "Backups";

// Stores `value` under the value name of `id`; ids that name no value are ignored. The member
// itself is the caller's to change.
void WriteSetting(SettingsBackend& store, int id, const std::string& value);

// Stores the current E-File, T-File and icon archive of both games, "Default E-File" and
// "Version", at program end.
void WriteExitSettings(const AppSettings& settings, SettingsBackend& store);

// The T-File folder search: "GUI97" + suffix in the folder of the game's E-File in use, then the
// main folder, then the alternative folder; the first that exists, else the last candidate.
std::string FindTFile(const AppSettings& settings, Game game);

} // namespace varnel
