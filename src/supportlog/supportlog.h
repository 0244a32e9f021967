#pragma once

#include "logfile.h"

#include <QString>

#include <memory>

// While a SupportLog lives, every message of the program (qCInfo(logScale) and the
// like, and Qt's own) goes to its log file as one line, and warnings and Qt's own
// messages also where they went before (standard error). An empty path keeps the file
// off. One at a time.
class SupportLog
{
public:
    explicit SupportLog(const QString &path, std::function<void(const QString &)> complain = {});
    ~SupportLog();
    SupportLog(const SupportLog &) = delete;
    SupportLog &operator=(const SupportLog &) = delete;

    // False when the log is off or could not be written.
    bool isWriting() const;

private:
    std::unique_ptr<LogFile> m_file;
};
