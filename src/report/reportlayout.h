#pragma once

#include "common/drawing.h"
#include "records/historyfile.h"

#include <QPoint>
#include <QString>
#include <QStringList>

#include <vector>

class ReportPrinter;

// The printed report of one PersonFile: a BMI chart over the band boxes, the header,
// a rule and every record line. Positions are twips on the printable area.

// The chart reaches from BMI 15 at y = 3120 upwards, 120 twips per BMI unit.
int reportY(double bmi);

// Curve values above 40 are drawn at 41 (the top edge), values below 15 at 15.
double clampReportBmi(double bmi);

inline constexpr int reportChartRecords = 31; // later records are listed, not drawn
inline constexpr Rgb reportBandOutline{255, 3, 5};
inline constexpr int reportDrawingSetting = 4;
inline constexpr double reportChartTextSize = 1;
inline constexpr double reportTextSize = 14;
inline constexpr QPoint reportRuleFrom{6270, 3700};
inline constexpr QPoint reportRuleTo{0, 3700};

struct ReportChart
{
    QString ageText;           // as found in the header
    int lowerBoxY = 0;         // Y of the lower normal bound
    int upperBoxY = 0;         // Y of the upper normal bound
    std::vector<QPoint> curve; // one point per record, at most 31
};

// Band from the header's age and sex (a woman's is one lower; a child's may be P10 to
// P90), curve from the BMI
// texts of the first 31 records (historyValues). Throws a Failure naming fileName and the line when
// the file lacks its first two lines or the age or one of these BMI texts is not a
// number, so that the report can refuse a file before anything changes.
ReportChart reportChart(const HistoryFile &file, const QString &fileName = {},
                        ChildRatings children = ChildRatings::Adult);

// Drives the printer through the whole document, from the text size of the chart
// lines to the end of the document. The header lands one 14-point line below where
// the chart ended; every record line is listed, however many there are.
void printReport(ReportPrinter &printer, const HistoryFile &file, const ReportChart &chart);

// Where the report goes when no printer is installed: the PersonFile's path with
// ".pdf" in place of ".txt".
QString reportPdfPath(const QString &personFilePath);

// The message that tells the operator where the PDF was saved.
QString pdfSavedMessage(const QString &pdfPath);
