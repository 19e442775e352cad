#include "base/textlines.h"

#include <cstring>

namespace varnel {

bool LineReader::next(std::string_view& line) {
    if (pos_ >= data_.size())
        return false;
    // memchr and no copy: a Names E-File of 65,535 lines is read on every load.
    const char* begin = reinterpret_cast<const char*>(data_.data()) + pos_;
    const std::size_t left = data_.size() - pos_;
    const auto* lf = static_cast<const char*>(std::memchr(begin, '\n', left));
    std::size_t length = lf ? static_cast<std::size_t>(lf - begin) : left;
    pos_ += lf ? length + 1 : length;
    if (lf && length > 0 && begin[length - 1] == '\r')
        --length;
    line = std::string_view(begin, length);
    return true;
}

bool LineReader::next(std::string& line) {
    std::string_view view;
    if (!next(view))
        return false;
    line.assign(view);
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
