#include "base/filestamp.h"

#include "base/fileio.h"
#include "base/paths.h"

#include <filesystem>
#include <system_error>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace varnel {

namespace {
std::uint64_t ReadLe64(const std::uint8_t* p) {
    std::uint64_t v = 0;
    for (int k = 7; k >= 0; --k)
        v = (v << 8) | p[k];
    return v;
}
} // namespace

void Hasher::mix(std::uint64_t word) {
    state_ = (state_ ^ word) * 0xff51afd7ed558ccdull;
    state_ ^= state_ >> 29;
}

void Hasher::feed(std::span<const std::uint8_t> bytes) {
    length_ += bytes.size();
    std::size_t i = 0;
    while (held_ > 0 && i < bytes.size()) {
        pending_[held_++] = bytes[i++];
        if (held_ == sizeof pending_) {
            mix(ReadLe64(pending_));
            held_ = 0;
        }
    }
    for (; i + 8 <= bytes.size(); i += 8)
        mix(ReadLe64(bytes.data() + i));
    for (; i < bytes.size(); ++i)
        pending_[held_++] = bytes[i];
}

std::uint64_t Hasher::value() const {
    Hasher last = *this;
    std::uint64_t tail = 0;
    for (std::size_t k = 0; k < held_; ++k)
        tail |= std::uint64_t{pending_[k]} << (8 * k);
    last.mix(tail);
    last.mix(length_);
    return last.state_;
}

std::uint64_t HashBytes(std::span<const std::uint8_t> bytes) {
    Hasher h;
    h.feed(bytes);
    return h.value();
}

std::optional<FileStamp> StatFile(const std::string& path) {
    if (path.empty())
        return std::nullopt;
    const std::string resolved = ResolvePath(path);
    std::error_code ec;
    if (!fs::is_regular_file(resolved, ec))
        return std::nullopt;
    FileStamp stamp;
    stamp.size = fs::file_size(resolved, ec);
    if (ec)
        return std::nullopt;
#ifdef _WIN32
    // The C runtime's stat, under std::filesystem here, keeps whole seconds only: a file
    // rewritten within the second with the same size would pass for unchanged.
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExA(resolved.c_str(), GetFileExInfoStandard, &data))
        return std::nullopt;
    constexpr std::uint64_t kTicksFrom1601To1970 = 116444736000000000ull; // 100 ns ticks
    const std::uint64_t ticks = (std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) |
                                data.ftLastWriteTime.dwLowDateTime;
    stamp.modified = static_cast<std::int64_t>(ticks - kTicksFrom1601To1970) * 100;
#else
    const auto time = fs::last_write_time(resolved, ec);
    if (ec)
        return std::nullopt;
    stamp.modified =
        std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch()).count();
#endif
    return stamp;
}

std::optional<FileStamp> StampFile(const std::string& path) {
    auto stamp = StatFile(path);
    if (!stamp)
        return std::nullopt;
    Hasher hash;
    std::uintmax_t size = 0;
    if (!ReadFileChunks(path, [&](std::span<const std::uint8_t> piece) {
            hash.feed(piece);
            size += piece.size();
        }))
        return std::nullopt;
    // The size read is the one hashed, should the file have grown since the stat.
    stamp->size = size;
    stamp->hash = hash.value();
    return stamp;
}

bool FileMatchesStamp(const std::string& path, const FileStamp& stamp) {
    const auto now = StatFile(path);
    if (!now)
        return false;
    if (now->size == stamp.size && now->modified == stamp.modified)
        return true;
    if (now->size != stamp.size)
        return false;
    const auto read = StampFile(path);
    return read && read->hash == stamp.hash;
}

} // namespace varnel
