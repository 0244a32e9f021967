#include "nativestore.h"

#include <QSettings>

namespace {

bool inRegistry(const QSettings &store)
{
    return store.format() == QSettings::NativeFormat;
}

} // namespace

QString storeName(const QSettings &store)
{
    QString name = store.fileName();
    // Qt names a registry key "\HKEY_CURRENT_USER\...": shown as regedit shows it.
    if (inRegistry(store) && name.startsWith(QLatin1Char('\\')))
        name.remove(0, 1);
    return name;
}

Qt::CaseSensitivity storeKeyCase(const QSettings &store)
{
    return inRegistry(store) ? Qt::CaseInsensitive : Qt::CaseSensitive;
}
