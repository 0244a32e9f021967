#include "reportlayout.h"

#include "reportprinter.h"

#include "common/logcategories.h"

#include <QDir>

#include <algorithm>
#include <cmath>

namespace {

constexpr int reportBoxBottom = 3093;
constexpr int reportBoxTop = 3;

} // namespace

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

ReportChart reportChart(const HistoryFile &file, const QString &fileName, ChildRatings children)
{
    const HistoryValues values = historyValues(file, reportChartRecords, fileName, children);
    ReportChart chart;
    chart.ageText = values.header.ageText;
    // Within the chart's box edges, where a young child's P10 lies below BMI 15.
    chart.lowerBoxY = std::min(reportY(values.band.lower), reportBoxBottom);
    chart.upperBoxY = std::max(reportY(values.band.upper), reportBoxTop);
    for (std::size_t k = 0; k < values.bmi.size(); ++k)
        chart.curve.emplace_back(80 + 160 * static_cast<int>(k),
                                 reportY(clampReportBmi(values.bmi[k])));
    return chart;
}

void printReport(ReportPrinter &printer, const HistoryFile &file, const ReportChart &chart)
{
    printer.setTextSize(reportChartTextSize);
    printer.setDrawingSetting(reportDrawingSetting);

    // Three 1-point lines at the top of the page; the chart itself is placed absolutely.
    for (int i = 0; i < 3; ++i)
        printer.printLine(file.line2);
    printer.drawBox({3, reportBoxBottom}, {6263, chart.lowerBoxY}, reportBandOutline);
    printer.drawBox({3, chart.upperBoxY}, {6263, reportBoxTop}, reportBandOutline);
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
    if (const QString saved = printer.savedFile(); !saved.isEmpty())
        qCInfo(logReport).noquote() << QStringLiteral("Bericht als PDF geschrieben: „%1“")
                                           .arg(QDir::toNativeSeparators(saved));
    else
        qCInfo(logReport).noquote() << QStringLiteral("Bericht gedruckt");
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
