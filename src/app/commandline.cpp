#include "commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

#include <cstdio>
#include <cstdlib>

QString defaultPort()
{
#ifdef Q_OS_WIN
    return QStringLiteral("COM1");
#else
    return QStringLiteral("/dev/ttyS0");
#endif
}

QString defaultDataDir()
{
#ifdef Q_OS_WIN
    return QStringLiteral("C:/Eigene Dateien");
#else
    return QDir::homePath() + QStringLiteral("/Eigene Dateien");
#endif
}

CommandLine parseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Tessarine – BMI-Station: Waage, Verlauf, Grafik und Ausdruck."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption port(
        QStringLiteral("port"),
        QStringLiteral("Serielle Schnittstelle der Waage (Vorgabe: %1).").arg(defaultPort()),
        QStringLiteral("DEVICE"), defaultPort());
    const QCommandLineOption dataDir(
        QStringLiteral("data-dir"),
        QStringLiteral("Verzeichnis der Verlaufs- und Bewertungsdateien (Vorgabe: %1).")
            .arg(QDir::toNativeSeparators(defaultDataDir())),
        QStringLiteral("DIR"), defaultDataDir());
    const QCommandLineOption simulate(
        QStringLiteral("simulate-scale"),
        QStringLiteral("Simulierte Waage statt der seriellen Leitung."));
    parser.addOptions({port, dataDir, simulate});

    if (!parser.parse(arguments)) {
        std::fprintf(stderr, "%s\n%s\n", qPrintable(parser.errorText()),
                     "Aufruf: tessarine [--port DEVICE] [--data-dir DIR] [--simulate-scale]");
        std::exit(2);
    }
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();
    if (!parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "Unerwartetes Argument: %s\n",
                     qPrintable(parser.positionalArguments().constFirst()));
        std::exit(2);
    }

    CommandLine result;
    result.port = parser.value(port);
    result.dataDir = QDir::cleanPath(parser.value(dataDir));
    result.simulateScale = parser.isSet(simulate);
    return result;
}
