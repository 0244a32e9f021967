#pragma once

#include "services.h"

#include <QString>

#include <memory>

// EXIT's request to end the session, and how it is made on this system.

// What the system offers for shutting down.
struct ShutdownPlatform
{
    bool windows = false;
    bool windows32Bit = false;      // the operating system, not only this program
    bool has16BitUserExe = false;   // user.exe and the 16-bit subsystem that runs it
    bool hasStationCommand = false; // C:\WINDOWS\RUNDLL32.EXE is there
};

enum class ShutdownMechanism {
    StationCommand, // "C:\WINDOWS\RUNDLL32.EXE user.exe,ExitWindows", minimised with focus
    ExitWindowsEx,  // Windows' own API, with the shutdown privilege enabled first
    EndProgram,     // no Windows to shut down: the program ends itself
};

// The station's command line only where it works: without the 16-bit user.exe (every
// 64-bit Windows) RUNDLL32 silently does nothing, so Windows' API is asked instead.
ShutdownMechanism shutdownMechanism(const ShutdownPlatform &platform);

// The system calls behind a shutdown. Each returns an empty text on success, else the
// system's description of why not.
class ShutdownSystem
{
public:
    virtual ~ShutdownSystem() = default;
    virtual ShutdownPlatform platform() const = 0;
    virtual QString startStationCommand() = 0; // not waited for
    virtual QString enableShutdownPrivilege() = 0;
    virtual QString exitWindows() = 0; // returns once Windows has taken the request
    virtual void endProgram() = 0;     // after the current event
};

// The calls of the machine the program runs on.
class NativeShutdownSystem : public ShutdownSystem
{
public:
    ShutdownPlatform platform() const override;
    QString startStationCommand() override;
    QString enableShutdownPrivilege() override;
    QString exitWindows() override;
    void endProgram() override;
};

// Runs the mechanism the platform calls for; a refusal throws Failure with a German
// text that names the cause. Returns at once: the window stays until the system ends
// the program.
class SystemShutdown : public ShutdownRequest
{
public:
    SystemShutdown(); // on this machine
    explicit SystemShutdown(ShutdownSystem &system) : m_system(system) {}
    void request() override;

private:
    std::unique_ptr<ShutdownSystem> m_native;
    ShutdownSystem &m_system;
};
