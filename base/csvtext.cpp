#include "base/csvtext.h"

#include <csv.h>

#include <array>
#include <cstdint>

namespace varnel {

namespace {

constexpr long kNulSymbol = 0x2400;

// Windows-1252 0x80..0x9F; the five undefined bytes map to the C1 control of their number.
constexpr std::array<std::uint16_t, 32> kHigh1252 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

long codePointOf(std::uint8_t byte) {
    if (byte == 0)
        return kNulSymbol;
    if (byte >= 0x80 && byte < 0xA0)
        return kHigh1252[byte - 0x80];
    return byte;
}

void appendUtf8(std::string& out, long cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

} // namespace

long NextUtf8CodePoint(std::string_view text, std::size_t& i) {
    const auto b0 = static_cast<std::uint8_t>(text[i++]);
    if (b0 < 0x80)
        return b0;
    int extra = 0;
    long cp = 0;
    long min = 0;
    if ((b0 & 0xE0) == 0xC0) {
        extra = 1, cp = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2, cp = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3, cp = b0 & 0x07, min = 0x10000;
    } else {
        return -1;
    }
    for (int k = 0; k < extra; ++k) {
        if (i >= text.size())
            return -1;
        const auto b = static_cast<std::uint8_t>(text[i]);
        if ((b & 0xC0) != 0x80)
            return -1;
        cp = (cp << 6) | (b & 0x3F);
        ++i;
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return -1;
    return cp;
}

namespace {

// The Windows-1252 byte of a code point, or -1 when it has none.
int byteOf(long cp) {
    if (cp == kNulSymbol)
        return 0;
    if (cp == 0 || cp > 0xFFFF)
        return -1;
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return static_cast<int>(cp);
    for (std::size_t k = 0; k < kHigh1252.size(); ++k)
        if (kHigh1252[k] == cp)
            return static_cast<int>(0x80 + k);
    return -1;
}

} // namespace

std::string Utf8From1252(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<std::uint8_t>(c);
        if (b >= 0x01 && b < 0x80)
            out += c;
        else
            appendUtf8(out, codePointOf(b));
    }
    return out;
}

std::optional<std::string> Utf8To1252(std::string_view text, long* bad) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<std::uint8_t>(text[i]);
        if (b >= 0x01 && b < 0x80) {
            out += text[i++];
            continue;
        }
        const long cp = NextUtf8CodePoint(text, i);
        const int byte = cp < 0 ? -1 : byteOf(cp);
        if (byte < 0) {
            if (bad != nullptr)
                *bad = cp;
            return std::nullopt;
        }
        out += static_cast<char>(byte);
    }
    return out;
}

namespace {

bool needsQuotes(std::string_view cell) {
    for (const char c : cell) {
        const auto b = static_cast<std::uint8_t>(c);
        if (c == ',' || c == '"' || c == ';' || b < 0x20 || b == 0x7F)
            return true;
    }
    // Spreadsheets trim unquoted blanks at either end.
    return !cell.empty() && (cell.front() == ' ' || cell.back() == ' ');
}

} // namespace

void AppendCsvCell(std::string& out, std::string_view cell) {
    if (!needsQuotes(cell)) {
        out += cell;
        return;
    }
    // csv_write quotes the cell and doubles its quotes: at most 2 + 2 n bytes.
    const std::size_t at = out.size();
    out.resize(at + 2 + 2 * cell.size());
    const std::size_t written =
        csv_write(out.data() + at, out.size() - at, cell.data(), cell.size());
    out.resize(at + written);
}

// Whether a text cell needs the leading apostrophe: it starts (after any apostrophes of its own)
// with a character a spreadsheet takes as the start of a formula. A text whose own apostrophes
// come before such a character gets one more, so the reader's removing exactly one keeps it.
bool NeedsFormulaGuard(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kFormulaGuard);
    if (first == std::string_view::npos)
        return false;
    switch (text[first]) {
    case '=':
    case '+':
    case '-':
    case '@':
    case '\t':
    case '\r':
        return true;
    default:
        return false;
    }
}

void AppendCsvText(std::string& out, std::string_view text) {
    if (!NeedsFormulaGuard(text)) {
        AppendCsvCell(out, text);
        return;
    }
    std::string guarded(1, kFormulaGuard);
    guarded += text;
    AppendCsvCell(out, guarded);
}

} // namespace varnel
