#include "atomicfile.h"
#include "atomicfile_platform.h"

#include "common/failure.h"
#include "files/systemerror.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

namespace atomicfile {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

void fail(const QString &what, const QString &path, int error, const QString &addition)
{
    throw Failure(QStringLiteral("Die Datei „%1“ kann nicht %2 werden: %3")
                      .arg(shown(path), what, systemCause(error)) +
                  addition);
}

void failNotRegular(const QString &path)
{
    throw Failure(QStringLiteral("„%1“ ist keine gewöhnliche Datei (sondern z. B. ein Ordner oder "
                                 "eine Pipe) und wird nicht geöffnet.")
                      .arg(shown(path)));
}

// A link could put one person's record into another person's file, or anywhere.
void failLink(const QString &path)
{
    throw Failure(QStringLiteral("Die Datei „%1“ ist eine symbolische Verknüpfung und wird nicht "
                                 "geöffnet.")
                      .arg(shown(path)));
}

QString rollbackFailed()
{
    return QStringLiteral(" Die Datei konnte nicht auf ihren vorigen Stand zurückgesetzt werden.");
}

// A short name, so that a long final name cannot make it too long.
QString temporaryPath(const QString &path)
{
    return QFileInfo(path).absolutePath() +
           QStringLiteral("/.tessarine-%1.tmp")
               .arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0'));
}

QByteArray missingLineEnd(QByteArrayView tail)
{
    if (tail.endsWith('\n'))
        return {};
    return tail.endsWith('\r') ? QByteArray("\n") : QByteArray("\r\n");
}

} // namespace atomicfile

bool fileExists(const QString &path)
{
    if (atomicfile::isLink(path))
        atomicfile::failLink(path);
    const QFileInfo info(path);
    if (!info.exists())
        return false;
    if (!info.isFile())
        atomicfile::failNotRegular(path);
    return true;
}

bool PendingFile::placeNew()
{
    const int error = atomicfile::moveWithoutReplacing(m_tempPath, m_path);
    if (error == atomicfile::movedNothing)
        return false;
    if (error != 0)
        atomicfile::fail(QStringLiteral("angelegt"), m_path, error);
    m_tempPath.clear();
    return true;
}

bool renameWithoutReplacing(const QString &from, const QString &to)
{
    const int error = atomicfile::moveWithoutReplacing(from, to);
    if (error != 0 && error != atomicfile::movedNothing)
        atomicfile::fail(QStringLiteral("umbenannt"), from, error);
    return error == 0;
}

bool createNewFile(const QString &path, const QByteArray &bytes)
{
    PendingFile file(path);
    file.write(bytes);
    return file.placeNew();
}
