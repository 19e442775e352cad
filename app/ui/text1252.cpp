#include "app/ui/text1252.h"

#include <QFile>
#include <QUtf8StringView>

#include <array>

namespace varnel {

namespace {

// Bytes 0x80..0x9F; the rest of Windows-1252 is Latin-1. The undefined five keep their number.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 0x98
};
constexpr unsigned kHighFirst = 0x80;
constexpr unsigned kHighLast = 0x9F;

// The byte of one character, or -1.
int byteOf(char16_t c) {
    if (c < kHighFirst || (c > kHighLast && c <= 0xFF))
        return c;
    for (unsigned i = 0; i < kHighControls.size(); ++i)
        if (kHighControls[i] == c)
            return static_cast<int>(kHighFirst + i);
    return -1;
}

} // namespace

QString FromWindows1252(std::string_view bytes) {
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        *out++ = QChar(b >= kHighFirst && b <= kHighLast ? kHighControls[b - kHighFirst]
                                                         : static_cast<char16_t>(b));
    }
    return text;
}

qsizetype FirstNonWindows1252(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i)
        if (byteOf(text.at(i).unicode()) < 0)
            return i;
    return -1;
}

std::optional<std::string> ToWindows1252(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar c : text) {
        const int b = byteOf(c.unicode());
        if (b < 0)
            return std::nullopt;
        bytes.push_back(static_cast<char>(b));
    }
    return bytes;
}

QString Windows1252Refusal(const QString& text) {
    const qsizetype at = FirstNonWindows1252(text);
    if (at < 0)
        return {};
    // A character outside the basic plane is two code units: name it whole.
    const bool pair =
        text.at(at).isHighSurrogate() && at + 1 < text.size() && text.at(at + 1).isLowSurrogate();
    const QString character = text.mid(at, pair ? 2 : 1);
    const char32_t code = pair ? QChar::surrogateToUcs4(text.at(at), text.at(at + 1))
                               : static_cast<char32_t>(text.at(at).unicode());
    const QString hex =
        QStringLiteral("%1").arg(static_cast<uint>(code), 4, 16, QLatin1Char('0')).toUpper();
    return QStringLiteral("The character \"%1\" (U+%2) cannot be stored: the game's files hold "
                          "only Windows-1252 text.\nNothing was changed.")
        .arg(character, hex);
}

QString Verbatim(const QString& text) {
    QString doubled = text;
    doubled.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return doubled;
}

QString FromPath(const std::string& path) {
    return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

std::string ToPath(const QString& path) {
    const QByteArray bytes = QFile::encodeName(path);
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QString FromMessage(const std::string& text) {
    if (QUtf8StringView(text.data(), static_cast<qsizetype>(text.size())).isValidUtf8())
        return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    return FromWindows1252(text);
}

} // namespace varnel
