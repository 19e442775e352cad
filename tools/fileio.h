#pragma once
// Whole-file reading and safe saving. Both resolve the letter case of an existing path first.

#include "tools/bytes.h"

#include <optional>
#include <string>

namespace varnel {

// The bytes of the file at `path`, or nothing when it cannot be opened (missing, a folder,
// no permission).
std::optional<Bytes> ReadFileBytes(const std::string& path);

// Writes `bytes` to a temporary file beside `path` and then replaces `path` with it, so a failed
// save leaves the old file as it was. Refuses (false) when the folder is missing, the target is a
// folder or an existing target may not be written. An existing target keeps its permissions.
bool SaveFileBytes(const std::string& path, const Bytes& bytes);

// Removes a file; false when it could not be removed.
bool RemoveFile(const std::string& path);

} // namespace varnel
