#pragma once
// Text files as bytes: lines are split on LF with an optional CR before it removed, and written
// with CR LF on every system. Nothing is re-encoded.

#include "base/bytes.h"

#include <string>
#include <string_view>
#include <vector>

namespace varnel {

// Reads lines one at a time from a text buffer, each line whole whatever its length.
class LineReader {
  public:
    explicit LineReader(std::span<const std::uint8_t> data) : data_(data) {}
    // The next line without its line end; false at the end of the data. A last line without a
    // line end is returned whole.
    bool next(std::string& line);
    // The same, as a view into the data: no copy.
    bool next(std::string_view& line);
    bool atEnd() const { return pos_ >= data_.size(); }

  private:
    std::span<const std::uint8_t> data_;
    std::size_t pos_ = 0;
};

// Every line of `data` (see LineReader).
std::vector<std::string> SplitLines(std::span<const std::uint8_t> data);

// Appends `line` and CR LF.
void AppendLine(Bytes& out, std::string_view line);

} // namespace varnel
