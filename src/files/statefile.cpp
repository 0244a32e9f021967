#include "statefile.h"

#include "common/failure.h"
#include "files/atomicfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

StateFileRead readStateFile(const QString &path)
{
    StateFileRead read;
    try {
        if (!fileExists(path))
            return read;
        QFile file;
        openForReading(file, path);
        QJsonParseError error{};
        read.document = QJsonDocument::fromJson(file.readAll(), &error);
        if (error.error == QJsonParseError::NoError)
            return read;
        file.close();
        const QString aside = path + QStringLiteral(".unlesbar");
        QFile::remove(aside);
        QFile::rename(path, aside);
        read.problem = QStringLiteral("Die Datei „%1“ ist unlesbar (%2) und liegt jetzt als „%3“.")
                           .arg(QDir::toNativeSeparators(path), error.errorString(),
                                QDir::toNativeSeparators(aside));
    } catch (const Failure &failure) {
        read.problem = failure.message();
    }
    read.document = {};
    return read;
}

void writeStateFile(const QString &path, const QJsonDocument &document)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        throw Failure(QStringLiteral("Das Verzeichnis „%1“ kann nicht angelegt werden.")
                          .arg(QDir::toNativeSeparators(QFileInfo(path).absolutePath())));
    PendingFile file(path);
    file.write(document.toJson(QJsonDocument::Compact));
    file.placeReplacing();
}
