#pragma once
// The names of one unit table in one byte buffer. A unit holds a NameRef (where its name lies in
// the buffer) instead of a string of its own, so loading, converting or merging 65,535 units
// allocates once, not once a unit. The buffer only grows: a changed name is appended and its old
// bytes stay until the table compacts, so two units may share one ref (a clone does).

#include "base/bytes.h"

#include <cstddef>
#include <string_view>

namespace varnel {

struct NameRef {
    std::size_t offset = 0;
    std::size_t length = 0;
};

class NameStore {
  public:
    NameStore() = default;
    // Takes `bytes` whole as the buffer: a Names E-File read whole, whose lines become refs.
    explicit NameStore(Bytes bytes) : buffer_(std::move(bytes)) {}

    // The name `ref` points at; empty for a ref that does not lie inside the buffer.
    std::string_view view(NameRef ref) const {
        if (ref.offset > buffer_.size() || ref.length > buffer_.size() - ref.offset)
            return {};
        return {reinterpret_cast<const char*>(buffer_.data()) + ref.offset, ref.length};
    }
    // Appends `text` (which may be a view into this store) and returns its ref. Appending may
    // move the buffer: views taken before it end.
    NameRef add(std::string_view text);
    // Cuts the buffer after `size` bytes, giving memory back when most of it goes.
    void truncate(std::size_t size);
    void reserve(std::size_t bytes) { buffer_.reserve(bytes); }
    std::size_t size() const { return buffer_.size(); }
    void clear() { buffer_.clear(); }

  private:
    Bytes buffer_;
};

// The buffer size past which a table looks for dead bytes again: twice what it held after the
// last look, and never under 64 KiB, so compacting stays amortised over the edits that grew it.
constexpr std::size_t kMinNameCompactBytes = 64 * 1024;

} // namespace varnel
