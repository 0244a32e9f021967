#include "gdtfiles.h"

#include "common/failure.h"
#include "files/nonblockingfile.h"
#include "files/atomicfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

QString requestFileName(const QString &stationId, const QString &practiceId)
{
    return stationId + practiceId + QStringLiteral(".GDT");
}

QString answerFileName(const QString &stationId, const QString &practiceId)
{
    return practiceId + stationId + QStringLiteral(".GDT");
}

bool isRequestFileName(const QString &name, const QString &stationId, const QString &practiceId)
{
    const QString stem = stationId + practiceId + QLatin1Char('.');
    if (name.size() != stem.size() + 3 || !name.startsWith(stem, Qt::CaseInsensitive))
        return false;
    const QStringView suffix = QStringView(name).sliced(stem.size());
    if (suffix.compare(u"GDT", Qt::CaseInsensitive) == 0)
        return true;
    return std::all_of(suffix.begin(), suffix.end(),
                       [](QChar c) { return c >= u'0' && c <= u'9'; });
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

ExchangeFileRead readExchangeFile(const QString &path, qint64 limit)
{
    NonBlockingFile file(path);
    if (!file.isRegular())
        return {ExchangeFileRead::Kind::NotAFile, {}, 0};
    if (file.size() > limit)
        return {ExchangeFileRead::Kind::TooLarge, {}, file.size()};

    // Read to one byte past the limit: the file may have grown since it was opened.
    QByteArray bytes = file.readUpTo(limit);
    const qint64 total = bytes.size();
    if (total > limit)
        return {ExchangeFileRead::Kind::TooLarge, {}, total};
    return {ExchangeFileRead::Kind::Read, std::move(bytes), total};
}

void removeExchangeFile(const QString &path)
{
    removeFile(path);
}

QString moveAside(const QString &path, const QString &named)
{
    const QString base = named.isEmpty() ? path : named;
    for (int n = 1; n < 1000; ++n) {
        const QString aside = n == 1 ? base + QStringLiteral(".fehlerhaft")
                                     : QStringLiteral("%1.%2.fehlerhaft").arg(base).arg(n);
        if (renameWithoutReplacing(path, aside))
            return aside;
    }
    throw Failure(QStringLiteral("Die Datei „%1“ kann nicht umbenannt werden: Es gibt schon 999 "
                                 "fehlerhafte Dateien dieses Namens.")
                      .arg(QDir::toNativeSeparators(path)));
}

Delivery deliverFile(const QString &dir, const QString &name, const QByteArray &bytes)
{
    if (!findFileIgnoringCase(dir, name).isEmpty())
        return Delivery::Waiting;
    // Written whole under a temporary name and put in place without replacing: a file
    // that appeared meanwhile is an unread one, and the new file waits.
    return createNewFile(QDir(dir).filePath(name), bytes) ? Delivery::Written : Delivery::Waiting;
}
