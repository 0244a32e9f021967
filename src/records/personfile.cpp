#include "personfile.h"

#include "atomicfile.h"
#include "common/failure.h"
#include "cp1252.h"
#include "textfile.h"

#include <QDir>

QString personFilePath(const QString &dataDir, const QString &first, const QString &last)
{
    return dataDir + QLatin1Char('/') + personName(first, last) + QStringLiteral(".txt");
}

bool isSafeName(const QString &name)
{
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    for (const QChar ch : name) {
        if (forbidden.contains(ch) || ch.category() == QChar::Other_Control)
            return false;
    }
    return isCp1252Encodable(name);
}

QString personName(const QString &first, const QString &last)
{
    return first + QLatin1Char(' ') + last;
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
