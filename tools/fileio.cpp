#include "tools/fileio.h"

#include "tools/paths.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace varnel {

std::optional<Bytes> ReadFileBytes(const std::string& path) {
    if (path.empty())
        return std::nullopt;
    const std::string resolved = ResolvePath(path);
    std::error_code ec;
    if (fs::is_directory(resolved, ec))
        return std::nullopt;
    std::ifstream in(resolved, std::ios::binary);
    if (!in)
        return std::nullopt;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0)
        return std::nullopt;
    in.seekg(0, std::ios::beg);
    Bytes bytes(static_cast<std::size_t>(size));
    if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), size))
        return std::nullopt;
    return bytes;
}

bool SaveFileBytes(const std::string& path, const Bytes& bytes) {
    if (path.empty())
        return false;
    const std::string target = ResolvePath(path);
    std::error_code ec;
    const fs::file_status status = fs::status(target, ec);
    const bool exists = fs::exists(status);
    if (exists && !fs::is_regular_file(status))
        return false;
#ifndef _WIN32
    // An in-place write would have failed on a target we may not write: do not replace it.
    if (exists && ::access(target.c_str(), W_OK) != 0)
        return false;
    std::string tmp = target + ".XXXXXX";
    const int fd = ::mkstemp(tmp.data());
    if (fd < 0)
        return false;
    std::size_t done = 0;
    bool ok = true;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            ok = false;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (ok && ::fsync(fd) != 0)
        ok = false;
    if (ok) {
        struct stat st {};
        const mode_t mode =
            exists && ::stat(target.c_str(), &st) == 0 ? (st.st_mode & 07777) : mode_t{0644};
        if (::fchmod(fd, mode) != 0 && !exists)
            ok = false;
    }
    if (::close(fd) != 0)
        ok = false;
    if (ok && ::rename(tmp.c_str(), target.c_str()) != 0)
        ok = false;
    if (!ok)
        ::unlink(tmp.c_str());
    return ok;
#else
    const std::string tmp = target + ".varnel-tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            fs::remove(tmp, ec);
            return false;
        }
    }
    fs::rename(tmp, target, ec);
    if (ec) {
        fs::remove(tmp, ec);
        return false;
    }
    return true;
#endif
}

bool RemoveFile(const std::string& path) {
    std::error_code ec;
    return fs::remove(ResolvePath(path), ec) && !ec;
}

} // namespace varnel
