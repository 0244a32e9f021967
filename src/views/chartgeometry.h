#pragma once

#include "common/drawing.h"
#include "records/historyfile.h"
#include "records/normalband.h"

#include <QString>
#include <QStringList>

#include <vector>

// The BMI chart on the window, in the twips of the window's client area: two hatched
// boxes outside the person's normal band and the curve of the stored BMI values, drawn
// inside the chart frame (3840, 120)-(11880, 4920).

// Lines of a PersonFile the chart uses: header, empty line and the first 31 records,
// whose 31 points make the at most 30 segments drawn.
constexpr int maxChartRecords = 31;
constexpr int chartLineCount = 2 + maxChartRecords;

// Pen widths in device pixels: thin box outlines, a bolder curve.
constexpr int chartBoxPen = 1;
constexpr int chartCurvePen = 2;

// A BMI value as the curve plots it: above 40 at 41 (above the "40" tick), below 15 at
// 15 (on the time axis), anything between unchanged.
double plottedBmi(double bmi);

// Vertical position of a BMI value: 184 twips per BMI unit, BMI 15 on the time axis.
int chartY(double bmi);

struct BmiChart
{
    QString sexLetter; // as found in the header; only "m" and "w" select a sex
    QString ageText;   // as found in the header
    NormalBand band;
    DrawnBox lowerBox; // hatched zone below the normal band
    DrawnBox upperBox; // hatched zone above the normal band
    std::vector<DrawnLine> segments;
};

// The chart of a PersonFile from its first lines (header, empty line, records; records
// past the first 31 are ignored). fileName only names the file in messages: a file with
// fewer than three lines, or whose age or BMI characters are not a number, throws a
// Failure that names the file and the line. A child's band may be P10 to P90.
BmiChart bmiChart(const HistoryFile &file, const QString &fileName,
                  ChildRatings children = ChildRatings::Adult);
