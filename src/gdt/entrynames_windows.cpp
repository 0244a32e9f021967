#include "entrynames.h"

#include <QDir>
#include <QDirIterator>

// Windows lists a directory with each entry's attributes at no extra cost.
QStringList entryNamesOfLength(const QString &directory, qsizetype length)
{
    QStringList names;
    QDirIterator entries(
        QDir(directory, QString(), QDir::NoSort,
             QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot));
    while (entries.hasNext()) {
        entries.next();
        if (entries.fileName().size() == length)
            names << entries.fileName();
    }
    return names;
}
