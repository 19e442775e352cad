#pragma once
// What a file looked like when it was read or written: its size, modification time and a hash of
// its bytes, so that a change by another program can be told from a mere touch.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace varnel {

struct FileStamp {
    std::uintmax_t size = 0;
    std::int64_t modified = 0; // nanoseconds since the file system's epoch
    std::uint64_t hash = 0;    // HashBytes of the whole file
    bool operator==(const FileStamp&) const = default;
};

// A 64-bit hash of bytes fed in pieces of any size: the same bytes give the same value however
// they are cut. Eight bytes at a time, so hashing a file as it is read costs little beside
// reading it. Not for security: it tells two versions of a file apart.
class Hasher {
  public:
    void feed(std::span<const std::uint8_t> bytes);
    std::uint64_t value() const;

  private:
    void mix(std::uint64_t word);
    std::uint64_t state_ = 0x9e3779b97f4a7c15ull;
    std::uint64_t length_ = 0;
    std::uint8_t pending_[8] = {};
    std::size_t held_ = 0;
};

// The Hasher value of `bytes` held whole.
std::uint64_t HashBytes(std::span<const std::uint8_t> bytes);

// Size and modification time of the file at `path` (the hash left 0); nothing when it is missing
// or not a regular file.
std::optional<FileStamp> StatFile(const std::string& path);
// StatFile with the hash of the file's bytes; nothing when it cannot be read.
std::optional<FileStamp> StampFile(const std::string& path);
// True when the file at `path` still holds what `stamp` describes. A file whose size and time are
// unchanged is taken as unchanged without reading it; otherwise its bytes are hashed, so a file
// merely touched counts as unchanged. A missing file differs.
bool FileMatchesStamp(const std::string& path, const FileStamp& stamp);

} // namespace varnel
