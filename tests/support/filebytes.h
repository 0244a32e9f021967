#pragma once

// Files as bytes, for checking exactly what the station wrote and for laying out
// files the way an installation or an earlier run left them.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <filesystem>

// The whole file, or nothing when it does not exist.
inline QByteArray readBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// Replaces the file with bytes; a test that cannot set up its files cannot go on.
inline void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// A symbolic link at link to target; false where the system makes none (Wine).
inline bool makeSymbolicLink(const QString &target, const QString &link)
{
    std::error_code error;
    std::filesystem::create_symlink(target.toStdU16String(), link.toStdU16String(), error);
    return !error;
}
