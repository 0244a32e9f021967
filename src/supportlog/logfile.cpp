#include "logfile.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>

#include <cstdio>

namespace {

QString rotated(const QString &path, int n)
{
    return QStringLiteral("%1.%2").arg(path).arg(n);
}

// Folder by folder, so that a failure names the system's cause (QDir::mkpath tells
// none, and the open would then say only that the file is not there).
QString createFolders(const QString &folder)
{
    const QString parent = QFileInfo(folder).path();
    if (QFileInfo(folder).isDir() || parent == folder)
        return {};
    const QString cause = createFolders(parent);
    return cause.isEmpty() ? createFolder(folder) : cause;
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

LogFile::~LogFile() = default;

void LogFile::open()
{
    if (const QString cause = createFolders(QFileInfo(m_path).absolutePath()); !cause.isEmpty())
        return giveUp(cause);
    m_file = std::make_unique<AppendedFile>(m_path);
    if (!m_file->isOpen())
        giveUp(m_file->problem());
}

void LogFile::write(const QString &line)
{
    if (!m_file)
        return;
    // Another station rotated the file away (or someone replaced it): the lines
    // belong in the file now at the path, not in one that a rotation will drop.
    if (!m_file->isAtItsPath()) {
        open();
        if (!m_file)
            return;
    }
    const QByteArray bytes = line.toUtf8() + '\n';
    if (m_file->size() > 0 && m_file->size() + bytes.size() > rotateAt) {
        rotate();
        if (!m_file)
            return;
    }
    if (const QString cause = m_file->append(bytes); !cause.isEmpty())
        giveUp(cause);
}

void LogFile::rotate()
{
    QLockFile lock(m_path + QStringLiteral(".lock"));
    if (!lock.tryLock(std::chrono::seconds(5)))
        return; // another station holds it for long: this line goes on the full file
    // Rotated by another station while this one waited.
    if (!m_file->isAtItsPath()) {
        open();
        return;
    }
    m_file.reset();
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
    m_file.reset();
    m_complain(QStringLiteral("Tessarine kann das Protokoll „%1“ nicht schreiben (%2) und "
                              "arbeitet ohne Protokoll weiter.")
                   .arg(QDir::toNativeSeparators(m_path), cause));
}
