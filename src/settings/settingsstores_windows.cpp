#include "settingssource.h"

#include <QSettings>

QList<SettingsSource> readStationStores()
{
    QList<SettingsSource> sources;
    for (const QSettings::Scope scope : {QSettings::UserScope, QSettings::SystemScope}) {
        QSettings store(scope, QStringLiteral("Tessarine"), QStringLiteral("tessarine"));
        // Each store on its own: the merge decides what falls back to what.
        store.setFallbacksEnabled(false);
        sources << readSettingsSource(store);
    }
    return sources;
}

bool readableByOthers(const QString &)
{
    return false;
}
