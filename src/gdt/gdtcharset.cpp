#include "gdtcharset.h"

#include "records/cp1252.h"

#include <array>

namespace {

// Code points of the bytes 80 to FF in code page 437.
constexpr std::array<char16_t, 128> cp437High = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, //
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5, //
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, //
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, //
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA, //
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB, //
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, //
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510, //
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, //
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, //
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B, //
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580, //
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, //
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229, //
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248, //
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0, //
};

// The eight positions where the German 7-bit set differs from ASCII.
struct Replacement
{
    char byte;
    char16_t character;
};
constexpr std::array<Replacement, 8> din66003 = {{
    {0x40, u'§'},
    {0x5B, u'Ä'},
    {0x5C, u'Ö'},
    {0x5D, u'Ü'},
    {0x7B, u'ä'},
    {0x7C, u'ö'},
    {0x7D, u'ü'},
    {0x7E, u'ß'},
}};

bool isControl(char16_t c)
{
    return c < 0x20 || (c >= 0x7F && c < 0xA0);
}

// The character of one byte, or none when the set has no printable one there.
std::optional<char16_t> characterOf(unsigned char b, GdtCharset charset)
{
    if (b < 0x20 || b == 0x7F)
        return std::nullopt;
    switch (charset) {
    case GdtCharset::SevenBit:
        if (b >= 0x80)
            return std::nullopt;
        for (const Replacement &r : din66003) {
            if (static_cast<unsigned char>(r.byte) == b)
                return r.character;
        }
        return char16_t(b);
    case GdtCharset::Cp437:
        return b < 0x80 ? char16_t(b) : cp437High[b - 0x80];
    case GdtCharset::Ansi: {
        const char byte = static_cast<char>(b);
        const char16_t c = decodeCp1252(QByteArrayView(&byte, 1)).at(0).unicode();
        return isControl(c) ? std::nullopt : std::optional<char16_t>(c);
    }
    }
    return std::nullopt;
}

// The byte of one character, or -1 when the set cannot hold it.
int byteOf(char32_t c, GdtCharset charset)
{
    if (c > 0xFFFF || isControl(char16_t(c)))
        return -1;
    switch (charset) {
    case GdtCharset::SevenBit:
        for (const Replacement &r : din66003) {
            if (r.character == c)
                return static_cast<unsigned char>(r.byte);
            if (static_cast<unsigned char>(r.byte) == c)
                return -1; // its byte means the umlaut
        }
        return c < 0x80 ? int(c) : -1;
    case GdtCharset::Cp437:
        if (c < 0x80)
            return int(c);
        for (std::size_t i = 0; i < cp437High.size(); ++i) {
            if (cp437High[i] == c)
                return int(0x80 + i);
        }
        return -1;
    case GdtCharset::Ansi:
        // Windows-1252's additions at 80-9F are control codes in ISO 8859-1.
        return c <= 0xFF ? int(c) : -1;
    }
    return -1;
}

} // namespace

std::optional<GdtCharset> gdtCharsetFromField(QByteArrayView content)
{
    if (content == "1")
        return GdtCharset::SevenBit;
    if (content == "2")
        return GdtCharset::Cp437;
    if (content == "3")
        return GdtCharset::Ansi;
    return std::nullopt;
}

QByteArray gdtCharsetField(GdtCharset charset)
{
    return QByteArray::number(static_cast<int>(charset));
}

QString gdtCharsetName(GdtCharset charset)
{
    switch (charset) {
    case GdtCharset::SevenBit:
        return QStringLiteral("7-Bit (DIN 66003)");
    case GdtCharset::Cp437:
        return QStringLiteral("Codepage 437");
    case GdtCharset::Ansi:
        return QStringLiteral("ISO 8859-1 / Windows-ANSI");
    }
    return {};
}

std::optional<QString> decodeGdtText(QByteArrayView bytes, GdtCharset charset, qsizetype *badByte)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto c = characterOf(static_cast<unsigned char>(bytes[i]), charset);
        if (!c) {
            if (badByte)
                *badByte = i;
            return std::nullopt;
        }
        *out++ = QChar(*c);
    }
    return text;
}

QByteArray encodeGdtText(const QString &text, GdtCharset charset, QString *unencodable)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar ch = text.at(i);
        char32_t c = ch.unicode();
        QString shown(ch);
        if (ch.isHighSurrogate() && i + 1 < n && text.at(i + 1).isLowSurrogate()) {
            c = QChar::surrogateToUcs4(ch, text.at(i + 1));
            shown = text.mid(i, 2);
            ++i;
        }
        const int b = byteOf(c, charset);
        if (b >= 0) {
            bytes += static_cast<char>(b);
            continue;
        }
        bytes += '?';
        if (unencodable && !unencodable->contains(shown))
            *unencodable += shown;
    }
    return bytes;
}
