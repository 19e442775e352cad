#pragma once
// The program's folders, current files and preferences, each a text named by its registry value
// name. Folder values end in the separator.

#include "app/settingsstore.h"
#include "base/backups.h"
#include "equip/game.h"

#include <string>

namespace varnel {

// "Varnel Editor 2.07": the main window title's tail and the stored "Version".
inline constexpr const char* kAppVersion = "2.07";
inline constexpr const char* kAppTitle = "Varnel Editor 2.07";

struct AppSettings {
    std::string editorPath;     // "Editor", id 0
    std::string textSuffix;     // "Suffix", id 1
    std::string pg2Dir;         // "PG2 Dir", id 2
    std::string pg2AltDir;      // "PG2 Alt", id 3
    std::string pg2TFile;       // "PG2 GUI", id 4
    std::string pg2EFile;       // "PG2 EQP", id 5
    std::string pg2IconArchive; // "PG2 DAT", id 7
    std::string pg2SoundDir;    // "PG2 WAV", id 8
    std::string pegDir;         // "PeG Dir", id 9
    std::string pegAltDir;      // "PeG Alt", id 10
    std::string pegTFile;       // "PeG GUI", id 11
    std::string pegEFile;       // "PeG EQP", id 12
    std::string pegIconArchive; // "PeG DAT", id 14
    std::string pegSoundDir;    // "PeG WAV", id 15
    std::string defaultEFile;   // "Default E-File"

    // "Backups": the versions of each file kept before a save replaces it; 0 keeps none.
    int backups = kDefaultBackups;

    // Not stored: the Names E-File in use of each game.
    std::string pg2NamesEFile;
    std::string pegNamesEFile;

    std::string& dir(Game g) { return g == Game::Pg2 ? pg2Dir : pegDir; }
    std::string& altDir(Game g) { return g == Game::Pg2 ? pg2AltDir : pegAltDir; }
    std::string& tFile(Game g) { return g == Game::Pg2 ? pg2TFile : pegTFile; }
    std::string& eFile(Game g) { return g == Game::Pg2 ? pg2EFile : pegEFile; }
    std::string& namesEFile(Game g) { return g == Game::Pg2 ? pg2NamesEFile : pegNamesEFile; }
    std::string& iconArchive(Game g) { return g == Game::Pg2 ? pg2IconArchive : pegIconArchive; }
    std::string& soundDir(Game g) { return g == Game::Pg2 ? pg2SoundDir : pegSoundDir; }
    const std::string& dir(Game g) const { return g == Game::Pg2 ? pg2Dir : pegDir; }
    const std::string& altDir(Game g) const { return g == Game::Pg2 ? pg2AltDir : pegAltDir; }
    const std::string& tFile(Game g) const { return g == Game::Pg2 ? pg2TFile : pegTFile; }
    const std::string& eFile(Game g) const { return g == Game::Pg2 ? pg2EFile : pegEFile; }
    const std::string& namesEFile(Game g) const {
        return g == Game::Pg2 ? pg2NamesEFile : pegNamesEFile;
    }
    const std::string& iconArchive(Game g) const {
        return g == Game::Pg2 ? pg2IconArchive : pegIconArchive;
    }
    const std::string& soundDir(Game g) const { return g == Game::Pg2 ? pg2SoundDir : pegSoundDir; }
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
