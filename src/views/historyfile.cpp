#include "historyfile.h"

#include "records/personfile.h"
#include "records/textfile.h"

#include <QDir>

QStringList chartLines(const QString &path)
{
    TextFileReader reader(path);
    QStringList lines;
    while (lines.size() < chartLineCount && !reader.atEnd())
        lines << reader.readLine();
    return lines;
}

BmiChart readBmiChart(const QString &path)
{
    return bmiChart(chartLines(path), QDir::toNativeSeparators(path));
}
