#pragma once
// Backups kept before a save replaces a file: copies of the old file in one folder, named with
// the file's name and the time, the oldest removed beyond a number kept per file.
//
// Name of a backup of /games/pg2/EQUIP97.EQP: "EQUIP97_1a2b3c4d_20261209-185500.123.EQP": the
// file's name, eight hex digits of a hash of its full path (both games name their E-File
// EQUIP97.EQP), the local time to the millisecond, its extension. The names sort by time.

#include <string>
#include <vector>

namespace varnel {

inline constexpr int kDefaultBackups = 5;
inline constexpr int kMaxBackups = 99;

// The start of the names of the backups of the file at `path` ("EQUIP97_1a2b3c4d_").
std::string BackupPrefix(const std::string& path);

// The backups of the file at `path` in `folder`, newest first, as full paths.
std::vector<std::string> ListBackups(const std::string& folder, const std::string& path);

// Copies the file at `path` (as it is now) into `folder` through the safe-save helper, creating
// the folder, then removes its oldest backups beyond `keep`. True with nothing done when `keep`
// is 0 or the file does not exist yet. False when the copy could not be written: the reason is
// SaveFailureReason(), `written` the backup's path. `written` gets the new backup's path.
bool KeepBackup(const std::string& path, const std::string& folder, int keep, std::string& written);

} // namespace varnel
