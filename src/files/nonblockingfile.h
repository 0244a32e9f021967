#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

// A file opened for reading without blocking, whatever lies under the name (a link is
// followed): a FIFO or device is found out by looking at it, not by waiting on it.
// Failures throw a Failure naming the file.
class NonBlockingFile
{
public:
    explicit NonBlockingFile(const QString &path);
    ~NonBlockingFile();
    NonBlockingFile(const NonBlockingFile &) = delete;
    NonBlockingFile &operator=(const NonBlockingFile &) = delete;

    // A regular file (after following a link); pipes, devices and folders are not.
    bool isRegular() const { return m_regular; }
    // The size when opened; only for a regular file.
    qint64 size() const { return m_size; }
    // Up to count bytes into data; 0 at the end of the file.
    qint64 read(char *data, qint64 count);
    // The content up to limit + 1 bytes: more than limit when the file is larger, even if
    // it grew after it was opened.
    QByteArray readUpTo(qint64 limit);

private:
    [[noreturn]] void fail(int error) const;

    QString m_path;
    std::intptr_t m_handle;
    bool m_regular = false;
    qint64 m_size = 0;
};
