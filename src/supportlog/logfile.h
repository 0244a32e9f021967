#pragma once

#include <QFile>
#include <QString>

#include <functional>

// The support log's file. Lines are appended as UTF-8; at rotateAt bytes the file
// becomes path.1, the older ones move on to path.4 and the oldest is dropped, so that
// the log never grows without bound. A file created here is readable by the account
// only (on Linux). A log that cannot be opened or written stops nothing: it is told
// once (complain; standard error by default), and lines go nowhere from then on.
class LogFile
{
public:
    static constexpr qint64 rotateAt = 1024 * 1024;
    static constexpr int keptFiles = 4;

    explicit LogFile(const QString &path, std::function<void(const QString &)> complain = {});

    QString path() const { return m_path; }
    bool isWriting() const { return m_file.isOpen(); }
    void write(const QString &line);

private:
    bool open();
    void rotate();
    void giveUp(const QString &cause);

    QString m_path;
    QFile m_file;
    std::function<void(const QString &)> m_complain;
};

// Where the log goes unless the settings say otherwise: on Linux
// $XDG_STATE_HOME/Tessarine/tessarine.log (~/.local/state/Tessarine), on Windows
// %LOCALAPPDATA%\Tessarine\tessarine.log.
QString defaultLogFile();
