#include "defaultratings.h"

#include "common/failure.h"
#include "common/logcategories.h"
#include "files/atomicfile.h"
#include "rating.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QtGlobal>

QStringList defaultRatingDirs()
{
    QStringList dirs = QStandardPaths::locateAll(QStandardPaths::GenericDataLocation,
                                                 QStringLiteral("tessarine/ratings"),
                                                 QStandardPaths::LocateDirectory);
#ifdef TESSARINE_SOURCE_RATINGS_DIR
    dirs << QStringLiteral(TESSARINE_SOURCE_RATINGS_DIR);
#endif
    return dirs;
}

QStringList installDefaultRatingFiles(const QString &dataDir, const QStringList &sourceDirs)
{
    QStringList missing;
    for (int ratingClass = 0; ratingClass <= 5; ++ratingClass) {
        const QString target = ratingFilePath(dataDir, ratingClass);
        const QString name = QFileInfo(target).fileName();
        if (QFileInfo::exists(target))
            continue;
        bool provided = false;
        for (const QString &dir : sourceDirs) {
            QFile source(QDir(dir).filePath(name));
            if (!source.open(QIODevice::ReadOnly))
                continue;
            try {
                // Exclusive: an operator's file that appears meanwhile stays.
                createNewFile(target, source.readAll());
                provided = true;
            } catch (const Failure &) {
            }
            break;
        }
        if (!provided)
            missing << name;
    }
    return missing;
}

QStringList installDefaultRatingFiles(const QString &dataDir)
{
    const QStringList dirs = defaultRatingDirs();
    const QStringList missing = installDefaultRatingFiles(dataDir, dirs);
    if (!missing.isEmpty()) {
        qCWarning(logRecords).noquote()
            << QStringLiteral("Bewertungstexte %1 fehlen in %2 und sind unter %3 nicht zu finden.")
                   .arg(missing.join(QStringLiteral(", ")), QDir::toNativeSeparators(dataDir),
                        dirs.join(QStringLiteral(", ")));
    }
    return missing;
}
