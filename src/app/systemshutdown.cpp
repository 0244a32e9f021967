#include "systemshutdown.h"

#include "common/failure.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

ShutdownMechanism shutdownMechanism(const ShutdownPlatform &platform)
{
    if (!platform.windows)
        return ShutdownMechanism::EndProgram;
    if (platform.windows32Bit && platform.has16BitUserExe && platform.hasStationCommand)
        return ShutdownMechanism::StationCommand;
    return ShutdownMechanism::ExitWindowsEx;
}

#ifdef Q_OS_WIN

namespace {

constexpr auto stationProgram = "C:\\WINDOWS\\RUNDLL32.EXE";
constexpr auto stationArguments = "user.exe,ExitWindows";

} // namespace

ShutdownPlatform NativeShutdownSystem::platform() const
{
    ShutdownPlatform result;
    result.windows = true;
#ifndef _WIN64
    BOOL emulated = FALSE;
    result.windows32Bit = IsWow64Process(GetCurrentProcess(), &emulated) && !emulated;
#endif
    wchar_t systemDir[MAX_PATH] = {};
    GetSystemDirectoryW(systemDir, MAX_PATH);
    const QDir system(QString::fromWCharArray(systemDir));
    result.has16BitUserExe = QFileInfo::exists(system.filePath(QStringLiteral("ntvdm.exe"))) &&
                             QFileInfo::exists(system.filePath(QStringLiteral("user.exe")));
    result.hasStationCommand = QFileInfo::exists(QString::fromLatin1(stationProgram));
    return result;
}

QString NativeShutdownSystem::startStationCommand()
{
    QProcess process;
    process.setProgram(QString::fromLatin1(stationProgram));
    process.setArguments({QString::fromLatin1(stationArguments)});
    process.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments *args) {
        args->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
        args->startupInfo->wShowWindow = SW_SHOWMINIMIZED;
    });
    return process.startDetached() ? QString() : process.errorString();
}

QString NativeShutdownSystem::enableShutdownPrivilege()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return qt_error_string(static_cast<int>(GetLastError()));
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    bool enabled =
        LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid) &&
        AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    // Adjusting succeeds for an account without the right as well, and then leaves
    // ERROR_NOT_ALL_ASSIGNED behind.
    const DWORD error = GetLastError();
    enabled = enabled && error == ERROR_SUCCESS;
    CloseHandle(token);
    return enabled ? QString() : qt_error_string(static_cast<int>(error));
}

QString NativeShutdownSystem::exitWindows()
{
    if (ExitWindowsEx(EWX_SHUTDOWN, SHTDN_REASON_MAJOR_APPLICATION | SHTDN_REASON_MINOR_OTHER |
                                        SHTDN_REASON_FLAG_PLANNED))
        return {};
    return qt_error_string(static_cast<int>(GetLastError()));
}

#else

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

#endif

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
