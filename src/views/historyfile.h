#pragma once

#include "chartgeometry.h"

#include <QString>
#include <QStringList>

// Reading the PersonFile for the chart (finding it: records/personfile.h).

// The first lines of the PersonFile that the chart uses (chartLineCount at most); the
// rest of the file is not read, so a long history costs no more than a short one.
QStringList chartLines(const QString &path);

// The chart of the PersonFile at path; a file it cannot read throws a Failure that
// names the file and the line.
BmiChart readBmiChart(const QString &path);
