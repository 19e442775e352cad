#pragma once
// The forms' side of the Windows-1252 text edge (app/ui/text1252.h): conversions under short
// names, and the case-insensitive search of the unit lists.

#include "app/ui/text1252.h"

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

// Lower case of a Windows-1252 byte: ASCII and the accented letters with a lower-case partner.
unsigned char foldCase(unsigned char byte);
// Whether `haystack` contains `needle`, both Windows-1252 and compared without regard to case.
// `foldedNeedle` must already be folded with foldCase. An empty needle is contained everywhere.
bool containsFolded(std::string_view haystack, std::string_view foldedNeedle);
std::string folded(std::string_view bytes);

} // namespace varnel::viewtext
