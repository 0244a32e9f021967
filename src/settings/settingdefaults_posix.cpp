#include "settingkeys.h"

#include <QDir>

QString defaultPort()
{
    return QStringLiteral("/dev/ttyS0");
}

QString defaultDataDir()
{
    return QDir::homePath() + QStringLiteral("/Eigene Dateien");
}
