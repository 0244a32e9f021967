#pragma once

#include "settingkeys.h"
#include "settingssource.h"

#include <QHash>
#include <QList>
#include <QStringList>

// Where a value in effect was set.
struct SettingOrigin
{
    enum class Kind { CommandLine, Store, Default };
    Kind kind = Kind::Default;
    QString name; // the store's file or registry key; empty otherwise
};

struct MergedSettings
{
    StationSettings values;
    QHash<QString, SettingOrigin> origins; // by key
    // German, one per bad value or unreadable store, each naming the store and the
    // key and saying which value applies instead.
    QStringList messages;
};

// Merges sources given highest precedence first; for each key the first source with
// a valid value wins, else the default. Every bad value (unreadable, or failing the
// key's check) is reported and passed over, so that a lower source or the default
// applies. Keys no setting has are reported as well, as they are mostly typing errors.
MergedSettings mergeSettings(const QList<SettingsSource> &sources);

// Completes "… ist " for a message about a value in effect: "in FILE gesetzt
// (Schlüssel port)", "auf der Befehlszeile gesetzt (--port)", or for a default how
// to set it (with the option, if any, or in userStore).
QString originText(const SettingKey &key, const SettingOrigin &origin, const QString &userStore);
