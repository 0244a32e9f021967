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

// The longest value taken from any source, in UTF-8 bytes.
constexpr qsizetype maxSettingValueBytes = 4 * 1024;
// A message about unknown keys names this many and counts the rest.
constexpr qsizetype maxListedUnknownKeys = 10;

// Merges sources given highest precedence first; for each key the first source with
// a valid value wins, else the default. Every bad value (unreadable, or failing the
// key's check) is reported and passed over, so that a lower source or the default
// applies; so is a value over maxSettingValueBytes or one that was no valid UTF-8.
// Keys no setting has are reported as well, as they are mostly typing errors. Every
// message is printableText.
MergedSettings mergeSettings(const QList<SettingsSource> &sources);

// text with control and format characters shown escaped ("\x1b", "\u202e"), so that
// a value cannot move a terminal's cursor or turn a message box's text around.
QString printableText(const QString &text);

// Writes each value in effect and where it came from to the support log.
void logSettingsInEffect(const MergedSettings &merged);

// Completes "… ist " for a message about a value in effect: "in FILE gesetzt
// (Schlüssel port)", "auf der Befehlszeile gesetzt (--port)", or for a default how
// to set it (with the option, if any, or in userStore).
QString originText(const SettingKey &key, const SettingOrigin &origin, const QString &userStore);
