#pragma once
// The forms' side of the Windows-1252 text edge (app/ui/text1252.h): conversions under short
// names.

#include "app/ui/text1252.h"

#include <QColor>
#include <QString>

#include <optional>
#include <string>
#include <string_view>

namespace varnel::viewtext {

inline QString toQString(std::string_view bytes) {
    return FromWindows1252(bytes);
}
// The bytes of `text`, or nothing when it holds a character Windows-1252 cannot hold.
inline std::optional<std::string> toBytes(const QString& text) {
    return ToWindows1252(text);
}
// An ASCII text of the core (formats, vocabularies) as a QString.
inline QString ascii(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// The tint of a value, a unit or a field changed since the game's last load or save.
inline QColor changedTint() {
    return QColor(255, 236, 170);
}

} // namespace varnel::viewtext
