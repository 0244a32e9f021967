#include "settingssource.h"

#include "nativestore.h"
#include "settingkeys.h"

#include "common/failure.h"
#include "files/nonblockingfile.h"

#include <QFileInfo>
#include <QSettings>
#include <QTemporaryFile>

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

SettingsSource readSettingsSource(QSettings &store, const QString &name)
{
    SettingsSource source;
    source.name = name.isEmpty() ? storeName(store) : name;
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
    // Read once, through a descriptor that neither blocks (a FIFO would hold up the start
    // for good) nor takes what is no regular file, and parsed from a private copy of
    // those bytes: what lies at the path cannot change between the check and the read.
    QByteArray bytes;
    QString refusal;
    const QFileInfo info(path);
    if (info.isDir()) { // which Windows does not even open for reading
        refusal = QStringLiteral("sind keine gewöhnliche Datei");
    } else if (info.exists()) {
        try {
            NonBlockingFile file(path);
            if (!file.isRegular())
                refusal = QStringLiteral("sind keine gewöhnliche Datei");
            else if (bytes = file.readUpTo(maxSettingsFileBytes);
                     bytes.size() > maxSettingsFileBytes)
                refusal = QStringLiteral("sind größer als 1 MiB");
        } catch (const Failure &) {
            refusal = QStringLiteral("lassen sich nicht lesen");
        }
    }
    QTemporaryFile copy;
    if (refusal.isEmpty() && (!copy.open() || copy.write(bytes) != bytes.size() || !copy.flush()))
        refusal = QStringLiteral("lassen sich nicht lesen (keine Kopie im temporären Ordner)");
    if (!refusal.isEmpty()) {
        SettingsSource source;
        source.name = path;
        source.problem = QStringLiteral("Die Einstellungen in %1 %2; sie werden nicht beachtet.")
                             .arg(path, refusal);
        return source;
    }
    QSettings store(copy.fileName(), QSettings::IniFormat);
    SettingsSource source = readSettingsSource(store, path);
    // A bearer token opens the hospital's records: taken only from a file that no one
    // else may read.
    const auto token = source.values.find(QStringLiteral("fhir/token"));
    if (token != source.values.end() && token->problem.isEmpty() && readableByOthers(path))
        token->problem = QStringLiteral("der Zugangsschlüssel steht in einer Datei, die andere "
                                        "lesen können (chmod 600 %1)")
                             .arg(path);
    return source;
}
