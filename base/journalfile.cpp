#include "base/journalfile.h"

#include <filesystem>
#include <system_error>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace varnel {

JournalFile::~JournalFile() {
    close();
}

#ifndef _WIN32

namespace {
// Opens `path` with `flags` and takes its lock without waiting; -1 when either fails.
int openLocked(const std::string& path, int flags) {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0600);
    if (fd < 0)
        return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}
} // namespace

bool JournalFile::create(const std::string& path) {
    close();
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    // Made and locked under another name, then renamed: nobody sees the journal unlocked.
    const std::string fresh = path + ".new";
    ::unlink(fresh.c_str());
    fd_ = openLocked(fresh, O_WRONLY | O_CREAT | O_EXCL);
    if (fd_ < 0)
        return false;
    if (::rename(fresh.c_str(), path.c_str()) != 0) {
        ::close(fd_);
        ::unlink(fresh.c_str());
        fd_ = -1;
        return false;
    }
    path_ = path;
    return true;
}

bool JournalFile::reset() {
    return fd_ >= 0 && ::ftruncate(fd_, 0) == 0 && ::lseek(fd_, 0, SEEK_SET) == 0;
}

bool JournalFile::adopt(const std::string& path) {
    close();
    fd_ = openLocked(path, O_WRONLY | O_APPEND);
    if (fd_ < 0)
        return false;
    ::lseek(fd_, 0, SEEK_END);
    path_ = path;
    return true;
}

bool JournalFile::append(std::span<const std::uint8_t> bytes, bool sync) {
    if (fd_ < 0)
        return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return !sync || ::fdatasync(fd_) == 0;
}

void JournalFile::close() {
    if (fd_ >= 0)
        ::close(fd_); // drops the lock
    fd_ = -1;
    path_.clear();
}

void JournalFile::remove() {
    if (fd_ >= 0)
        ::unlink(path_.c_str());
    close();
}

bool JournalIsOrphaned(const std::string& path) {
    const int fd = openLocked(path, O_RDONLY);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

#else

bool JournalFile::create(const std::string&) {
    return false;
}
bool JournalFile::reset() {
    return false;
}
bool JournalFile::adopt(const std::string&) {
    return false;
}
bool JournalFile::append(std::span<const std::uint8_t>, bool) {
    return false;
}
void JournalFile::close() {}
void JournalFile::remove() {}
bool JournalIsOrphaned(const std::string&) {
    return false;
}

#endif

} // namespace varnel
