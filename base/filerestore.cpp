#include "base/filerestore.h"

#include "base/fileio.h"
#include "base/paths.h"

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

std::optional<std::string> WriteFilePair(const std::string& firstPath, const Bytes& first,
                                         const std::string& secondPath, const Bytes& second) {
    FileRestorer written;
    written.remember(firstPath);
    if (!SaveFileBytes(firstPath, first))
        return firstPath;
    if (!SaveFileBytes(secondPath, second)) {
        written.restore();
        return secondPath;
    }
    return std::nullopt;
}

} // namespace varnel
