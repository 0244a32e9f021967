#pragma once

#include "appendedfile.h"

#include <QString>

#include <functional>
#include <memory>

// The support log's file. Lines are appended as UTF-8; at rotateAt bytes the file
// becomes path.1, the older ones move on to path.4 and the oldest is dropped, so that
// the log never grows without bound. Only a regular file is written (appendedfile.h):
// a link, FIFO, device or folder at the path is refused. Stations may share one log:
// before each line the file at the path is checked to be the one open, else opened
// anew (another station rotated it), and a rotation holds a lock file (path.lock)
// across processes, so that two never interleave. A log that cannot be opened or
// written stops nothing: it is told once (complain; standard error by default), and
// lines go nowhere from then on.
class LogFile
{
public:
    static constexpr qint64 rotateAt = 1024 * 1024;
    static constexpr int keptFiles = 4;

    explicit LogFile(const QString &path, std::function<void(const QString &)> complain = {});
    ~LogFile();

    QString path() const { return m_path; }
    bool isWriting() const { return m_file != nullptr; }
    void write(const QString &line);

private:
    void open();
    void rotate();
    void giveUp(const QString &cause);

    QString m_path;
    std::unique_ptr<AppendedFile> m_file; // none once given up
    std::function<void(const QString &)> m_complain;
};
