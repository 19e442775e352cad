#include "base/fileio.h"

#include "base/paths.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#ifndef _WIN32
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace varnel {

namespace {

// Opens `path` for reading when it names a regular file: a FIFO or a device would block or
// never end.
bool openRegularFile(const std::string& path, std::ifstream& in) {
    if (path.empty())
        return false;
    const std::string resolved = ResolvePath(path);
    std::error_code ec;
    if (!fs::is_regular_file(resolved, ec))
        return false;
    in.open(resolved, std::ios::binary);
    return static_cast<bool>(in);
}

} // namespace

std::optional<Bytes> ReadFileBytes(const std::string& path) {
    std::ifstream in;
    if (!openRegularFile(path, in))
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

bool ReadFileChunks(const std::string& path,
                    const std::function<void(std::span<const std::uint8_t>)>& sink) {
    std::ifstream in;
    if (!openRegularFile(path, in))
        return false;
    // Small enough to stay in the second-level cache between the read and the reader.
    constexpr std::size_t kChunk = 256 * 1024;
    static thread_local std::vector<std::uint8_t> buffer(kChunk);
    for (;;) {
        in.read(reinterpret_cast<char*>(buffer.data()), static_cast<std::streamsize>(kChunk));
        const std::streamsize got = in.gcount();
        if (got > 0)
            sink(std::span<const std::uint8_t>(buffer.data(), static_cast<std::size_t>(got)));
        if (in.eof())
            return true;
        if (!in)
            return false;
    }
}

bool IsNonRegularFile(const std::string& path) {
    if (path.empty())
        return false;
    std::error_code ec;
    const fs::file_status status = fs::status(ResolvePath(path), ec);
    return fs::exists(status) && !fs::is_regular_file(status);
}

std::string ReadFailure(const std::string& path) {
    if (path.empty())
        return std::strerror(ENOENT);
    const std::string resolved = ResolvePath(path);
    std::error_code ec;
    const fs::file_status status = fs::status(resolved, ec);
    if (ec)
        return ec.message();
    if (fs::is_directory(status))
        return std::strerror(EISDIR);
    if (!fs::is_regular_file(status))
        return "not a regular file";
    std::FILE* file = std::fopen(resolved.c_str(), "rb");
    if (!file)
        return std::strerror(errno);
    std::fclose(file);
    return {};
}

namespace {

thread_local std::string lastSaveFailure;
thread_local std::optional<SaveFault> plannedFault;
thread_local int savesSeen = 0;

thread_local std::function<void(SaveStage, bool)> stageHook;

// The test seam: true when the planned fault hits this stage of this save. errno is set as a
// failing system call would set it.
bool faultAt(SaveStage stage, int save) {
    if (stageHook)
        stageHook(stage, false);
    if (!plannedFault || plannedFault->stage != stage || plannedFault->save != save)
        return false;
    errno = EIO;
    return true;
}

bool fail(std::string reason) {
    lastSaveFailure = std::move(reason);
    return false;
}

bool failWithErrno() {
    return fail(std::strerror(errno));
}

#ifdef _WIN32
// `path` for the system's wide calls, in its long form ("\\?\C:\..." or "\\?\UNC\..."),
// so a path longer than the old 260-character limit is written like any other.
std::wstring longWidePath(const std::string& path) {
    const int n = ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    if (n <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), n);
    const DWORD full = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (full == 0)
        return wide.c_str();
    std::wstring absolute(full, L'\0');
    const DWORD got = ::GetFullPathNameW(wide.c_str(), full, absolute.data(), nullptr);
    absolute.resize(got);
    if (absolute.rfind(L"\\\\", 0) == 0)
        return absolute.rfind(L"\\\\?\\", 0) == 0 ? absolute : L"\\\\?\\UNC\\" + absolute.substr(2);
    return L"\\\\?\\" + absolute;
}
#endif

// The file a save really replaces: a symbolic link is followed to its target, so the link stays
// a link and the temporary file is made beside the file it names.
std::string saveTarget(const std::string& path) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(path, ec)))
        return path;
    const fs::path real = fs::weakly_canonical(path, ec);
    return ec ? path : real.string();
}

constexpr const char* kTempMark = ".varnel-";

// Whether `name` is a temporary file of a save of `stem` by a process that is gone: the pid in
// its name answers to no running process.
bool leftTemporary(const std::string& name, const std::string& stem) {
    if (name.size() <= stem.size() + 8 || name.compare(0, stem.size(), stem) != 0 ||
        name.compare(stem.size(), 8, kTempMark) != 0)
        return false;
    const std::string rest = name.substr(stem.size() + 8);
    const std::size_t dash = rest.find('-');
    if (dash == std::string::npos || dash == 0 || rest.size() - dash - 1 != 6)
        return false;
    long pid = 0;
    for (std::size_t i = 0; i < dash; ++i) {
        if (rest[i] < '0' || rest[i] > '9' || pid > 100000000)
            return false;
        pid = pid * 10 + (rest[i] - '0');
    }
#ifndef _WIN32
    return pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
#else
    return false;
#endif
}

std::size_t removeLeft(const std::string& folder, const std::string* stem) {
    std::size_t removed = 0;
    std::error_code ec;
    for (fs::directory_iterator it(folder.empty() ? fs::path(".") : fs::path(folder), ec), end;
         !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const std::size_t mark = name.rfind(kTempMark);
        if (mark == std::string::npos || mark == 0)
            continue;
        const std::string own = stem ? *stem : name.substr(0, mark);
        std::error_code removeError;
        if (leftTemporary(name, own) && fs::remove(it->path(), removeError))
            ++removed;
    }
    return removed;
}

} // namespace

std::size_t RemoveLeftTemporaries(const std::string& path) {
    const fs::path p(path);
    const std::string stem = p.filename().string();
    return stem.empty() ? 0 : removeLeft(p.parent_path().string(), &stem);
}

std::size_t RemoveLeftTemporariesIn(const std::string& folder) {
    return removeLeft(folder, nullptr);
}

void SetSaveStageHook(std::function<void(SaveStage, bool)> hook) {
    stageHook = std::move(hook);
}

void PlanSaveFault(std::optional<SaveFault> fault) {
    plannedFault = fault;
    savesSeen = 0;
}

bool SaveFileBytes(const std::string& path, const Bytes& bytes) {
    lastSaveFailure.clear();
    const int save = savesSeen++;
    if (path.empty())
        return fail("no file name");
    const std::string target = saveTarget(ResolvePath(path));
    std::error_code ec;
    const fs::file_status status = fs::status(target, ec);
    const bool exists = fs::exists(status);
    if (exists && !fs::is_regular_file(status))
        return fail("it is not a regular file");
    const fs::path folder = fs::path(target).parent_path();
    if (!folder.empty() && !fs::is_directory(folder, ec))
        return fail("the folder does not exist");
#ifndef _WIN32
    // An in-place write would have failed on a target we may not write: do not replace it.
    if (exists && ::access(target.c_str(), W_OK) != 0)
        return fail("it is read-only");
    RemoveLeftTemporaries(target);
    std::string tmp = target + kTempMark + std::to_string(::getpid()) + "-XXXXXX";
    const int fd = faultAt(SaveStage::CreateTemp, save) ? -1 : ::mkstemp(tmp.data());
    if (fd < 0)
        return failWithErrno();
    std::size_t done = 0;
    bool ok = true;
    // An empty file is written too, so the seam can fail its (empty) write.
    if (bytes.empty() && faultAt(SaveStage::Write, save))
        ok = failWithErrno();
    while (ok && done < bytes.size()) {
        const ssize_t n = faultAt(SaveStage::Write, save)
                              ? -1
                              : ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            ok = n < 0 ? failWithErrno() : fail("nothing could be written");
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (ok && (faultAt(SaveStage::Sync, save) || ::fsync(fd) != 0))
        ok = failWithErrno();
    if (ok) {
        struct stat st {};
        const bool known = exists && ::stat(target.c_str(), &st) == 0;
        const mode_t mode = known ? (st.st_mode & 07777) : mode_t{0644};
        // The replaced file keeps its owner where the system lets us give it.
        if (known && (st.st_uid != ::geteuid() || st.st_gid != ::getegid())) [[maybe_unused]]
            const int chowned = ::fchown(fd, st.st_uid, st.st_gid);
        if (::fchmod(fd, mode) != 0 && !exists)
            ok = failWithErrno();
    }
    if ((::close(fd) != 0 || faultAt(SaveStage::Close, save)) && ok)
        ok = failWithErrno();
    if (ok && (faultAt(SaveStage::Replace, save) || ::rename(tmp.c_str(), target.c_str()) != 0))
        ok = failWithErrno();
    if (!ok)
        ::unlink(tmp.c_str());
    else if (stageHook)
        stageHook(SaveStage::Replace, true);
    return ok;
#else
    // The read-only attribute: an in-place write would fail too.
    const std::wstring wideTarget = longWidePath(target);
    if (exists && ::_waccess(wideTarget.c_str(), 2) != 0 && errno == EACCES)
        return fail("it is read-only");
    std::wstring tmp;
    int fd = -1;
    if (faultAt(SaveStage::CreateTemp, save))
        return failWithErrno();
    // A name nobody else uses, made with the file (O_EXCL), so no other writer can share it.
    static unsigned counter = 0;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        tmp = wideTarget + L"." + std::to_wstring(::GetCurrentProcessId()) + L"-" +
              std::to_wstring(++counter) + L".tmp";
        fd =
            ::_wopen(tmp.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        return failWithErrno();
    std::size_t done = 0;
    bool ok = true;
    if (bytes.empty() && faultAt(SaveStage::Write, save))
        ok = failWithErrno();
    // _write takes an unsigned int: large files go in pieces.
    constexpr std::size_t kMaxWrite = std::size_t{1} << 30;
    while (ok && done < bytes.size()) {
        const unsigned piece = static_cast<unsigned>(std::min(bytes.size() - done, kMaxWrite));
        const int n =
            faultAt(SaveStage::Write, save) ? -1 : ::_write(fd, bytes.data() + done, piece);
        if (n <= 0) {
            ok = n < 0 ? failWithErrno() : fail("nothing could be written");
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (ok && (faultAt(SaveStage::Sync, save) || ::_commit(fd) != 0))
        ok = failWithErrno();
    if ((::_close(fd) != 0 || faultAt(SaveStage::Close, save)) && ok)
        ok = failWithErrno();
    if (ok && faultAt(SaveStage::Replace, save))
        ok = failWithErrno();
    else if (ok && !::MoveFileExW(tmp.c_str(), wideTarget.c_str(),
                                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        ok = fail(std::system_category().message(static_cast<int>(::GetLastError())));
    if (!ok)
        ::_wunlink(tmp.c_str());
    return ok;
#endif
}

const std::string& SaveFailureReason() {
    return lastSaveFailure;
}

void SetSaveFailureReason(std::string reason) {
    lastSaveFailure = std::move(reason);
}

bool RemoveFile(const std::string& path) {
    std::error_code ec;
    return fs::remove(ResolvePath(path), ec) && !ec;
}

} // namespace varnel
