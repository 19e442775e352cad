#pragma once
// Little-endian byte access. Every integer read from a file goes through ByteCursor, which never
// reads past the end of its buffer: a read that does not fit returns nothing and leaves the
// cursor where it was.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace varnel {

using Bytes = std::vector<std::uint8_t>;

class ByteCursor {
  public:
    explicit ByteCursor(std::span<const std::uint8_t> data) : data_(data) {}

    std::size_t offset() const { return pos_; }
    std::size_t remaining() const { return data_.size() - pos_; }
    bool atEnd() const { return pos_ >= data_.size(); }

    std::optional<std::uint8_t> u8();
    std::optional<std::uint16_t> u16();
    std::optional<std::uint32_t> u32();
    // The next `count` bytes, or nothing when fewer remain.
    std::optional<std::span<const std::uint8_t>> take(std::size_t count);
    // Advances by at most `count` bytes; returns how many were skipped.
    std::size_t skip(std::size_t count);
    // Moves to an absolute offset; false (and no move) when it lies past the end.
    bool seek(std::size_t offset);

  private:
    std::span<const std::uint8_t> data_;
    std::size_t pos_ = 0;
};

// Appends little-endian integers and raw bytes to a buffer.
class ByteWriter {
  public:
    explicit ByteWriter(Bytes& out) : out_(out) {}
    void u8(std::uint8_t v) { out_.push_back(v); }
    void u16(std::uint16_t v);
    void u32(std::uint32_t v);
    void append(std::span<const std::uint8_t> bytes) {
        out_.insert(out_.end(), bytes.begin(), bytes.end());
    }
    void append(const std::string& text) { out_.insert(out_.end(), text.begin(), text.end()); }

  private:
    Bytes& out_;
};

inline std::uint16_t readU16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline void writeU16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v & 0xFF);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

} // namespace varnel
