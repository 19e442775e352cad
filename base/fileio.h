#pragma once
// Whole-file reading and safe saving. Both resolve the letter case of an existing path first.

#include "base/bytes.h"

#include <functional>
#include <optional>
#include <span>
#include <string>

namespace varnel {

// The bytes of the file at `path`, or nothing when it cannot be opened (missing, not a regular
// file: a folder, FIFO or device is never opened; no permission).
std::optional<Bytes> ReadFileBytes(const std::string& path);
// Reads the same files as ReadFileBytes, handing them to `sink` in pieces of at most 256 KiB
// instead of as one buffer, so a reader can build from bytes still in the processor's cache.
// False when the file cannot be read; `sink` may have had part of it by then.
bool ReadFileChunks(const std::string& path,
                    const std::function<void(std::span<const std::uint8_t>)>& sink);

// True when `path` names something that exists but is not a regular file (a folder, FIFO,
// device): such an input is refused at once, never read.
bool IsNonRegularFile(const std::string& path);

// Why ReadFileBytes cannot read `path`, in the system's words ("No such file or directory",
// "Is a directory", "Permission denied"); empty when it can be opened for reading.
std::string ReadFailure(const std::string& path);

// Writes `bytes` to a temporary file beside `path` and then replaces `path` with it, so a failed
// save leaves the old file as it was. Refuses (false) when the folder is missing, the target is a
// folder or an existing target may not be written. An existing target keeps its permissions and,
// where the system allows, its owner. A symbolic link is followed: the file it names is replaced
// and the link stays. A file with other hard links is replaced by a new file: the other names
// keep the old content.
bool SaveFileBytes(const std::string& path, const Bytes& bytes);

// The stages of a save, for the test seam below.
enum class SaveStage { CreateTemp, Write, Sync, Close, Replace };
struct SaveFault {
    SaveStage stage;
    int save = 0; // which SaveFileBytes call from the plan on fails: 0 the first
};
// Test seam: makes the planned save of this thread fail at `stage` as the system would (EIO);
// nothing clears the plan. Works whatever the user's permissions, root included.
void PlanSaveFault(std::optional<SaveFault> fault);

// Test seam: calls `hook` before each stage of every save of this thread (`after` false) and
// once a save's file has replaced its target (Replace, `after` true): a test can end the
// process there.
void SetSaveStageHook(std::function<void(SaveStage stage, bool after)> hook);

// Why the last SaveFileBytes of this thread failed, in words ("the folder does not exist", "it
// is read-only", "No space left on device"); empty after a success.
const std::string& SaveFailureReason();

// Sets that reason again, for a restore that saved other files after the failure.
void SetSaveFailureReason(std::string reason);

// Removes the temporary files a save of `path` left behind when its process died mid-way
// ("<name>.varnel-<pid>-XXXXXX" beside it, of a process no longer running); how many. Every
// save does it first for its own target.
std::size_t RemoveLeftTemporaries(const std::string& path);
// The same for every file in `folder` (the backups folder at start-up).
std::size_t RemoveLeftTemporariesIn(const std::string& folder);

// Removes a file; false when it could not be removed.
bool RemoveFile(const std::string& path);

} // namespace varnel
