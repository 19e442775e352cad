#include "tools/textlines.h"

#include <algorithm>

namespace varnel {

bool LineReader::next(std::string& line) {
    if (pos_ >= data_.size())
        return false;
    const auto begin = data_.begin() + static_cast<std::ptrdiff_t>(pos_);
    const auto lf = std::find(begin, data_.end(), std::uint8_t{'\n'});
    auto end = lf;
    if (lf != data_.end() && end != begin && *(end - 1) == '\r')
        --end;
    line.assign(begin, end);
    pos_ = static_cast<std::size_t>(lf - data_.begin()) + (lf != data_.end() ? 1 : 0);
    return true;
}

std::vector<std::string> SplitLines(std::span<const std::uint8_t> data) {
    std::vector<std::string> lines;
    LineReader reader(data);
    std::string line;
    while (reader.next(line))
        lines.push_back(line);
    return lines;
}

void AppendLine(Bytes& out, std::string_view line) {
    out.insert(out.end(), line.begin(), line.end());
    out.push_back('\r');
    out.push_back('\n');
}

} // namespace varnel
