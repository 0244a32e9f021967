#include "reportlayout.h"

#include "reportprinter.h"

#include "records/linefields.h"
#include "records/normalband.h"

#include <QDir>

#include <algorithm>
#include <cmath>

PersonFileLines splitPersonFile(const QStringList &lines)
{
    PersonFileLines file;
    file.header = lines.value(0);
    file.line2 = lines.value(1);
    file.lineCount = lines.size();
    if (lines.size() > 2)
        file.records = lines.mid(2);
    return file;
}

int reportY(double bmi)
{
    return static_cast<int>(std::lround(3120 - 120 * (bmi - 15)));
}

double clampReportBmi(double bmi)
{
    if (bmi > 40)
        return 41;
    if (bmi < 15)
        return 15;
    return bmi;
}

ReportChart reportChart(const PersonFileLines &file, const QString &fileName)
{
    if (file.lineCount < 2)
        failMissingLine(int(file.lineCount) + 1, fileName);
    const HeaderFields header = headerFields(file.header);
    const double age = numberInLine(header.ageText, QStringLiteral("das Alter"), 1, fileName);
    const NormalBand band = normalBand(age, header.sexLetter == QLatin1String("w"));

    ReportChart chart;
    chart.ageText = header.ageText;
    chart.lowerBoxY = reportY(band.lower);
    chart.upperBoxY = reportY(band.upper);
    const auto drawn = std::min<qsizetype>(file.records.size(), reportChartRecords);
    for (qsizetype k = 0; k < drawn; ++k) {
        const double bmi = clampReportBmi(numberInLine(
            bmiText(file.records.at(k)), QStringLiteral("der BMI"), int(k) + 3, fileName));
        chart.curve.emplace_back(80 + 160 * static_cast<int>(k), reportY(bmi));
    }
    return chart;
}

void printReport(ReportPrinter &printer, const PersonFileLines &file, const ReportChart &chart)
{
    printer.setTextSize(reportChartTextSize);
    printer.setDrawingSetting(reportDrawingSetting);

    // Three 1-point lines at the top of the page; the chart itself is placed absolutely.
    for (int i = 0; i < 3; ++i)
        printer.printLine(file.line2);
    printer.drawBox({3, 3093}, {6263, chart.lowerBoxY}, reportBandOutline);
    printer.drawBox({3, chart.upperBoxY}, {6263, 3}, reportBandOutline);
    for (std::size_t i = 1; i < chart.curve.size(); ++i)
        printer.drawLine(chart.curve[i - 1], chart.curve[i]);

    // The header follows from wherever the chart left the position.
    printer.setTextSize(reportTextSize);
    printer.printLine(file.line2);
    printer.printLine(file.header);

    printer.drawLine(reportRuleFrom, reportRuleTo);
    printer.printLine(file.line2);
    for (const QString &record : file.records)
        printer.printLine(record);
    printer.endDocument();
}

QString reportPdfPath(const QString &personFilePath)
{
    QString path = personFilePath;
    if (path.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive))
        path.chop(4);
    return path + QLatin1String(".pdf");
}

QString pdfSavedMessage(const QString &pdfPath)
{
    return QStringLiteral("Kein Drucker installiert. Der Bericht wurde als PDF gespeichert: ") +
           QDir::toNativeSeparators(pdfPath);
}
