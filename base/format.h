#pragma once
// printf-style formatting of user messages into a bounded text.

#include <cstdarg>
#include <string>

namespace varnel {

// Longest message text; longer results are cut, never overrun.
constexpr std::size_t kMaxMessageLength = 512;

#if defined(__MINGW32__)
// mingw-w64's C++ runtime formats as C99 does (%zu included), not as the old msvcrt.
#define VARNEL_PRINTF(fmtIndex, firstArg) __attribute__((format(gnu_printf, fmtIndex, firstArg)))
#elif defined(__GNUC__)
#define VARNEL_PRINTF(fmtIndex, firstArg) __attribute__((format(printf, fmtIndex, firstArg)))
#else
#define VARNEL_PRINTF(fmtIndex, firstArg)
#endif

// Formats like printf and cuts the result to `kMaxMessageLength` characters.
std::string FormatMessage(const char* format, ...) VARNEL_PRINTF(1, 2);
std::string FormatMessageV(const char* format, std::va_list args);

// Formats without a length limit (file names, report lines).
std::string Format(const char* format, ...) VARNEL_PRINTF(1, 2);

// A count with its noun: "1 cell", "0 cells", "3 cells" (`one` for exactly one, `many` else).
std::string Counted(long long count, const char* one, const char* many);

} // namespace varnel
