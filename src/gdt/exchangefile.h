#pragma once

#include <QString>

#include <cstdint>

// An exchange file opened for reading, as the platform files open it: without
// blocking, whatever lies under the name. Failures throw a Failure naming the file.
class ExchangeFile
{
public:
    explicit ExchangeFile(const QString &path);
    ~ExchangeFile();
    ExchangeFile(const ExchangeFile &) = delete;
    ExchangeFile &operator=(const ExchangeFile &) = delete;

    // A regular file (after following a link); pipes, devices and folders are not.
    bool isRegular() const { return m_regular; }
    // The size when opened; only for a regular file.
    qint64 size() const { return m_size; }
    // Up to count bytes into data; 0 at the end of the file.
    qint64 read(char *data, qint64 count);

private:
    [[noreturn]] void fail(int error) const;

    QString m_path;
    std::intptr_t m_handle;
    bool m_regular = false;
    qint64 m_size = 0;
};
