#include "gdtfiles.h"

#include "common/failure.h"
#include "records/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

[[noreturn]] void fail(const QString &path, const QString &what, const QString &cause)
{
    throw Failure(
        QStringLiteral("Die Datei „%1“ kann nicht %2 werden: %3").arg(shown(path), what, cause));
}

} // namespace

QString requestFileName(const QString &stationId, const QString &practiceId)
{
    return stationId + practiceId + QStringLiteral(".GDT");
}

QString answerFileName(const QString &stationId, const QString &practiceId)
{
    return practiceId + stationId + QStringLiteral(".GDT");
}

QString findFileIgnoringCase(const QString &dir, const QString &name)
{
    const QDir directory(dir);
    if (QFileInfo(directory.filePath(name)).isFile())
        return directory.filePath(name);
    const QStringList entries = directory.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return directory.filePath(entry);
    }
    return {};
}

QByteArray readExchangeFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(path, QStringLiteral("gelesen"), file.errorString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        fail(path, QStringLiteral("gelesen"), file.errorString());
    return bytes;
}

void removeExchangeFile(const QString &path)
{
    QFile file(path);
    if (!file.remove())
        fail(path, QStringLiteral("gelöscht"), file.errorString());
}

QString moveAside(const QString &path)
{
    QFile file(path);
    for (int n = 1; n < 1000; ++n) {
        const QString aside = n == 1 ? path + QStringLiteral(".fehlerhaft")
                                     : QStringLiteral("%1.%2.fehlerhaft").arg(path).arg(n);
        if (QFileInfo::exists(aside))
            continue;
        if (file.rename(aside))
            return aside;
        if (!QFileInfo::exists(aside))
            fail(path, QStringLiteral("umbenannt"), file.errorString());
    }
    fail(path, QStringLiteral("umbenannt"),
         QStringLiteral("Es gibt schon 999 fehlerhafte Dateien dieses Namens."));
}

Delivery deliverFile(const QString &dir, const QString &name, const QByteArray &bytes)
{
    if (!findFileIgnoringCase(dir, name).isEmpty())
        return Delivery::Waiting;
    // Written whole under a temporary name and put in place without replacing: a file
    // that appeared meanwhile is an unread one, and the new file waits.
    return createNewFile(QDir(dir).filePath(name), bytes) ? Delivery::Written : Delivery::Waiting;
}
