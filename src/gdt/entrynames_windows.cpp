#include "entrynames.h"

#include <QDir>
#include <QDirIterator>

// Windows lists a directory with each entry's attributes at no extra cost.
QStringList entryNamesStartingWith(const QString &directory, const QString &prefix)
{
    QStringList names;
    QDirIterator entries(
        QDir(directory, QString(), QDir::NoSort,
             QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot));
    while (entries.hasNext()) {
        entries.next();
        if (entries.fileName().startsWith(prefix, Qt::CaseInsensitive))
            names << entries.fileName();
    }
    return names;
}
