#include "childbmi.h"

#include "childbmireference.h"
#include "common/numbertext.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

LmsParameters lmsAt(double years, bool woman)
{
    const auto &table = woman ? girlsBmiReference : boysBmiReference;
    const double month = std::clamp(years * 12, 0.0, double(childReferenceMonths - 1));
    const int below = std::min(int(month), childReferenceMonths - 2);
    const double t = month - below;
    const LmsParameters &a = table[below];
    const LmsParameters &b = table[below + 1];
    return {a.l + t * (b.l - a.l), a.m + t * (b.m - a.m), a.s + t * (b.s - a.s)};
}

double standardNormal(double z)
{
    return 0.5 * std::erfc(-z / std::sqrt(2.0));
}

// By bisection: exact to the last bits in 100 halvings, and no table of its own.
double standardNormalQuantile(double p)
{
    double low = -10;
    double high = 10;
    for (int i = 0; i < 100; ++i) {
        const double mid = (low + high) / 2;
        (standardNormal(mid) < p ? low : high) = mid;
    }
    return (low + high) / 2;
}

} // namespace

bool isChildAge(double years)
{
    return years >= 2 && years < 15;
}

double ageOfTypedYears(double typedYears)
{
    return typedYears == std::floor(typedYears) ? typedYears + 0.5 : typedYears;
}

double bmiPercentile(double bmi, double years, bool woman)
{
    const LmsParameters p = lmsAt(years, woman);
    const double z = (std::pow(bmi / p.m, p.l) - 1) / (p.l * p.s);
    return 100 * standardNormal(z);
}

double bmiAtPercentile(double percentile, double years, bool woman)
{
    const LmsParameters p = lmsAt(years, woman);
    const double z = standardNormalQuantile(percentile / 100);
    return p.m * std::pow(1 + p.l * p.s * z, 1 / p.l);
}

int childRatingClass(double percentile)
{
    if (percentile < 3)
        return 0;
    if (percentile < 10)
        return 1;
    constexpr std::array above{90.0, 97.0, 99.5};
    int ratingClass = 2;
    for (const double limit : above) {
        if (percentile > limit)
            ++ratingClass;
    }
    return ratingClass;
}

NormalBand childNormalBand(double years, bool woman)
{
    return {bmiAtPercentile(10, years, woman), bmiAtPercentile(90, years, woman)};
}

NormalBand drawnBand(double headerYears, bool woman, ChildRatings children)
{
    const double years = ageOfTypedYears(headerYears);
    if (children == ChildRatings::Percentiles && isChildAge(years))
        return childNormalBand(years, woman);
    return normalBand(headerYears, woman);
}

QString percentileText(double percentile)
{
    if (percentile >= 1 && percentile <= 99)
        return numberText(std::round(percentile));
    return numberText(std::clamp(std::round(percentile * 10) / 10, 0.1, 99.9));
}

QString percentileLine(double percentile)
{
    return QStringLiteral("BMI-Perzentile: %1 (Kinder, Referenz 2001)")
        .arg(percentileText(percentile));
}

std::optional<ChildRating> childRating(double bmi, double years, bool woman, ChildRatings children)
{
    if (children != ChildRatings::Percentiles || !isChildAge(years))
        return std::nullopt;
    const double percentile = bmiPercentile(bmi, years, woman);
    return ChildRating{percentile, childRatingClass(percentile)};
}
