#include "statedirectory.h"

QString defaultLogFile()
{
    return stateDirectory() + QStringLiteral("/tessarine.log");
}
