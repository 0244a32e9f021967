#include "systemshutdown.h"

// No Windows to shut down: SystemShutdown ends the program instead.

ShutdownPlatform NativeShutdownSystem::platform() const
{
    return {};
}

QString NativeShutdownSystem::startStationCommand()
{
    return QStringLiteral("nur unter Windows");
}

QString NativeShutdownSystem::enableShutdownPrivilege()
{
    return QStringLiteral("nur unter Windows");
}

QString NativeShutdownSystem::exitWindows()
{
    return QStringLiteral("nur unter Windows");
}
