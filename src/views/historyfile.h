#pragma once

#include "chartgeometry.h"

#include <QString>
#include <QStringList>

// Finding and reading the PersonFile for the two history views.

// What both views show when a person has no PersonFile.
QString noRecordMessage();

// The PersonFile path of the names, or the empty text (which names no file) for a
// name that isSafeName refuses: such a name could reach outside the data directory.
QString historyFilePath(const QString &dataDir, const QString &first, const QString &last);

// The first lines of the PersonFile that the chart uses (chartLineCount at most); the
// rest of the file is not read, so a long history costs no more than a short one.
QStringList chartLines(const QString &path);

// The chart of the PersonFile at path; a file it cannot read throws a Failure that
// names the file and the line.
BmiChart readBmiChart(const QString &path);
