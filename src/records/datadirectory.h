#pragma once

#include <QString>

// Creates the data directory at path with the folders above it, as far as they are
// missing. Returns the empty text when it is there as a directory, else the system's
// cause ("Ist kein Verzeichnis", "Keine Berechtigung").
QString createDataDirectory(const QString &path);
