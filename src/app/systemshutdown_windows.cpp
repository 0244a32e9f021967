#include "systemshutdown.h"

#include "files/systemerror.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <windows.h>

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
        return systemCause(static_cast<int>(GetLastError()));
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
    return enabled ? QString() : systemCause(static_cast<int>(error));
}

QString NativeShutdownSystem::exitWindows()
{
    if (ExitWindowsEx(EWX_SHUTDOWN, SHTDN_REASON_MAJOR_APPLICATION | SHTDN_REASON_MINOR_OTHER |
                                        SHTDN_REASON_FLAG_PLANNED))
        return {};
    return systemCause(static_cast<int>(GetLastError()));
}
