#include "nativestore.h"

#include <QSettings>

// Every store here is a file.
QString storeName(const QSettings &store)
{
    return store.fileName();
}

Qt::CaseSensitivity storeKeyCase(const QSettings &)
{
    return Qt::CaseSensitive;
}
