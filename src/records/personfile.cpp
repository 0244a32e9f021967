#include "personfile.h"

#include "common/failure.h"
#include "cp1252.h"
#include "files/atomicfile.h"
#include "textfile.h"

#include <QDir>

#include <algorithm>

namespace {

// Windows takes the part before the first dot, without blanks at its end, for the device.
bool isWindowsDeviceName(QStringView name)
{
    const qsizetype dot = name.indexOf(u'.');
    QStringView stem = dot < 0 ? name : name.first(dot);
    while (stem.endsWith(u' '))
        stem.chop(1);
    for (const char16_t *device : {u"CON", u"PRN", u"AUX", u"NUL"}) {
        if (stem.compare(device, Qt::CaseInsensitive) == 0)
            return true;
    }
    const bool numbered = stem.size() == 4 && (stem.startsWith(u"COM", Qt::CaseInsensitive) ||
                                               stem.startsWith(u"LPT", Qt::CaseInsensitive));
    return numbered && QStringView(u"0123456789\u00b9\u00b2\u00b3").contains(stem[3]);
}

} // namespace

QString personFilePath(const QString &dataDir, const QString &first, const QString &last)
{
    return dataDir + QLatin1Char('/') + personName(first, last) + QStringLiteral(".txt");
}

QString nameProblem(const QString &name)
{
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return QStringLiteral("besteht nur aus Leerzeichen");
    const auto unfit = [](QChar ch) {
        return forbidden.contains(ch) || ch.category() == QChar::Other_Control;
    };
    if (std::any_of(name.begin(), name.end(), unfit) || !isCp1252Encodable(name))
        return QStringLiteral("enthält ein Zeichen, das in keinem Dateinamen stehen darf");
    if (isWindowsDeviceName(trimmed))
        return QStringLiteral("ist unter Windows ein Gerätename (wie CON, NUL, COM1) und kann "
                              "keine Datei benennen");
    return {};
}

QString personName(const QString &first, const QString &last)
{
    return first.trimmed() + QLatin1Char(' ') + last.trimmed();
}

QString sexWord(bool woman)
{
    return woman ? QStringLiteral("  weiblich") : QStringLiteral("  männlich");
}

QString headerLine(const QString &name, const QString &sexWord, const QString &age)
{
    return name + sexWord + QStringLiteral(" ") + age + QStringLiteral("Jahre");
}

QString recordLine(const QString &date, const QString &weight, const QString &height,
                   const QString &bmi)
{
    return QStringLiteral("  ") + date + QStringLiteral("    ") + weight +
           QStringLiteral("kg    ") + height + QStringLiteral("mm    ") + QStringLiteral(" BMI: ") +
           bmi;
}

Stored storeMeasurement(const QString &path, const QString &header, const QString &record,
                        const std::function<bool(const QString &)> &exists)
{
    const QByteArray newFile = encodeLines(path, {header, QString(), record});
    const QByteArray oneRecord = encodeLines(path, {record});
    bool present = exists ? exists(path) : fileExists(path);
    // Two rounds cover a file that appears or vanishes between test and write. A file
    // left empty (by an earlier program that failed half-way) gets its header too.
    for (int round = 0; round < 2; ++round) {
        if (present) {
            // A record appended where no reader gets to it could never be shown.
            requireReadable(path);
            if (appendToExistingFile(path, oneRecord, newFile))
                return Stored::Appended;
        }
        if (createNewFile(path, newFile))
            return Stored::Created;
        present = true;
    }
    throw Failure(QStringLiteral("Die Datei „%1“ kann nicht gespeichert werden: sie wird "
                                 "gleichzeitig angelegt und gelöscht.")
                      .arg(QDir::toNativeSeparators(path)));
}

QString historyFilePath(const QString &dataDir, const QString &first, const QString &last)
{
    if (!isSafeName(first) || !isSafeName(last))
        return {};
    return personFilePath(dataDir, first, last);
}

QString noRecordMessage()
{
    return QStringLiteral("Kein Datensatz vorhanden ! !");
}
