#pragma once

#include <QString>
#include <Qt>

class QSettings;

// How a store differs by the system that keeps it: an INI file anywhere, or on
// Windows the registry (QSettings::NativeFormat).

// The store's name for messages: the file's path, or the registry key as regedit
// shows it.
QString storeName(const QSettings &store);

// Registry keys ignore case, file keys do not.
Qt::CaseSensitivity storeKeyCase(const QSettings &store);
