#pragma once
// The kinds of file the user may be asked for, and ChooseFile, the one routine that asks.

#include "app/appsettings.h"
#include "base/paths.h"
#include "base/uiport.h"

#include <string>

namespace varnel {

// The numbers are fixed: they double as the setting ids of the settings store.
enum class FileKind : int {
    Editor = 0,
    Pg2Program = 2,
    Pg2TFile = 4,
    Pg2EFile = 5,
    Pg2NamesEFile = 6,
    Pg2IconArchive = 7,
    Pg2Sound = 8,
    PegProgram = 9,
    PegTFile = 11,
    PegEFile = 12,
    PegNamesEFile = 13,
    PegIconArchive = 14,
    PegSound = 15,
};

// "-": no value; a cancelled dialog; a preset that asks for the kind's default.
inline constexpr const char* kNoValue = "-";

// What ChooseFile is asked for. Every text left at "-" takes the kind's default.
struct FileRequest {
    FileKind kind = FileKind::Editor;
    // The part of the chosen path returned (PathPart); 7 shows a save dialog and returns the
    // full path.
    int part = PathPart::FullPath;
    std::string title = kNoValue;
    std::string defaultExtension = kNoValue;
    std::string fileName = kNoValue; // the initial name, or the start of the kind's chain
    std::string filter = kNoValue;   // one entry: "Description|pattern|"
    bool openDialog = true;          // false: a save dialog
};

// The dialog ChooseFile would show, with every "-" preset filled from the kind's defaults and the
// initial name worked out along the kind's chain of candidates. Exposed for the tests and the
// settings dialog.
FileDialogRequest PrepareFileDialog(const AppSettings& settings, const FileRequest& request);

// Asks the user for a file of `kind` (always shows the dialog). Part 7 forces a save dialog.
// Returns "-" when cancelled; otherwise the full path for a save dialog, or GetPathPart(chosen,
// part) for an open dialog.
std::string ChooseFile(UiPort& ui, const AppSettings& settings, const FileRequest& request);

// The common call: all four presets "-", the full path, an open dialog.
std::string ChooseFile(UiPort& ui, const AppSettings& settings, FileKind kind);

// The E-File, Names E-File, T-File and icon archive kinds of a game.
FileKind EFileKind(Game game);
FileKind NamesEFileKind(Game game);
FileKind TFileKind(Game game);
FileKind IconArchiveKind(Game game);

} // namespace varnel
