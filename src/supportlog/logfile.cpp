#include "logfile.h"

#include "common/statedirectory.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace {

QString rotated(const QString &path, int n)
{
    return QStringLiteral("%1.%2").arg(path).arg(n);
}

void toStandardError(const QString &text)
{
    std::fprintf(stderr, "%s\n", qPrintable(text));
    std::fflush(stderr);
}

} // namespace

LogFile::LogFile(const QString &path, std::function<void(const QString &)> complain)
    : m_path(path), m_complain(complain ? std::move(complain) : toStandardError)
{
    open();
}

bool LogFile::open()
{
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    m_file.setFileName(m_path);
    // Only a new file gets these rights; one set up by an administrator keeps its own.
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append,
                     QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        giveUp(m_file.errorString());
        return false;
    }
    return true;
}

void LogFile::write(const QString &line)
{
    if (!m_file.isOpen())
        return;
    const QByteArray bytes = line.toUtf8() + '\n';
    if (m_file.size() > 0 && m_file.size() + bytes.size() > rotateAt) {
        rotate();
        if (!m_file.isOpen())
            return;
    }
    if (m_file.write(bytes) != bytes.size() || !m_file.flush())
        giveUp(m_file.errorString());
}

void LogFile::rotate()
{
    m_file.close();
    QFile::remove(rotated(m_path, keptFiles));
    for (int n = keptFiles - 1; n >= 1; --n)
        QFile::rename(rotated(m_path, n), rotated(m_path, n + 1));
    if (!QFile::rename(m_path, rotated(m_path, 1))) {
        giveUp(QStringLiteral("kann nicht in „%1“ umbenannt werden")
                   .arg(QDir::toNativeSeparators(rotated(m_path, 1))));
        return;
    }
    open();
}

void LogFile::giveUp(const QString &cause)
{
    m_file.close();
    m_complain(QStringLiteral("Tessarine kann das Protokoll „%1“ nicht schreiben (%2) und "
                              "arbeitet ohne Protokoll weiter.")
                   .arg(QDir::toNativeSeparators(m_path), cause));
}

QString defaultLogFile()
{
    return stateDirectory() + QStringLiteral("/tessarine.log");
}
