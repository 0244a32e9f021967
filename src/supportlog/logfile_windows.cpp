#include "logfile.h"

#include <QDir>

QString defaultLogFile()
{
    QString local = qEnvironmentVariable("LOCALAPPDATA");
    if (local.isEmpty())
        local = QDir::homePath() + QStringLiteral("/AppData/Local");
    return QDir::fromNativeSeparators(local) + QStringLiteral("/Tessarine/tessarine.log");
}
