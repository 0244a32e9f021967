#pragma once

#include "childbmi.h"
#include "linefields.h"

#include <QString>
#include <QStringList>

#include <vector>

// The one reader of PersonFiles (finding them: personfile.h) for the chart, the listing
// and the report: the file's lines, and what its header words and records say.

// A PersonFile as read. Lines missing from a short file are empty.
struct HistoryFile
{
    QString header;          // line 1
    QString line2;           // line 2, empty in every PersonFile
    QStringList records;     // line 3 onward, unchanged
    qsizetype lineCount = 0; // lines read
};

constexpr int allRecords = -1;

// The first two lines and records of lines (all of them, or maxRecords at most).
HistoryFile historyFile(const QStringList &lines, int maxRecords = allRecords);

// The PersonFile at path; with maxRecords, the rest of the file is not read, so a long
// history costs no more than a short one. Throws a Failure naming the file when it
// cannot be read.
HistoryFile readHistoryFile(const QString &path, int maxRecords = allRecords);

// The lines of the file as read, in order.
QStringList historyLines(const HistoryFile &file);

struct HistoryValues
{
    HeaderFields header;     // sex letter and age text, as found in the header
    NormalBand band;         // for that age and sex (a woman's is one lower; drawnBand)
    std::vector<double> bmi; // of the first records, as written
};

// The normal band from the header's age and sex, and the BMI of the first maxRecords
// records. fileName only names the file in messages: a file without its first two
// lines, or whose age or one of these BMI texts is not a number, throws a Failure that
// names the file and the line.
HistoryValues historyValues(const HistoryFile &file, int maxRecords, const QString &fileName,
                            ChildRatings children = ChildRatings::Adult);
