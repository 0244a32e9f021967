#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// The three character sets a GDT record may declare in field 9206. Without the field
// a record is in code page 437.
enum class GdtCharset {
    SevenBit = 1, // 7-bit, German variant (DIN 66003): § Ä Ö Ü ä ö ü ß in place of @ [ \ ] { | } ~
    Cp437 = 2, // IBM PC code page 437
    Ansi = 3,  // ISO 8859-1; read as Windows writes it (Windows-1252), written strictly
};

// The set a 9206 content names ("1", "2" or "3"); none for anything else.
std::optional<GdtCharset> gdtCharsetFromField(QByteArrayView content);

// The 9206 content of a set, and its name for people ("7-Bit (DIN 66003)", ...).
QByteArray gdtCharsetField(GdtCharset charset);
QString gdtCharsetName(GdtCharset charset);

// The text of bytes in charset, or none when a byte is no printable character of it:
// a control byte (00-1F, 7F) in any set, any byte from 80 in the 7-bit set, and the
// bytes 81, 8D, 8F, 90, 9D that Windows-1252 leaves undefined. *badByte gets the index
// of the first such byte.
std::optional<QString> decodeGdtText(QByteArrayView bytes, GdtCharset charset,
                                     qsizetype *badByte = nullptr);

// The bytes of text in charset. A character the set cannot hold (in the ANSI set one
// outside ISO 8859-1), and a control character, becomes '?' and is listed once in
// *unencodable when given.
QByteArray encodeGdtText(const QString &text, GdtCharset charset, QString *unencodable = nullptr);
