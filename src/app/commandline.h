#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The few things the station leaves to the installation: which serial device the
// scale is on and where the history files live.
struct CommandLine
{
    QString port;
    QString dataDir;
    bool simulateScale = false;
};

// Platform defaults: COM1 and "C:\Eigene Dateien" on Windows, /dev/ttyS0 and
// "$HOME/Eigene Dateien" elsewhere.
QString defaultPort();
QString defaultDataDir();

// Parses the arguments (program name first). --help and --version print and exit 0;
// an unknown option or a stray argument prints an error to stderr and exits 2.
CommandLine parseCommandLine(const QStringList &arguments);
