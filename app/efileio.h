#pragma once
// Loading and saving the E-Files, Names E-Files and T-Files of the document, with every question
// and message of the editor. The byte formats themselves live in equip/.

#include "base/uiport.h"
#include "equip/efile.h"
#include "equip/game.h"

#include <optional>
#include <string>

namespace varnel {

class CVarnelDoc;
struct LoadFindings;

// How a load answers the question about a PG2 unit whose code differs from its position.
enum class CodeAnswer { Ask, Yes, No };

struct LoadOptions {
    CodeAnswer codes = CodeAnswer::Ask;
    // A T-File to read instead of the folder search; empty: search.
    std::string tFile;
    // Show the game's form after the load (instead of telling the user to switch to it).
    bool showGame = false;
};

// Asks about each of the `parsed` records (to go to positions first, first + 1, ...; `total`
// units in all) whose code differs from its position: "Warning!\nUnit %d \nhas Code=%d bigger
// than %d\n Do you want to set Code=%d ?" (for a code not bigger than the count: "has Code=%d,
// which differs from %d"), or answers by `answer`. A Yes sets the code in `parsed`. True when
// any code was set. `findings`, when given, counts the mismatches and keeps the first few.
bool AskCodeFixes(CVarnelDoc& doc, ParsedEFile<Pg2Unit>& parsed, std::size_t first,
                  std::size_t total, CodeAnswer answer, LoadFindings* findings = nullptr);

// Loads an E-File of the game with its T-File (folder search) and Names E-File. Every question
// (a file that cannot be read, a code that differs from its position, a missing Names E-File) is
// asked before the document's table is replaced; then the views and title are told once. Nothing
// changes when the E-File cannot be had. False then.
bool LoadEFile(CVarnelDoc& doc, Game game, const std::string& path,
               const LoadOptions& options = {});

// Loads the game's country names. An empty `path` searches (E-File folder, main folder,
// alternative folder); otherwise `path` becomes the game's T-File. Asks for the file when it
// cannot be opened; on cancel shows "file [%s]\nnot found\nyou'll not see PG2 Nation's names"
// (or PeG), leaves the table empty (count 0) and the T-File path empty. The path of the T-File
// read (the one asked for, or the one the user chose instead), or nothing.
std::optional<std::string> LoadTFile(CVarnelDoc& doc, Game game, const std::string& path);

// Write the game's table to `path` ("File %s updated"; on failure "Error on creating [%s]", and
// the flag and current path stay). True on success.
bool SaveEFile(CVarnelDoc& doc, Game game, const std::string& path);
// Write the names beside the current E-File. True on success (or when there is no table).
bool SaveNames(CVarnelDoc& doc, Game game);

// True when `a` and `b` name the same file (after letter-case resolution, or the same file on
// disk).
bool SameFile(const std::string& a, const std::string& b);
// Refuses (with a message, false) an E-File whose Names E-File would be the E-File itself, as a
// suffix like ".EQP" makes it: writing one would destroy the other.
bool NamesPathDiffers(UiPort& ui, const std::string& eFile, const std::string& names);

// The E-File at `path` and its Names E-File beside it, as a pair: both are written or neither
// (when the names cannot be written the E-File is put back as it was). On success `path` becomes
// the game's E-File and both flags are cleared. The messages are those of the single saves.
bool SaveEFilePair(CVarnelDoc& doc, Game game, const std::string& path);

} // namespace varnel
