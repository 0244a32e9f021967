#include "chartgeometry.h"

#include "records/linefields.h"

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

BmiChart bmiChart(const QStringList &lines, const QString &fileName)
{
    if (lines.size() < 3)
        failMissingLine(int(lines.size()) + 1, fileName);

    BmiChart chart;
    const HeaderFields header = headerFields(lines.at(0));
    chart.sexLetter = header.sexLetter;
    chart.ageText = header.ageText;
    const double age = numberInLine(chart.ageText, QStringLiteral("das Alter"), 1, fileName);
    chart.band = normalBand(age, chart.sexLetter == QLatin1String("w"));
    chart.lowerBox = bandBox({boxLeft, boxBottom}, {boxRight, chartY(chart.band.lower)});
    chart.upperBox = bandBox({boxLeft, chartY(chart.band.upper)}, {boxRight, boxTop});

    const int records = std::min<int>(lines.size() - 2, maxChartRecords);
    auto plotted = [&](int record) {
        const int lineNumber = record + 3;
        return plottedBmi(numberInLine(bmiText(lines.at(lineNumber - 1)), QStringLiteral("der BMI"),
                                       lineNumber, fileName));
    };
    double previous = plotted(0);
    int start = firstStart;
    int end = firstEnd;
    for (int record = 1; record < records; ++record) {
        start += step;
        end += step;
        const double current = plotted(record);
        chart.segments.push_back(DrawnLine{
            {start, chartY(previous)}, {end, chartY(current)}, curveColor, chartCurvePen});
        previous = current;
    }
    return chart;
}
