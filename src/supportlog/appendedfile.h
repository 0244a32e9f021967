#pragma once

#include <QByteArrayView>
#include <QString>

#include <cstdint>

// A log file opened for appending, as the platform files open it: without following a
// link at its name and without blocking, whatever lies there. Only a regular file is
// taken; a missing one is created exclusively (on Linux with mode 0600). Several
// processes may append to one file at the same time: every write goes to its end.
class AppendedFile
{
public:
    explicit AppendedFile(const QString &path);
    ~AppendedFile();
    AppendedFile(const AppendedFile &) = delete;
    AppendedFile &operator=(const AppendedFile &) = delete;

    // Empty when open, else why not (German, e.g. "es ist keine gewöhnliche Datei").
    QString problem() const { return m_problem; }
    bool isOpen() const { return m_problem.isEmpty(); }
    // False once the name leads to another file or none: it was renamed or replaced.
    bool isAtItsPath() const;
    qint64 size() const;
    // Empty when all bytes are written, else the system's cause.
    QString append(QByteArrayView bytes);

private:
    QString m_path;
    std::intptr_t m_handle = -1;
    QString m_problem;
};

// Creates one folder (on Linux with mode 0700, as it holds the log); empty when done or
// when something is there already, else the system's cause.
QString createFolder(const QString &path);
