#include "settingssource.h"

#include <QFileInfo>
#include <QSettings>

namespace {

// The file behind a scope's store, found as Qt finds it but without reading it, so that
// its size is checked before the INI reader takes it: a format of its own extension
// names a file beside it, which is never read. (A format of the same extension would
// leave its empty reading in Qt's cache of that file.)
QString storeFile(QSettings::Scope scope)
{
    static const QString extension = QStringLiteral("tessarine-unread");
    static const QSettings::Format unread = QSettings::registerFormat(
        extension, [](QIODevice &, QSettings::SettingsMap &) { return false; },
        [](QIODevice &, const QSettings::SettingsMap &) { return false; });
    const QSettings probe(unread, scope, QStringLiteral("Tessarine"), QStringLiteral("tessarine"));
    QString path = probe.fileName();
    path.chop(extension.size());
    return path + QStringLiteral("conf");
}

} // namespace

QList<SettingsSource> readStationStores()
{
    QList<SettingsSource> sources;
    for (const QSettings::Scope scope : {QSettings::UserScope, QSettings::SystemScope})
        sources << readSettingsFile(storeFile(scope));
    return sources;
}

bool readableByOthers(const QString &path)
{
    return QFileInfo(path).permissions() & (QFile::ReadGroup | QFile::ReadOther);
}
