#pragma once
// Opening a file the user named, with the editor's retry loop: when the file cannot be read the
// user is asked for another one of the same kind, as often as needed.

#include "app/filekind.h"
#include "tools/bytes.h"

#include <optional>
#include <string>

namespace varnel {

class CVarnelDoc;

struct OpenedFile {
    std::string path; // the path that was read: the given one or the one the user chose
    Bytes bytes;
};

// Reads `path`; when that fails asks with ChooseFile(kind) and tries the answer. On cancel shows
// "file [%s]\nnot found" followed by `notFoundTail`, with the last path that could not be read,
// and returns nothing.
std::optional<OpenedFile> ReadFileOrAsk(CVarnelDoc& state, FileKind kind, std::string path,
                                        const char* notFoundTail);

} // namespace varnel
