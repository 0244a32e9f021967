#pragma once

#include <QString>

// The station's own directory for what it keeps for itself (support log, waiting
// requests, answers not yet delivered): on Linux $XDG_STATE_HOME/Tessarine
// (~/.local/state/Tessarine), on Windows %LOCALAPPDATA%\Tessarine. Without a
// trailing separator; it may not exist yet.
QString stateDirectory();

// Where the support log goes unless the settings say otherwise: tessarine.log in
// stateDirectory().
QString defaultLogFile();
