#pragma once
// Text for spreadsheet files, shared by every CSV the program writes: Windows-1252 bytes as
// UTF-8 and back, and one cell as RFC 4180 quotes it (through libcsv).
//
// Bytes 0x81, 0x8D, 0x8F, 0x90 and 0x9D, which Windows-1252 leaves undefined, become the C1
// controls of the same number, and byte 0x00 becomes U+2400 (the symbol for NUL) so that a CSV
// file never holds a NUL byte: every one of the 256 byte values comes back.

#include <optional>
#include <string>
#include <string_view>

namespace varnel {

// The byte-order mark every CSV file of the program starts with.
inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Windows-1252 bytes as UTF-8, by the mapping above, and back. Back gives nothing when the text
// is not valid UTF-8 or holds a character Windows-1252 cannot store; `bad` is then that
// character's code point (or -1 for invalid UTF-8).
std::string Utf8From1252(std::string_view bytes);
std::optional<std::string> Utf8To1252(std::string_view text, long* bad = nullptr);

// The next code point of UTF-8 text at `i` (which must lie inside `text`), advancing `i`; -1 for
// an invalid sequence (overlong forms, surrogates and values past U+10FFFF included).
long NextUtf8CodePoint(std::string_view text, std::size_t& i);

// Appends `cell` to a CSV line: as it is, or quoted with its quotes doubled when it holds a
// delimiter (comma or semicolon), a quote, a control character or blanks at either end.
void AppendCsvCell(std::string& out, std::string_view cell);

// A text a spreadsheet would take for a formula (starting with '=', '+', '-', '@', a tab or a CR)
// is written with this character before it, and a reader removes exactly one.
inline constexpr char kFormulaGuard = '\'';

// Whether `text` needs kFormulaGuard: it starts, after any apostrophes of its own, with one of
// those characters. A text whose own apostrophes come before such a character gets one more, so
// removing exactly one gives it back.
bool NeedsFormulaGuard(std::string_view text);

// AppendCsvCell of a text, with kFormulaGuard before it where it needs one (text is UTF-8).
void AppendCsvText(std::string& out, std::string_view text);

} // namespace varnel
