#pragma once

#include "normalband.h"

#include <QLocale>
#include <QString>

#include <optional>

// Children rated by the percentile of their BMI in the German reference of 2001
// (childbmireference.h), as paediatric practice in Germany does; an installation may
// keep the adult rules for every age instead.

enum class ChildRatings {
    Adult,      // the adult band and rating for every age
    Percentiles // children by percentile
};

// A child is from 2 years up to, not including, 15: the reference's revision of 2015
// for older adolescents is not at hand.
bool isChildAge(double years);

// The age rated for an age in typed years: whole years are taken at the middle of the
// year of life (7 is 7.5), as the published limit tables are computed; a fractional
// age as typed.
double ageOfTypedYears(double typedYears);

// Percentile (0 to 100) of a BMI for an age in years and a sex, from the reference's
// L, M and S interpolated linearly between months: z = ((BMI/M)^L - 1) / (L S).
double bmiPercentile(double bmi, double years, bool woman);

// The BMI at a percentile (strictly between 0 and 100): M (1 + L S z)^(1/L).
double bmiAtPercentile(double percentile, double years, bool woman);

// 0 below P3, 1 from P3 below P10, 2 from P10 up to P90, 3 above P90, 4 above P97,
// 5 above P99.5: the six RatingFiles, as for adults.
int childRatingClass(double percentile);

// P10 to P90 at that age.
NormalBand childNormalBand(double years, bool woman);

// The band the chart and the report draw for the age in a PersonFile's header.
NormalBand drawnBand(double headerYears, bool woman, ChildRatings children);

// A percentile as the window and the GDT answer show it, so that both show the same:
// below 0.1 and above 99.9 only the clamp ("< 0,1", "> 99,9"); else whole percentiles
// from 1 to 99, one decimal below 1 and above 99, in the locale's decimals. A shown
// value never meets or passes a class limit (3, 10, 90, 97, 99.5) that the percentile
// does not meet: 9.6 is "9,6", not "10"; one decimal more where one decimal would, and
// at two decimals the hundredth on the percentile's side (9.999 is "9,99"). clampGap
// stands between "<" or ">" and the number.
QString percentileText(double percentile, const QLocale &locale = QLocale(),
                       QStringView clampGap = u" ");
QString percentileLine(double percentile);

// The child's percentile rating for a BMI; none when the age is no child's or the
// installation keeps the adult rules.
struct ChildRating
{
    double percentile = 0;
    int ratingClass = 0;
};
std::optional<ChildRating> childRating(double bmi, double years, bool woman, ChildRatings children);
