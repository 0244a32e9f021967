#include "chartgeometry.h"

#include "common/logcategories.h"

#include <QtMath>

#include <algorithm>

namespace {

constexpr Rgb bandOutline{255, 3, 5};
constexpr Rgb bandFill{255, 100, 100};
constexpr Rgb curveColor{0, 0, 0};

// Fixed box edges: 25 twips inside the frame on the left, 15 on the other sides.
constexpr int boxLeft = 3865;
constexpr int boxRight = 11865;
constexpr int boxBottom = 4905;
constexpr int boxTop = 135;

// Running positions before the first segment; both advance before each segment.
constexpr int firstStart = 3595;
constexpr int firstEnd = 3862;
constexpr int step = 266;

DrawnBox bandBox(QPoint corner1, QPoint corner2)
{
    return DrawnBox{corner1, corner2, bandOutline, bandFill, FillStyle::Cross, chartBoxPen};
}

} // namespace

double plottedBmi(double bmi)
{
    if (bmi > 40)
        return 41;
    return std::max(bmi, 15.0);
}

int chartY(double bmi)
{
    return qRound(4920 - 184 * (bmi - 15));
}

BmiChart bmiChart(const HistoryFile &file, const QString &fileName, ChildRatings children)
{
    if (file.lineCount < 3)
        failMissingLine(int(file.lineCount) + 1, fileName);
    const HistoryValues values = historyValues(file, maxChartRecords, fileName, children);
    qCDebug(logViews).noquote() << QStringLiteral("Diagramm aus „%1“").arg(fileName);

    BmiChart chart;
    chart.sexLetter = values.header.sexLetter;
    chart.ageText = values.header.ageText;
    chart.band = values.band;
    // A young child's P10 may lie below the chart's BMI 15: the box then shrinks to the
    // bottom edge instead of reaching out of the frame.
    chart.lowerBox =
        bandBox({boxLeft, boxBottom}, {boxRight, std::min(chartY(chart.band.lower), boxBottom)});
    chart.upperBox =
        bandBox({boxLeft, std::max(chartY(chart.band.upper), boxTop)}, {boxRight, boxTop});

    int start = firstStart;
    int end = firstEnd;
    for (std::size_t record = 1; record < values.bmi.size(); ++record) {
        start += step;
        end += step;
        chart.segments.push_back(DrawnLine{{start, chartY(plottedBmi(values.bmi[record - 1]))},
                                           {end, chartY(plottedBmi(values.bmi[record]))},
                                           curveColor,
                                           chartCurvePen});
    }
    return chart;
}
