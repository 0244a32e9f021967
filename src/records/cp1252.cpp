#include "cp1252.h"

#include <array>

namespace {

// Code points of the bytes 80 to 9F; the undefined ones keep their own value.
constexpr std::array<char16_t, 32> high = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The byte of a code point, or -1 when the code page has none.
int byteOf(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<int>(c);
    for (std::size_t i = 0; i < high.size(); ++i) {
        if (high[i] == c)
            return static_cast<int>(0x80 + i);
    }
    return -1;
}

// Calls f(codePoint, text) for each character, a surrogate pair as one.
template <typename F> void forEachCharacter(const QString &text, F f)
{
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar ch = text.at(i);
        if (ch.isHighSurrogate() && i + 1 < n && text.at(i + 1).isLowSurrogate()) {
            f(QChar::surrogateToUcs4(ch, text.at(i + 1)), text.mid(i, 2));
            ++i;
        } else {
            f(char32_t(ch.unicode()), QString(ch));
        }
    }
}

} // namespace

QString decodeCp1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        *out++ = QChar(u >= 0x80 && u < 0xA0 ? high[u - 0x80] : char16_t(u));
    }
    return text;
}

QString cp1252Unencodable(const QString &text)
{
    QString bad;
    forEachCharacter(text, [&bad](char32_t c, const QString &ch) {
        if (byteOf(c) < 0 && !bad.contains(ch))
            bad += ch;
    });
    return bad;
}

QByteArray encodeCp1252(const QString &text, QString *unencodable)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    forEachCharacter(text, [&](char32_t c, const QString &ch) {
        const int b = byteOf(c);
        if (b >= 0) {
            bytes += static_cast<char>(b);
        } else {
            bytes += '?';
            if (unencodable && !unencodable->contains(ch))
                *unencodable += ch;
        }
    });
    return bytes;
}
