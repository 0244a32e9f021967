// One station storing one measurement, for tests that run several at once on one data
// directory. After its existence test it prints "geprüft" and waits until the file
// named by its last argument appears, so that every station has tested before any
// of them writes. Arguments: PersonFile, station name, go file.
#include "common/failure.h"
#include "files/atomicfile.h"
#include "records/personfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QThread>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 4)
        return 2;
    const QString path = args.at(1);
    const QString station = args.at(2);
    const QString go = args.at(3);
    const auto testThenWait = [&go](const QString &tested) {
        const bool exists = fileExists(tested);
        std::puts("geprüft");
        std::fflush(stdout);
        while (!QFile::exists(go))
            QThread::msleep(1);
        return exists;
    };
    try {
        const Stored stored = storeMeasurement(
            path, headerLine(station, sexWord(false), QStringLiteral("30")),
            recordLine(station, QStringLiteral("80"), QStringLiteral("1800"), QStringLiteral("24")),
            testThenWait);
        std::puts(stored == Stored::Created ? "angelegt" : "angehängt");
        return 0;
    } catch (const Failure &failure) {
        std::fputs(qPrintable(failure.message()), stderr);
        return 1;
    }
}
