#include "settingsmerge.h"

namespace {

QString quoted(const QString &value)
{
    return QStringLiteral("„%1“").arg(value);
}

QString appliesText(const QString &value, const SettingOrigin &origin)
{
    const QString shown = value.isEmpty() ? QStringLiteral("kein Wert") : quoted(value);
    switch (origin.kind) {
    case SettingOrigin::Kind::Default:
        return QStringLiteral("Es gilt die Vorgabe: %1.").arg(shown);
    case SettingOrigin::Kind::CommandLine:
        return QStringLiteral("Es gilt %1 von der Befehlszeile.").arg(shown);
    case SettingOrigin::Kind::Store:
        break;
    }
    return QStringLiteral("Es gilt %1 aus %2.").arg(shown, origin.name);
}

SettingOrigin originOf(const SettingsSource &source)
{
    if (source.kind == SettingsSource::Kind::CommandLine)
        return {SettingOrigin::Kind::CommandLine, {}};
    return {SettingOrigin::Kind::Store, source.name};
}

} // namespace

MergedSettings mergeSettings(const QList<SettingsSource> &sources)
{
    MergedSettings merged;
    for (const SettingsSource &source : sources) {
        if (!source.problem.isEmpty())
            merged.messages << source.problem;
    }

    for (const SettingKey &key : settingKeys()) {
        const QString name = QLatin1String(key.key);
        QStringList rejected; // reasons, each naming its source
        QString value;
        SettingOrigin origin;
        bool found = false;
        for (const SettingsSource &source : sources) {
            const auto entry = source.values.constFind(name);
            if (entry == source.values.cend())
                continue;
            const QString reason =
                !entry->problem.isEmpty() ? entry->problem : key.problem(entry->text);
            if (!reason.isEmpty()) {
                rejected << QStringLiteral("Einstellung %1 in %2: %3.")
                                .arg(quoted(name), source.name, reason);
                continue;
            }
            if (found)
                continue;
            value = normalisedSetting(key, entry->text);
            origin = originOf(source);
            found = true;
        }
        if (!found)
            value = key.defaultValue();
        for (const QString &reason : std::as_const(rejected))
            merged.messages << reason + QLatin1Char(' ') + appliesText(value, origin);
        merged.values.*key.field = value;
        merged.origins.insert(name, origin);
    }

    for (const SettingsSource &source : sources) {
        for (const QString &key : source.unknownKeys) {
            merged.messages << QStringLiteral("Unbekannte Einstellung %1 in %2: sie wird nicht "
                                              "beachtet.")
                                   .arg(quoted(key), source.name);
        }
    }
    return merged;
}

QString originText(const SettingKey &key, const SettingOrigin &origin, const QString &userStore)
{
    const QString name = QLatin1String(key.key);
    switch (origin.kind) {
    case SettingOrigin::Kind::CommandLine:
        return QStringLiteral("auf der Befehlszeile gesetzt (--%1)").arg(QLatin1String(key.option));
    case SettingOrigin::Kind::Store:
        return QStringLiteral("in %1 gesetzt (Schlüssel %2)").arg(origin.name, name);
    case SettingOrigin::Kind::Default:
        break;
    }
    if (key.option) {
        return QStringLiteral("die Vorgabe; einzustellen mit --%1 oder dem Schlüssel %2 in %3")
            .arg(QLatin1String(key.option), name, userStore);
    }
    return QStringLiteral("die Vorgabe; einzustellen mit dem Schlüssel %1 in %2")
        .arg(name, userStore);
}
