#include "base/format.h"

#include <cstdio>
#include <vector>

namespace varnel {

std::string FormatMessageV(const char* format, std::va_list args) {
    char buffer[kMaxMessageLength + 1];
    const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    if (n < 0)
        return {};
    return std::string(buffer, static_cast<std::size_t>(n) < kMaxMessageLength
                                   ? static_cast<std::size_t>(n)
                                   : kMaxMessageLength);
}

std::string FormatMessage(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::string out = FormatMessageV(format, args);
    va_end(args);
    return out;
}

std::string Format(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string out;
    if (n > 0) {
        std::vector<char> buffer(static_cast<std::size_t>(n) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), format, args);
        out.assign(buffer.data(), static_cast<std::size_t>(n));
    }
    va_end(args);
    return out;
}

std::string Counted(long long count, const char* one, const char* many) {
    return std::to_string(count) + ' ' + (count == 1 ? one : many);
}

} // namespace varnel
