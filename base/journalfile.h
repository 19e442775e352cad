#pragma once
// A file that is only ever appended to, each append on the disk before it returns, and locked by
// its process while that lives: the recovery journal's storage. A lock the system drops when the
// process dies (however it dies) tells a journal left behind from one still in use.

#include "base/bytes.h"

#include <span>
#include <string>

namespace varnel {

class JournalFile {
  public:
    JournalFile() = default;
    ~JournalFile();
    JournalFile(const JournalFile&) = delete;
    JournalFile& operator=(const JournalFile&) = delete;

    // Creates the file at `path` (replacing one of that name), its folder too, locked before
    // it appears. False when that fails; the file is then closed.
    bool create(const std::string& path);
    // Empties the open file, keeping its lock.
    bool reset();
    // Takes over a journal left behind: opens it for appending and locks it. False when another
    // process holds it (or it cannot be opened).
    bool adopt(const std::string& path);
    // Appends `bytes` and, unless `sync` is false, flushes them to the disk. False when that
    // fails.
    bool append(std::span<const std::uint8_t> bytes, bool sync = true);
    // Closes the file, keeping it on disk.
    void close();
    // Closes the file and removes it.
    void remove();

    bool isOpen() const { return fd_ >= 0; }
    const std::string& path() const { return path_; }

  private:
    int fd_ = -1;
    std::string path_;
};

// True when the file at `path` is not locked by a living process (its JournalFile died with it).
bool JournalIsOrphaned(const std::string& path);

} // namespace varnel
