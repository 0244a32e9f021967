#include "settingssource.h"

#include "nativestore.h"
#include "settingkeys.h"

#include <QFileInfo>
#include <QSettings>

namespace {

SettingsSource::Entry entryOf(const QVariant &value)
{
    // An INI value with an unquoted comma reads as a list.
    if (value.typeId() == QMetaType::QStringList)
        return {{},
                QStringLiteral("der Wert ist eine Liste; ein Text mit Komma gehört in "
                               "Anführungszeichen")};
    if (!value.canConvert<QString>())
        return {{}, QStringLiteral("der Wert ist kein Text")};
    return {value.toString(), {}};
}

} // namespace

SettingsSource readSettingsSource(QSettings &store)
{
    SettingsSource source;
    source.name = storeName(store);
    switch (store.status()) {
    case QSettings::NoError:
        break;
    case QSettings::AccessError:
        source.problem = QStringLiteral("Die Einstellungen in %1 lassen sich nicht lesen; sie "
                                        "werden nicht beachtet.")
                             .arg(source.name);
        return source;
    case QSettings::FormatError:
        source.problem = QStringLiteral("Die Einstellungen in %1 sind nicht im INI-Format "
                                        "lesbar; sie werden nicht beachtet.")
                             .arg(source.name);
        return source;
    }
    const Qt::CaseSensitivity keyCase = storeKeyCase(store);
    const QStringList keys = store.allKeys();
    for (const QString &key : keys) {
        const SettingKey *known = findSettingKey(key, keyCase);
        if (!known) {
            source.unknownKeys << key;
            continue;
        }
        source.values.insert(QLatin1String(known->key), entryOf(store.value(key)));
    }
    return source;
}

SettingsSource readSettingsFile(const QString &path)
{
    // What the INI reader would wait on for good (a FIFO) or read without end (a
    // device) is refused by what the name leads to, before anything opens it.
    const QFileInfo info(path);
    const QString refusal =
        info.exists() && !info.isFile()      ? QStringLiteral("sind keine gewöhnliche Datei")
        : info.size() > maxSettingsFileBytes ? QStringLiteral("sind größer als 1 MiB")
                                             : QString();
    if (!refusal.isEmpty()) {
        SettingsSource source;
        source.name = path;
        source.problem = QStringLiteral("Die Einstellungen in %1 %2; sie werden nicht beachtet.")
                             .arg(path, refusal);
        return source;
    }
    QSettings store(path, QSettings::IniFormat);
    SettingsSource source = readSettingsSource(store);
    // A bearer token opens the hospital's records: taken only from a file that no one
    // else may read.
    const auto token = source.values.find(QStringLiteral("fhir/token"));
    if (token != source.values.end() && token->problem.isEmpty() && readableByOthers(path))
        token->problem = QStringLiteral("der Zugangsschlüssel steht in einer Datei, die andere "
                                        "lesen können (chmod 600 %1)")
                             .arg(path);
    return source;
}
