#include "childbmi.h"

#include "childbmireference.h"

#include <QLocale>

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

QString percentileText(double percentile, const QLocale &locale, QStringView clampGap)
{
    constexpr double lowest = 0.1;
    constexpr double highest = 99.9;
    if (percentile < lowest)
        return QLatin1Char('<') + clampGap.toString() + locale.toString(lowest, 'f', 1);
    if (percentile > highest)
        return QLatin1Char('>') + clampGap.toString() + locale.toString(highest, 'f', 1);
    constexpr std::array limits{3.0, 10.0, 90.0, 97.0, 99.5};
    // Whether shown lies on the same side of every limit as the percentile, or on it
    // only where the percentile is.
    const auto keepsClass = [percentile, &limits](double shown) {
        return std::all_of(limits.begin(), limits.end(), [&](double limit) {
            return (shown < limit) == (percentile < limit) &&
                   (shown > limit) == (percentile > limit);
        });
    };
    constexpr int mostDecimals = 2;
    int decimals = percentile >= 1 && percentile <= 99 ? 0 : 1;
    for (; decimals <= mostDecimals; ++decimals) {
        const double scale = std::pow(10, decimals);
        const double shown = std::round(percentile * scale) / scale;
        if (keepsClass(shown))
            return locale.toString(shown, 'f', decimals);
    }
    // Within half a hundredth of a limit: the hundredth beside it on the percentile's side.
    const double nearest = *std::min_element(limits.begin(), limits.end(), [&](double a, double b) {
        return std::abs(a - percentile) < std::abs(b - percentile);
    });
    return locale.toString(percentile < nearest ? nearest - 0.01 : nearest + 0.01, 'f',
                           mostDecimals);
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
