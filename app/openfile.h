#pragma once
// Opening a file the user named, with the editor's retry loop: when the file cannot be read the
// user is asked for another one of the same kind, as often as needed.

#include "app/filekind.h"
#include "base/bytes.h"
#include "base/uiport.h"
#include "equip/game.h"

#include <functional>
#include <optional>
#include <span>
#include <string>

namespace varnel {

class CVarnelDoc;

struct OpenedFile {
    std::string path; // the path that was read: the given one or the one the user chose
    Bytes bytes;
};

// Reads `path`; when that fails asks with ChooseFile(kind) and tries the answer. On cancel shows
// "file [%s]\nnot found" followed by `notFoundTail`, with the last path that could not be read,
// and returns nothing. Something that is not a regular file (a folder, FIFO or device) is
// refused at once with "not a regular file: %s".
std::optional<OpenedFile> ReadFileOrAsk(CVarnelDoc& state, FileKind kind, std::string path,
                                        const char* notFoundTail);

// The same retry loop and messages, with the file handed to `sink` in pieces (ReadFileChunks)
// instead of held whole. `restart` runs before each try, so a sink that had part of a file that
// then failed starts over. The path that was read, or nothing.
std::optional<std::string>
StreamFileOrAsk(CVarnelDoc& state, FileKind kind, std::string path, const char* notFoundTail,
                const std::function<void()>& restart,
                const std::function<void(std::span<const std::uint8_t>)>& sink);

// Reads an input the user named: "not a regular file: %s" for a folder, FIFO or device (never
// opened), "file [%s]\nnot found" for what cannot be read; nothing then.
std::optional<Bytes> ReadInputFile(UiPort& ui, const std::string& path);

// True when `size` bytes are a whole E-File of `game`. Otherwise says "not a PG2 E-File: %s" (or
// PeG): a file of the other game would be read with the wrong layout, and a paste or merge source
// must be refused.
bool SourceFitsGame(UiPort& ui, Game game, const std::string& path, std::uintmax_t size);

// The error box of a failed save: "Error on creating [%s]" and the system's reason on the next
// line (the folder is missing, the file is read-only, the disk is full).
void SaveErrorBox(UiPort& ui, const std::string& path);

} // namespace varnel
