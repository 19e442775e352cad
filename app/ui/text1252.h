#pragma once
// Text at the edge of the editor. The core keeps names, country names and paths as bytes; the
// widgets show names as Windows-1252 (every byte value has a character, so nothing is lost on the
// way there and back) and paths in the system's file-name encoding.

#include <QString>

#include <optional>
#include <string>
#include <string_view>

namespace varnel {

// Each of the 256 byte values becomes one character. The five bytes Windows-1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the control characters of the same number, so
// they come back unchanged.
QString FromWindows1252(std::string_view bytes);

// The position of the first character of `text` that Windows-1252 cannot hold, or -1.
qsizetype FirstNonWindows1252(const QString& text);

// The bytes of `text`, or nothing when a character cannot be held (see FirstNonWindows1252).
std::optional<std::string> ToWindows1252(const QString& text);

// The message for a text that ToWindows1252 refuses, naming the first character it cannot hold.
QString Windows1252Refusal(const QString& text);

// A text of the data (a country, unit, icon or file name) for a control that reads "&" as the
// mark of its shortcut letter (check box, button, group box, menu entry): each "&" doubled, so
// the control shows the text as it is.
QString Verbatim(const QString& text);

// Paths and file names, in the system's file-name encoding.
QString FromPath(const std::string& path);
std::string ToPath(const QString& path);

// A message of the core for display: its paths are in the file-name encoding (UTF-8 here), names
// quoted in it are Windows-1252 bytes. Text that is not valid UTF-8 is shown as Windows-1252.
QString FromMessage(const std::string& text);

} // namespace varnel
