#include "app/filekind.h"

#include "base/format.h"
#include "base/paths.h"

namespace varnel {

namespace {

constexpr int kSaveDialogPart = 7;

struct KindRow {
    FileKind kind;
    const char* title;     // %s: the suffix
    const char* extension; // nullptr: the suffix
    const char* filter;    // %s: the suffix, twice
};

constexpr KindRow kKinds[] = {
    {FileKind::Editor, "Select EDITOR", ".EXE", "EXE files (*.exe)|*.exe|"},
    {FileKind::Pg2Program, "Select Panzer2.exe to set folder", ".exe",
     "PG2 game file (*.EXE)|*.exe|"},
    {FileKind::Pg2TFile, "Select PG2 GUI97%s", nullptr, "PG2 TEXT Files (*%s)|*%s|"},
    {FileKind::Pg2EFile, "Select PG2 EQUIP97.EQP", ".EQP", "PG2 EQUIP97 Files (*.EQP)|*.eqp|"},
    {FileKind::Pg2NamesEFile, "Select PG2  EQUIP97%s", nullptr,
     "PG2 EQUIP97 Text Files (*%s)|*%s|"},
    {FileKind::Pg2IconArchive, "Select PG2 Panzer2.dat", ".DAT", "PG2 DAT Files (*.DAT)|*.dat|"},
    {FileKind::Pg2Sound, "Select a wav file to set folder", ".WAV",
     "PG2 WAV converted Files (*.WAV)|*.wav|"},
    {FileKind::PegProgram, "Select Peoples.exe to set folder", ".exe",
     "PeG game file (*.EXE)|*.exe|"},
    {FileKind::PegTFile, "Select PeG GUI97%s", nullptr, "PeG TEXT Files (*%s)|*%s|"},
    {FileKind::PegEFile, "Select PeG EQUIP97.EQP", ".EQP", "PeG EQUIP97 Files (*.EQP)|*.eqp|"},
    {FileKind::PegNamesEFile, "Select PeG  EQUIP97%s", nullptr,
     "PeG EQUIP97 Text Files (*%s)|*%s|"},
    {FileKind::PegIconArchive, "Select PeG MODGEN.DAT", ".DAT", "PeG DAT Files (*.DAT)|*.dat|"},
    {FileKind::PegSound, "Select a wav file to set folder", ".WAV", "PeG WAV Files (*.WAV)|*.wav|"},
};

const KindRow* findKind(FileKind kind) {
    for (const auto& row : kKinds)
        if (row.kind == kind)
            return &row;
    return nullptr;
}

// Used off Windows only.
[[maybe_unused]] bool isProgramKind(FileKind kind) {
    return kind == FileKind::Editor || kind == FileKind::Pg2Program || kind == FileKind::PegProgram;
}

std::string folderOf(const std::string& path) {
    return GetPathPart(path, PathPart::Folder);
}

// The initial name of kinds with a chain: the caller's name, then the chain's candidates.
std::string chain(const std::string& given, const std::string& setting, const std::string& tail,
                  std::initializer_list<std::string> folders) {
    std::string name = given == kNoValue ? setting : given;
    if (FileExists(name))
        return name;
    std::string last = name;
    for (const auto& folder : folders) {
        last = folder + tail;
        if (FileExists(last))
            return last;
    }
    return last;
}

std::string initialName(const AppSettings& s, FileKind kind, const std::string& given) {
    const std::string gui97 = "GUI97" + s.textSuffix;
    switch (kind) {
    case FileKind::Editor:
        if (given != kNoValue)
            return given;
        return s.editorPath != kNoValue ? s.editorPath : "C:\\WINDOWS\\NOTEPAD.EXE";
    case FileKind::Pg2Program:
        return given != kNoValue ? given : s.dir(Game::Pg2) + "Panzer2.exe";
    case FileKind::PegProgram:
        return given != kNoValue ? given : s.dir(Game::Peg) + "Peoples.exe";
    case FileKind::Pg2TFile:
        return chain(given, s.tFile(Game::Pg2), gui97,
                     {s.dir(Game::Pg2), folderOf(s.iconArchive(Game::Pg2))});
    case FileKind::PegTFile:
        return chain(given, s.tFile(Game::Peg), gui97,
                     {s.dir(Game::Peg), folderOf(s.iconArchive(Game::Peg))});
    case FileKind::Pg2EFile:
        return chain(
            given, s.eFile(Game::Pg2), "EQUIP97.eqp",
            {s.dir(Game::Pg2), folderOf(s.tFile(Game::Pg2)), folderOf(s.iconArchive(Game::Pg2))});
    case FileKind::PegEFile:
        return chain(
            given, s.eFile(Game::Peg), "EQUIP97.eqp",
            {s.dir(Game::Peg), folderOf(s.tFile(Game::Peg)), folderOf(s.iconArchive(Game::Peg))});
    case FileKind::Pg2NamesEFile:
        return given != kNoValue
                   ? given
                   : GetPathPart(s.eFile(Game::Pg2), PathPart::PathWithoutExt) + s.textSuffix;
    case FileKind::PegNamesEFile:
        return given != kNoValue
                   ? given
                   : GetPathPart(s.eFile(Game::Peg), PathPart::PathWithoutExt) + s.textSuffix;
    case FileKind::Pg2IconArchive:
        return chain(
            given, s.iconArchive(Game::Pg2), "Panzer2.dat",
            {s.dir(Game::Pg2), folderOf(s.eFile(Game::Pg2)), folderOf(s.tFile(Game::Pg2))});
    case FileKind::PegIconArchive:
        return chain(
            given, s.iconArchive(Game::Peg), "Modgen.dat",
            {s.dir(Game::Peg), folderOf(s.eFile(Game::Peg)), folderOf(s.tFile(Game::Peg))});
    case FileKind::Pg2Sound:
    case FileKind::PegSound: {
        if (given != kNoValue)
            return given;
        const std::string& dir = kind == FileKind::Pg2Sound ? s.dir(Game::Pg2) : s.dir(Game::Peg);
        if (dir != kNoValue)
            return dir + "WAVS" + kNativeSeparator + "1001.wav";
        return "1001.wav";
    }
    }
    return given;
}

} // namespace

FileDialogRequest PrepareFileDialog(const AppSettings& s, const FileRequest& request) {
    const FileKind kind = request.kind;
    const int part = request.part;
    const std::string& title = request.title;
    const std::string& defaultExtension = request.defaultExtension;
    const std::string& fileName = request.fileName;
    const std::string& filter = request.filter;
    const bool openDialog = request.openDialog;
    FileDialogRequest r;
    r.open = part == kSaveDialogPart ? false : openDialog;
    const KindRow* row = findKind(kind);
    const char* suffix = s.textSuffix.c_str();

    r.initialName = initialName(s, kind, fileName);
    r.title = title != kNoValue || !row ? title : Format(row->title, suffix);
    if (kind == FileKind::Editor)
        r.defaultExtension = ".EXE";
    else if (defaultExtension != kNoValue || !row)
        r.defaultExtension = defaultExtension;
    else
        r.defaultExtension = row->extension ? row->extension : s.textSuffix;
    if (filter != kNoValue || !row) {
        r.filter = filter;
    } else {
        r.filter = Format(row->filter, suffix, suffix);
#ifndef _WIN32
        // Programs here rarely end in .exe: the program kinds accept any file as well.
        if (isProgramKind(kind))
            r.filter.insert(r.filter.size() - 1, ";*");
#endif
    }
    r.initialFolder = GetPathPart(r.initialName, PathPart::Folder);
    return r;
}

std::string ChooseFile(UiPort& ui, const AppSettings& settings, const FileRequest& request) {
    const FileDialogRequest dialog = PrepareFileDialog(settings, request);
    const auto chosen = ui.fileDialog(dialog);
    if (!chosen)
        return kNoValue;
    if (!dialog.open)
        return *chosen;
    return GetPathPart(*chosen, request.part);
}

std::string ChooseFile(UiPort& ui, const AppSettings& settings, FileKind kind) {
    return ChooseFile(ui, settings, FileRequest{.kind = kind});
}

namespace {

// A game's kind of a file: each PeG kind lies as many ids after its PG2 kind as the PeG
// settings lie after PG2's.
constexpr int kPegOffset =
    static_cast<int>(FileKind::PegProgram) - static_cast<int>(FileKind::Pg2Program);
constexpr bool pegFollows(FileKind pg2, FileKind peg) {
    return static_cast<int>(peg) - static_cast<int>(pg2) == kPegOffset;
}
static_assert(pegFollows(FileKind::Pg2EFile, FileKind::PegEFile) &&
              pegFollows(FileKind::Pg2NamesEFile, FileKind::PegNamesEFile) &&
              pegFollows(FileKind::Pg2TFile, FileKind::PegTFile) &&
              pegFollows(FileKind::Pg2IconArchive, FileKind::PegIconArchive));

FileKind ofGame(FileKind pg2Kind, Game g) {
    return static_cast<FileKind>(static_cast<int>(pg2Kind) +
                                 kPegOffset * static_cast<int>(GameIndex(g)));
}

} // namespace

FileKind EFileKind(Game g) {
    return ofGame(FileKind::Pg2EFile, g);
}
FileKind NamesEFileKind(Game g) {
    return ofGame(FileKind::Pg2NamesEFile, g);
}
FileKind TFileKind(Game g) {
    return ofGame(FileKind::Pg2TFile, g);
}
FileKind IconArchiveKind(Game g) {
    return ofGame(FileKind::Pg2IconArchive, g);
}

} // namespace varnel
