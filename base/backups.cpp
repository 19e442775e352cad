#include "base/backups.h"

#include "base/fileio.h"
#include "base/filestamp.h"
#include "base/format.h"
#include "base/paths.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace varnel {

namespace {

// "20261209-185500.123" in local time.
std::string timeText(std::chrono::system_clock::time_point when) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(when.time_since_epoch()).count() %
        1000;
    return Format("%04d%02d%02d-%02d%02d%02d.%03d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                  static_cast<int>(millis));
}

} // namespace

std::string BackupPrefix(const std::string& path) {
    const std::string full = ResolvePath(path);
    std::error_code ec;
    const std::string absolute = fs::absolute(full, ec).string();
    const std::string& key = ec ? full : absolute;
    const auto hash = HashBytes({reinterpret_cast<const std::uint8_t*>(key.data()), key.size()});
    return Format("%s_%08x_", GetPathPart(path, PathPart::Name).c_str(),
                  static_cast<unsigned>(hash & 0xffffffffu));
}

std::vector<std::string> ListBackups(const std::string& folder, const std::string& path) {
    const std::string prefix = BackupPrefix(path);
    const std::string extension = GetPathPart(path, PathPart::Extension);
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() > prefix.size() + extension.size() && name.rfind(prefix, 0) == 0 &&
            name.compare(name.size() - extension.size(), extension.size(), extension) == 0 &&
            it->is_regular_file(ec))
            names.push_back(name);
    }
    std::sort(names.rbegin(), names.rend());
    for (std::string& name : names)
        name = WithTrailingSeparator(folder) + name;
    return names;
}

bool KeepBackup(const std::string& path, const std::string& folder, int keep,
                std::string& written) {
    written.clear();
    if (keep <= 0 || !FileExists(path) || IsNonRegularFile(path))
        return true;
    std::error_code ec;
    fs::create_directories(folder, ec);
    const auto bytes = ReadFileBytes(path);
    const std::string prefix = WithTrailingSeparator(folder) + BackupPrefix(path);
    const std::string extension = GetPathPart(path, PathPart::Extension);
    // A name after the newest one: two saves within a millisecond (or a clock set back) take
    // the next free time, so the names keep the order of the saves.
    const auto existing = ListBackups(folder, path);
    auto when = std::chrono::system_clock::now();
    written = prefix + timeText(when) + extension;
    while (!existing.empty() && written <= existing.front()) {
        when += std::chrono::milliseconds(1);
        written = prefix + timeText(when) + extension;
    }
    if (!bytes) {
        SetSaveFailureReason("the old file could not be read");
        return false;
    }
    if (!SaveFileBytes(written, *bytes))
        return false;
    const auto backups = ListBackups(folder, path);
    for (std::size_t i = static_cast<std::size_t>(keep); i < backups.size(); ++i)
        RemoveFile(backups[i]);
    return true;
}

} // namespace varnel
