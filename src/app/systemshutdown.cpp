#include "systemshutdown.h"

#include "common/failure.h"

#include <QCoreApplication>

ShutdownMechanism shutdownMechanism(const ShutdownPlatform &platform)
{
    if (!platform.windows)
        return ShutdownMechanism::EndProgram;
    if (platform.windows32Bit && platform.has16BitUserExe && platform.hasStationCommand)
        return ShutdownMechanism::StationCommand;
    return ShutdownMechanism::ExitWindowsEx;
}

void NativeShutdownSystem::endProgram()
{
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                              Qt::QueuedConnection);
}

SystemShutdown::SystemShutdown()
    : m_native(std::make_unique<NativeShutdownSystem>()), m_system(*m_native)
{}

void SystemShutdown::request()
{
    QString cause;
    switch (shutdownMechanism(m_system.platform())) {
    case ShutdownMechanism::StationCommand:
        cause = m_system.startStationCommand();
        if (!cause.isEmpty())
            throw Failure(
                QStringLiteral("Der Befehl zum Herunterfahren konnte nicht gestartet werden: %1")
                    .arg(cause));
        return;
    case ShutdownMechanism::ExitWindowsEx:
        cause = m_system.enableShutdownPrivilege();
        if (!cause.isEmpty())
            throw Failure(
                QStringLiteral("Windows erlaubt diesem Programm das Herunterfahren nicht: %1")
                    .arg(cause));
        cause = m_system.exitWindows();
        if (!cause.isEmpty())
            throw Failure(
                QStringLiteral("Windows hat das Herunterfahren abgelehnt: %1").arg(cause));
        return;
    case ShutdownMechanism::EndProgram:
        m_system.endProgram();
        return;
    }
}
