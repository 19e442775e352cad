#pragma once
// Path splitting, existence and display shortening. Paths may be Windows paths (drive letter,
// backslashes) or native ones; both '\' and '/' separate folders when splitting.

#include <string>

namespace varnel {

// Selects what GetPathPart returns; the numbers are also passed around as plain ints.
enum PathPart : int {
    Folder = 0,         // drive and folder, ending in the separator: C:\PANZER2\ .
    Name = 1,           // file name without extension: EQUIP97
    Extension = 2,      // extension with its dot: .EQP
    NameExtension = 3,  // EQUIP97.EQP
    PathWithoutExt = 4, // C:\PANZER2\EQUIP97
    FullPath = 5,       // any other value: the whole path put together again
};

// The separator that ends folder values on this system.
constexpr char kNativeSeparator =
#ifdef _WIN32
    '\\';
#else
    '/';
#endif

// Returns the part of `path` selected by `part` (any value outside 0..4 gives the whole path).
// Drive: a leading letter and colon. Folder: up to and including the last '\' or '/'. Name: the
// rest up to the last dot. Extension: from the last dot on. Every part is whole, whatever its
// length.
std::string GetPathPart(const std::string& path, int part);

// True when the file system has an entry of that name (a folder counts). On case-sensitive file
// systems a path whose exact spelling is missing is matched component by component without
// regard to case. A wildcard pattern ('*' or '?') never exists.
bool FileExists(const std::string& path);

// The spelling of `path` that exists on disk: the path itself when it exists, otherwise each
// component matched without regard to case (exact match first). When no such spelling exists the
// path is returned unchanged; a missing last component keeps its spelling under the resolved
// folder, so a new file is created in the existing folder.
std::string ResolvePath(const std::string& path);

// Text for display, at most about `maximum` characters: the path when it fits, else the file
// name when that alone is longer than `maximum`, else ".." and the last `maximum` characters
// when a separator falls at positions 2 .. n - maximum, else the path unchanged.
std::string ShortenPath(const std::string& path, int maximum);

// Folder value with its closing native separator (an empty folder stays empty).
std::string WithTrailingSeparator(const std::string& folder);

// The user's folders for this program, ending in the separator: its state (the recovery
// journal: $XDG_STATE_HOME/varnel/, by default ~/.local/state/varnel/) and its data (backups:
// $XDG_DATA_HOME/varnel/, by default ~/.local/share/varnel/; on Windows both by default
// %LOCALAPPDATA%\varnel\). A relative XDG value is ignored, as the XDG rules say. Not created
// here.
std::string UserStateFolder();
std::string UserDataFolder();

} // namespace varnel
