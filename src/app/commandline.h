#pragma once

#include "settings/settingssource.h"

#include <QString>
#include <QStringList>

// What the command line asks for. Only Run needs a display; everything else is
// printed and ends the program (exit code 0, or 2 for Fail).
struct CommandLine
{
    enum class Action { Run, Help, Version, ListPorts, Fail };

    Action action = Action::Run;
    QString text;            // help or version for stdout, the error for stderr
    SettingsSource settings; // options that set a setting, highest precedence
    bool simulateScale = false;
};

// Parses the arguments (program name first). The help is built here and names the
// settings stores (highest precedence first), so Qt's translations must be
// installed before.
CommandLine parseCommandLine(const QStringList &arguments, const QStringList &storeNames);
