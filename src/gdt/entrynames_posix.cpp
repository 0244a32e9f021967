#include "entrynames.h"

#include <QFile>

#include <dirent.h>
#include <strings.h>

QStringList entryNamesStartingWith(const QString &directory, const QString &prefix)
{
    QStringList names;
    DIR *dir = ::opendir(QFile::encodeName(directory).constData());
    if (!dir)
        return names;
    // Compared as bytes in the file system's encoding, before any name is decoded.
    const QByteArray start = QFile::encodeName(prefix);
    while (const dirent *entry = ::readdir(dir)) {
        if (::strncasecmp(entry->d_name, start.constData(), static_cast<size_t>(start.size())) == 0)
            names << QFile::decodeName(entry->d_name);
    }
    ::closedir(dir);
    return names;
}
