#include "historyfile.h"

#include "textfile.h"

#include <algorithm>

HistoryFile historyFile(const QStringList &lines, int maxRecords)
{
    HistoryFile file;
    file.header = lines.value(0);
    file.line2 = lines.value(1);
    if (lines.size() > 2)
        file.records = lines.mid(2, maxRecords);
    file.lineCount = std::min<qsizetype>(lines.size(), 2 + file.records.size());
    return file;
}

HistoryFile readHistoryFile(const QString &path, int maxRecords)
{
    TextFileReader reader(path);
    QStringList lines;
    while ((maxRecords == allRecords || lines.size() < 2 + maxRecords) && !reader.atEnd())
        lines << reader.readLine();
    return historyFile(lines);
}

QStringList historyLines(const HistoryFile &file)
{
    return (QStringList{file.header, file.line2} + file.records).mid(0, file.lineCount);
}

HistoryValues historyValues(const HistoryFile &file, int maxRecords, const QString &fileName,
                            ChildRatings children)
{
    if (file.lineCount < 2)
        failMissingLine(int(file.lineCount) + 1, fileName);
    HistoryValues values;
    values.header = headerFields(file.header);
    const double age =
        numberInLine(values.header.ageText, QStringLiteral("das Alter"), 1, fileName);
    values.band = drawnBand(age, values.header.sexLetter == QLatin1String("w"), children);
    const auto drawn = std::min<qsizetype>(file.records.size(), maxRecords);
    for (qsizetype k = 0; k < drawn; ++k) {
        values.bmi.push_back(numberInLine(bmiText(file.records.at(k)), QStringLiteral("der BMI"),
                                          int(k) + 3, fileName));
    }
    return values;
}
