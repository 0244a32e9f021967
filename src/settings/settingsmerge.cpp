#include "settingsmerge.h"

#include "common/logcategories.h"

#include <algorithm>

namespace {

QString appliesText(const QString &value, const SettingOrigin &origin)
{
    const QString shown = value.isEmpty() ? QStringLiteral("kein Wert") : quotedForMessage(value);
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

// Checks that hold for every key, before its own: a value that would hold up the start
// or that the store's reader could only guess.
QString boundsProblem(const QString &value)
{
    if (value.size() > maxSettingValueBytes || value.toUtf8().size() > maxSettingValueBytes)
        return QStringLiteral("der Wert ist länger als %1 Bytes").arg(maxSettingValueBytes);
    // The readers put U+FFFD where bytes are no UTF-8 (a Latin-1 "ä"); taking the
    // guess would make a different directory.
    if (value.contains(QChar::ReplacementCharacter))
        return QStringLiteral("der Wert ist kein gültiges UTF-8 (z. B. ein Umlaut in Latin-1 "
                              "statt UTF-8)");
    return {};
}

QString unknownKeysMessage(const SettingsSource &source)
{
    const QStringList &keys = source.unknownKeys;
    if (keys.size() == 1)
        return QStringLiteral("Unbekannte Einstellung %1 in %2: sie wird nicht beachtet.")
            .arg(quotedForMessage(keys.constFirst()), source.name);
    QStringList shown;
    for (const QString &key : keys.first(std::min<qsizetype>(keys.size(), maxListedUnknownKeys)))
        shown << quotedForMessage(key);
    QString list = shown.join(QStringLiteral(", "));
    if (keys.size() > maxListedUnknownKeys)
        list += QStringLiteral(" und %1 weitere").arg(keys.size() - maxListedUnknownKeys);
    return QStringLiteral("Unbekannte Einstellungen %1 in %2: sie werden nicht beachtet.")
        .arg(list, source.name);
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
            QString reason = entry->problem;
            if (reason.isEmpty())
                reason = boundsProblem(entry->text);
            if (reason.isEmpty())
                reason = key.problem(entry->text);
            if (!reason.isEmpty()) {
                rejected << QStringLiteral("Einstellung %1 in %2: %3.")
                                .arg(quotedForMessage(name), source.name, reason);
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
        if (!source.unknownKeys.isEmpty())
            merged.messages << unknownKeysMessage(source);
    }
    for (QString &message : merged.messages)
        message = printableText(message);
    return merged;
}

void logSettingsInEffect(const MergedSettings &merged)
{
    for (const SettingKey &key : settingKeys()) {
        const SettingOrigin origin = merged.origins.value(QLatin1String(key.key));
        const QString from =
            origin.kind == SettingOrigin::Kind::CommandLine ? QStringLiteral("Befehlszeile")
            : origin.kind == SettingOrigin::Kind::Store ? QStringLiteral("aus %1").arg(origin.name)
                                                        : QStringLiteral("Vorgabe");
        qCInfo(logSettings).noquote()
            << QStringLiteral("Einstellung %1 = „%2“ (%3)")
                   .arg(QLatin1String(key.key), printableText(merged.values.*key.field), from);
    }
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

QString printableText(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.category()) {
        case QChar::Other_Control:
        case QChar::Other_Format:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph:
            out += c.unicode() <= 0xff
                       ? QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'))
                       : QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            break;
        default:
            out += c;
        }
    }
    return out;
}
