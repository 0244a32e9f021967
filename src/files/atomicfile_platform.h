#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// What the portable part of atomicfile shares with the system calls in
// atomicfile_posix.cpp and atomicfile_windows.cpp.
namespace atomicfile {

// Throws "Die Datei „path“ kann nicht <what> werden: <cause>" + addition.
[[noreturn]] void fail(const QString &what, const QString &path, int error,
                       const QString &addition = {});
[[noreturn]] void failNotRegular(const QString &path);
[[noreturn]] void failLink(const QString &path);

// True when path itself is a symbolic link (on Windows any reparse point), whatever it
// points to; false for anything else and for nothing at all.
bool isLink(const QString &path);
QString shown(const QString &path);

// Added to a failed append's message when the file could not be cut back.
QString rollbackFailed();

// A short hidden name beside path for a file that is put in place later.
QString temporaryPath(const QString &path);

// Where the bytes go when a file ends without a line end.
QByteArray missingLineEnd(QByteArrayView tail);

// Moves the file from to to, durably, unless a file named to exists. Returns 0, or
// movedNothing when to exists, or the system's error number.
constexpr int movedNothing = -1;
int moveWithoutReplacing(const QString &from, const QString &to);

} // namespace atomicfile
