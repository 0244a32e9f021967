#include "gdtanswerdelivery.h"

#include "common/failure.h"
#include "files/atomicfile.h"
#include "gdtfiles.h"

#include <QDir>
#include <QFileInfo>

#include <set>

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

GdtAnswerDelivery failed(const QString &path, const QString &message)
{
    return {GdtAnswerDelivery::Kind::Failed, path, message};
}

QString noFileThere(const QString &path)
{
    return QStringLiteral("Die GDT-Antwort kann nicht als „%1“ geschrieben werden: Unter dem "
                          "Namen liegt etwas, das keine Datei ist (z. B. ein Verzeichnis). Die "
                          "Antwort wartet, bis es entfernt ist.")
        .arg(shown(path));
}

QString lyingUnread(const QString &path)
{
    return QStringLiteral("Die GDT-Antwort „%1“ liegt seit über %2 Minuten ungelesen da; jede "
                          "weitere Antwort wartet auf sie. Liest die Praxissoftware Antworten, "
                          "ohne sie zu löschen, hilft die Einstellung gdt/answerNames = numbered "
                          "(Antworten als .001, .002 …).")
        .arg(shown(path))
        .arg(unreadAnswerLimit.count());
}

GdtAnswerDelivery deliverFixed(const QString &dir, const QString &name, const QByteArray &bytes,
                               const QDateTime &now)
{
    const QString path = QDir(dir).filePath(name);
    const QFileInfo there(path);
    if (there.exists() && !there.isFile())
        return failed(path, noFileThere(path));
    if (const QString unread = findFileIgnoringCase(dir, name); !unread.isEmpty()) {
        const ExchangeFileRead read = readExchangeFile(unread);
        if (read.kind == ExchangeFileRead::Kind::Read && read.bytes == bytes)
            return {GdtAnswerDelivery::Kind::Written, unread, {}};
        const QDateTime written = QFileInfo(unread).lastModified();
        const bool tooLong =
            written.secsTo(now) >=
            std::chrono::duration_cast<std::chrono::seconds>(unreadAnswerLimit).count();
        return {GdtAnswerDelivery::Kind::Waiting, unread,
                tooLong ? lyingUnread(unread) : QString()};
    }
    if (!createNewFile(path, bytes))
        return {GdtAnswerDelivery::Kind::Waiting, path, {}};
    return {GdtAnswerDelivery::Kind::Written, path, {}};
}

} // namespace

GdtAnswerNames gdtAnswerNamesFromSetting(const QString &value)
{
    return value == QLatin1String("numbered") ? GdtAnswerNames::Numbered : GdtAnswerNames::Fixed;
}

QString nextNumberedAnswer(const QString &dir, const QString &stem)
{
    std::set<int> taken;
    const QString prefix = stem + QLatin1Char('.');
    for (const QString &entry : QDir(dir).entryList(QDir::AllEntries | QDir::System | QDir::Hidden |
                                                    QDir::NoDotAndDotDot)) {
        if (entry.size() != prefix.size() + 3 || !entry.startsWith(prefix, Qt::CaseInsensitive))
            continue;
        bool ok = false;
        const int number = entry.sliced(prefix.size()).toInt(&ok);
        if (ok && number >= 1 && number <= 999)
            taken.insert(number);
    }
    int next = taken.empty() ? 1 : *taken.rbegin() + 1;
    if (next > 999) {
        next = 1;
        while (taken.contains(next))
            ++next;
        if (next > 999)
            return {};
    }
    return QDir(dir).filePath(prefix + QStringLiteral("%1").arg(next, 3, 10, QLatin1Char('0')));
}

GdtAnswerDelivery deliverGdtAnswer(const QString &dir, const QString &fixedName,
                                   GdtAnswerNames names, const QByteArray &bytes,
                                   const QDateTime &now)
{
    if (!QFileInfo(dir).isDir())
        return failed(dir, QStringLiteral("Das GDT-Antwortverzeichnis „%1“ ist nicht erreichbar.")
                               .arg(shown(dir)));
    try {
        if (names == GdtAnswerNames::Fixed)
            return deliverFixed(dir, fixedName, bytes, now);
        const QString stem = QFileInfo(fixedName).completeBaseName();
        // A number taken meanwhile is never replaced: the next one is tried.
        for (int tries = 0; tries < 999; ++tries) {
            const QString path = nextNumberedAnswer(dir, stem);
            if (path.isEmpty())
                break;
            if (createNewFile(path, bytes))
                return {GdtAnswerDelivery::Kind::Written, path, {}};
        }
        return failed(dir, QStringLiteral("Im GDT-Antwortverzeichnis „%1“ sind alle Nummern von "
                                          "%2.001 bis %2.999 belegt.")
                               .arg(shown(dir), stem));
    } catch (const Failure &failure) {
        return failed(dir, failure.message());
    }
}
