#pragma once

#include <QString>
#include <QStringList>

// The names in a directory that are length characters long, in no order, read without
// asking the system about any entry: an exchange directory may hold thousands of files
// of which a few are requests, whose names have one known length. Names of ASCII
// characters are measured exactly (on POSIX systems a name's length counts its bytes).
// None when the directory cannot be read, as QDir lists it.
QStringList entryNamesOfLength(const QString &directory, qsizetype length);
