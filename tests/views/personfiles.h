#pragma once

// PersonFiles for the view tests, written as the station stores them: Windows-1252
// bytes, CR LF after every line.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTest>

inline QString recordLine(const QString &bmi)
{
    return QStringLiteral("  06.12.2026    72,5kg    1750mm     BMI: ") + bmi;
}

// Every character used here lies in the range where Windows-1252 and Latin-1 agree.
inline QByteArray storedBytes(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += line.toLatin1() + "\r\n";
    return bytes;
}

inline QStringList personLines(const QString &header, const QStringList &bmis)
{
    QStringList lines{header, QString()};
    for (const QString &bmi : bmis)
        lines << recordLine(bmi);
    return lines;
}

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(path.section(QLatin1Char('/'), 0, -2));
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(file.errorString()));
    QCOMPARE(file.write(bytes), bytes.size());
}
