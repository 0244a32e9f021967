#include "statedirectory.h"

#include <QDir>

QString stateDirectory()
{
    QString local = qEnvironmentVariable("LOCALAPPDATA");
    if (local.isEmpty())
        local = QDir::homePath() + QStringLiteral("/AppData/Local");
    return QDir::fromNativeSeparators(local) + QStringLiteral("/Tessarine");
}
