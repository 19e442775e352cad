#include "tools/filerestore.h"

#include "tools/fileio.h"
#include "tools/paths.h"

namespace varnel {

void FileRestorer::remember(const std::string& path) {
    Saved saved{path, FileExists(path), std::nullopt};
    if (saved.existed)
        saved.bytes = ReadFileBytes(path);
    files_.push_back(std::move(saved));
}

void FileRestorer::restore() {
    // The reason of the failure that called for the restore is what the user must hear.
    const std::string reason = SaveFailureReason();
    for (auto it = files_.rbegin(); it != files_.rend(); ++it) {
        if (!it->existed)
            RemoveFile(it->path);
        else if (it->bytes)
            SaveFileBytes(it->path, *it->bytes);
    }
    files_.clear();
    SetSaveFailureReason(reason);
}

} // namespace varnel
