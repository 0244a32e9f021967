#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Windows-1252, the single-byte code page of every file the station reads and writes.
// Decoding never fails: the five bytes the code page leaves undefined (81, 8D, 8F, 90,
// 9D) become the C1 control characters of the same value, and encode back to them.

QString decodeCp1252(QByteArrayView bytes);

// Characters of text that Windows-1252 cannot hold, each once, in order of first
// appearance (a character outside the Basic Multilingual Plane counts as one).
QString cp1252Unencodable(const QString &text);

inline bool isCp1252Encodable(const QString &text)
{
    return cp1252Unencodable(text).isEmpty();
}

// The bytes of text; a character that cannot be encoded becomes '?' and is listed in
// *unencodable when given.
QByteArray encodeCp1252(const QString &text, QString *unencodable = nullptr);
