#include "base/paths.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace varnel {

namespace {

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

struct SplitPath {
    std::string drive, folder, name, extension;
};

SplitPath split(const std::string& path) {
    SplitPath p;
    std::size_t pos = 0;
    if (path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':') {
        p.drive = path.substr(0, 2);
        pos = 2;
    }
    std::size_t lastSep = std::string::npos;
    for (std::size_t i = pos; i < path.size(); ++i)
        if (isSeparator(path[i]))
            lastSep = i;
    std::size_t nameStart = pos;
    if (lastSep != std::string::npos) {
        p.folder = path.substr(pos, lastSep + 1 - pos);
        nameStart = lastSep + 1;
    }
    const std::string rest = path.substr(nameStart);
    const std::size_t dot = rest.rfind('.');
    if (dot == std::string::npos) {
        p.name = rest;
    } else {
        p.name = rest.substr(0, dot);
        p.extension = rest.substr(dot);
    }
    // Every part is kept whole: a cut folder would name its parent, and the Names E-File would
    // be read from and written into the wrong folder.
    return p;
}

bool hasWildcard(const std::string& path) {
    return path.find_first_of("*?") != std::string::npos;
}

bool entryExists(const fs::path& p) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(p, ec)) && !ec;
}

#ifndef _WIN32
// Windows's own file system ignores letter case; elsewhere a path is matched here.
bool equalNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// Finds `component` in `folder`, exact spelling first, then without regard to case.
bool findEntry(const fs::path& folder, const std::string& component, fs::path& found) {
    const fs::path exact = folder / component;
    if (entryExists(exact)) {
        found = exact;
        return true;
    }
    std::error_code ec;
    fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec);
    if (ec)
        return false;
    std::vector<std::string> matches;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec)
            break;
        const std::string entry = it->path().filename().string();
        if (equalNoCase(entry, component))
            matches.push_back(entry);
    }
    if (matches.empty())
        return false;
    // Several spellings of one name: take the first in byte order, so the choice is stable.
    std::sort(matches.begin(), matches.end());
    found = folder / matches.front();
    return true;
}
#endif

} // namespace

std::string GetPathPart(const std::string& path, int part) {
    const SplitPath p = split(path);
    switch (part) {
    case PathPart::Folder:
        return p.drive + p.folder;
    case PathPart::Name:
        return p.name;
    case PathPart::Extension:
        return p.extension;
    case PathPart::NameExtension:
        return p.name + p.extension;
    case PathPart::PathWithoutExt:
        return p.drive + p.folder + p.name;
    default:
        return p.drive + p.folder + p.name + p.extension;
    }
}

std::string ResolvePath(const std::string& path) {
    if (path.empty() || hasWildcard(path))
        return path;
    const fs::path original(path);
    if (entryExists(original))
        return path;
#ifdef _WIN32
    return path;
#else
    fs::path resolved = original.root_path();
    fs::path rel = original.relative_path();
    std::vector<std::string> parts;
    for (const auto& c : rel)
        parts.push_back(c.string());
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::string& c = parts[i];
        if (c.empty() || c == "." || c == "..") {
            resolved /= c;
            continue;
        }
        fs::path next;
        if (!findEntry(resolved, c, next)) {
            // Keep the rest as spelled under what could be resolved.
            for (std::size_t j = i; j < parts.size(); ++j)
                resolved /= parts[j];
            std::string out = resolved.string();
            if (!path.empty() && isSeparator(path.back()) && !out.empty() &&
                !isSeparator(out.back()))
                out += kNativeSeparator;
            return out;
        }
        resolved = next;
    }
    std::string out = resolved.string();
    if (isSeparator(path.back()) && !out.empty() && !isSeparator(out.back()))
        out += kNativeSeparator;
    return out;
#endif
}

bool FileExists(const std::string& path) {
    if (path.empty() || hasWildcard(path))
        return false;
    return entryExists(fs::path(ResolvePath(path)));
}

std::string ShortenPath(const std::string& path, int maximum) {
    const std::size_t n = path.size();
    if (maximum < 0)
        maximum = 0;
    const auto max = static_cast<std::size_t>(maximum);
    if (n <= max)
        return path;
    const std::string file = GetPathPart(path, PathPart::NameExtension);
    if (file.size() > max)
        return file;
    for (std::size_t i = 2; i <= n - max && i < n; ++i)
        if (path[i] == '\\' || path[i] == '/')
            return ".." + path.substr(n - max);
    return path;
}

std::string WithTrailingSeparator(const std::string& folder) {
    if (folder.empty() || isSeparator(folder.back()))
        return folder;
    return folder + kNativeSeparator;
}

namespace {

// Whether `value` names a folder from the root: "/x"; on Windows also "C:\x", "\x" and
// "\\server\share" (a UNC path).
bool isAbsoluteFolder(const char* value) {
#ifdef _WIN32
    if (std::isalpha(static_cast<unsigned char>(value[0])) && value[1] == ':' &&
        isSeparator(value[2]))
        return true;
    return isSeparator(value[0]);
#else
    return value[0] == '/';
#endif
}

// $VARIABLE when it is an absolute path, else the system's folder for such files ($HOME followed
// by `fallback`; on Windows %LOCALAPPDATA%, then $HOME); "varnel" added.
std::string userFolder(const char* variable, const char* fallback) {
    std::string base;
    const char* home = std::getenv("HOME");
    if (const char* value = std::getenv(variable); value && isAbsoluteFolder(value))
        base = value;
#ifdef _WIN32
    else if (const char* local = std::getenv("LOCALAPPDATA"); local && isAbsoluteFolder(local))
        base = local;
#endif
    else if (home && home[0] != '\0')
        base = std::string(home) + fallback;
    else
        base = ".";
    return WithTrailingSeparator(WithTrailingSeparator(base) + "varnel");
}

} // namespace

std::string UserStateFolder() {
    return userFolder("XDG_STATE_HOME", "/.local/state");
}

std::string UserDataFolder() {
    return userFolder("XDG_DATA_HOME", "/.local/share");
}

} // namespace varnel
