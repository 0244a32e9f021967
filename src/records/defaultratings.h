#pragma once

#include <QString>
#include <QStringList>

// The six default RatingFiles ship with the program. At start each one that is missing
// in the data directory is copied there; a file already there is the operator's and is
// never replaced.

// Where the defaults may lie, first match wins: tessarine/ratings in the system's
// data directories (QStandardPaths::GenericDataLocation: ~/.local/share, /usr/local/share,
// /usr/share; on Windows also beside the program), then, in a build configured with
// TESSARINE_SOURCE_TREE_DATA, the source tree.
QStringList defaultRatingDirs();

// Copies bmi0.txt .. bmi5.txt from the first of sourceDirs that holds each one into
// dataDir when missing there. Returns the names of the files it could not provide
// (no default found, or not copyable); an existing file counts as provided.
QStringList installDefaultRatingFiles(const QString &dataDir, const QStringList &sourceDirs);

// As above with defaultRatingDirs(); problems are logged as warnings.
QStringList installDefaultRatingFiles(const QString &dataDir);
