#include "entrynames.h"

#include <QFile>

#include <cstring>

#include <dirent.h>

QStringList entryNamesOfLength(const QString &directory, qsizetype length)
{
    QStringList names;
    DIR *dir = ::opendir(QFile::encodeName(directory).constData());
    if (!dir)
        return names;
    while (const dirent *entry = ::readdir(dir)) {
        if (std::strlen(entry->d_name) == static_cast<std::size_t>(length))
            names << QFile::decodeName(entry->d_name);
    }
    ::closedir(dir);
    return names;
}
