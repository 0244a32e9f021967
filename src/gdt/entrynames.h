#pragma once

#include <QString>
#include <QStringList>

// The names in a directory that begin with prefix, ignoring the case of ASCII letters,
// in no order, read without asking the system about any entry: an exchange directory
// may hold thousands of files of which a few are requests, whose names share one known
// beginning. The other names are not even decoded. None when the directory cannot be
// read, as QDir lists it.
QStringList entryNamesStartingWith(const QString &directory, const QString &prefix);
