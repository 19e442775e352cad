#pragma once
// Files a command is about to write, remembered so that a command failing part-way can put each
// one back as it was: its old bytes restored, or the file removed when it did not exist.

#include "base/bytes.h"

#include <optional>
#include <string>
#include <vector>

namespace varnel {

class FileRestorer {
  public:
    // Records the present content of `path` (or that it is missing). Call before writing it.
    void remember(const std::string& path);
    // Puts every remembered file back, the last remembered first. Best effort: a file that
    // cannot be restored is left as it is.
    void restore();

  private:
    struct Saved {
        std::string path;
        bool existed = false;
        std::optional<Bytes> bytes; // nothing when it existed but could not be read
    };
    std::vector<Saved> files_;
};

// Writes `first` to `firstPath` and then `second` to `secondPath` through SaveFileBytes: both or
// neither. When the second cannot be written the first is put back as it was (removed when it
// is new). Returns the path that could not be written, or nothing on success.
std::optional<std::string> WriteFilePair(const std::string& firstPath, const Bytes& first,
                                         const std::string& secondPath, const Bytes& second);

} // namespace varnel
