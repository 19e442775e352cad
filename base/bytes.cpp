#include "base/bytes.h"

namespace varnel {

std::optional<std::uint8_t> ByteCursor::u8() {
    if (remaining() < 1)
        return std::nullopt;
    return data_[pos_++];
}

std::optional<std::uint16_t> ByteCursor::u16() {
    if (remaining() < 2)
        return std::nullopt;
    const std::uint16_t v = readU16(data_.data() + pos_);
    pos_ += 2;
    return v;
}

std::optional<std::uint32_t> ByteCursor::u32() {
    if (remaining() < 4)
        return std::nullopt;
    const std::uint8_t* p = data_.data() + pos_;
    pos_ += 4;
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::optional<std::span<const std::uint8_t>> ByteCursor::take(std::size_t count) {
    if (remaining() < count)
        return std::nullopt;
    auto out = data_.subspan(pos_, count);
    pos_ += count;
    return out;
}

std::size_t ByteCursor::skip(std::size_t count) {
    const std::size_t n = count < remaining() ? count : remaining();
    pos_ += n;
    return n;
}

bool ByteCursor::seek(std::size_t offset) {
    if (offset > data_.size())
        return false;
    pos_ = offset;
    return true;
}

void ByteWriter::u16(std::uint16_t v) {
    out_.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out_.push_back(static_cast<std::uint8_t>(v >> 8));
}

void ByteWriter::u32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out_.push_back(static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF));
}

} // namespace varnel
