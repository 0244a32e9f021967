#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

class QSettings;

// One place settings come from, as read: the command line, or a settings store (an
// INI file, or the registry on Windows).
struct SettingsSource
{
    enum class Kind { CommandLine, Store };

    // A value as found: its text, or why it could not be taken as one.
    struct Entry
    {
        QString text;
        QString problem; // German; empty when text holds the value
    };

    Kind kind = Kind::Store;
    QString name;                // file path or registry key, for messages
    QMap<QString, Entry> values; // by the key of settingKeys()
    QStringList unknownKeys;     // keys of the store that no setting has
    QString problem;             // the store as a whole could not be read; German
};

// Reads the known keys of a store. A missing store is an empty source. name, when given,
// is what the messages call the store instead of its own name.
SettingsSource readSettingsSource(QSettings &store, const QString &name = {});

// A settings file larger than this is refused whole, unread: no station needs more,
// and reading a huge one would hold up the start.
constexpr qint64 maxSettingsFileBytes = 1024 * 1024;

// Reads a settings file in INI format: opened without blocking, refused when it is no
// regular file (a FIFO would hold up the start for good) or larger than
// maxSettingsFileBytes, and parsed from the bytes read then. A missing file is an empty
// source. A bearer token (fhir/token) in a file that readableByOthers is refused.
SettingsSource readSettingsFile(const QString &path);

// Whether the file's mode lets group or others read it; false on Windows, where the
// stores are registry keys and the hospital links are not built.
bool readableByOthers(const QString &path);

// The user's and the system-wide store of this program, in this order: on Linux
// ~/.config/Tessarine/tessarine.conf and /etc/xdg/Tessarine/tessarine.conf (moved
// by XDG_CONFIG_HOME and XDG_CONFIG_DIRS), on Windows HKCU and HKLM
// \Software\Tessarine\tessarine.
QList<SettingsSource> readStationStores();
