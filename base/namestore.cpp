#include "base/namestore.h"

#include <algorithm>
#include <cstdint>

namespace varnel {

NameRef NameStore::add(std::string_view text) {
    if (text.empty())
        return {};
    const NameRef ref{buffer_.size(), text.size()};
    const auto* from = reinterpret_cast<const std::uint8_t*>(text.data());
    // Compared as addresses: `text` may point anywhere, not only into this buffer.
    const auto at = reinterpret_cast<std::uintptr_t>(from);
    const auto begin = reinterpret_cast<std::uintptr_t>(buffer_.data());
    const bool inside = !buffer_.empty() && at >= begin && at < begin + buffer_.size();
    if (!inside) {
        buffer_.insert(buffer_.end(), from, from + text.size());
        return ref;
    }
    // Growing may move the bytes `text` points at: copy by position instead.
    const auto start = static_cast<std::size_t>(at - begin);
    buffer_.resize(buffer_.size() + text.size());
    std::copy_n(buffer_.begin() + static_cast<std::ptrdiff_t>(start), text.size(),
                buffer_.begin() + static_cast<std::ptrdiff_t>(ref.offset));
    return ref;
}

void NameStore::truncate(std::size_t size) {
    if (size >= buffer_.size())
        return;
    buffer_.resize(size);
    if (buffer_.capacity() > 2 * size + kMinNameCompactBytes)
        buffer_.shrink_to_fit();
}

} // namespace varnel
