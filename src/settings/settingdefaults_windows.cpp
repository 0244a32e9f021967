#include "settingkeys.h"

QString defaultPort()
{
    return QStringLiteral("COM1");
}

QString defaultDataDir()
{
    return QStringLiteral("C:/Eigene Dateien");
}
