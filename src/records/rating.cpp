#include "rating.h"

#include "common/numbertext.h"
#include "normalband.h"
#include "textfile.h"

#include <array>

double bodyMassIndex(double weightKg, double heightMm)
{
    const double metres = heightMm / 1000;
    return weightKg / (metres * metres);
}

QString shortBmiText(double bmi)
{
    return numberText(bmi).left(2);
}

double ratingValue(double bmiTextNumber, double age, bool woman)
{
    return bmiTextNumber - groupOffset(age) + (woman ? 1 : 0);
}

std::optional<int> ratingClass(double ratingValue)
{
    constexpr std::array thresholds{1.0, 15.0, 18.0, 23.0, 28.0, 38.0};
    std::optional<int> reached;
    for (std::size_t i = 0; i < thresholds.size(); ++i) {
        if (ratingValue > thresholds[i])
            reached = static_cast<int>(i);
    }
    return reached;
}

QString ratingFilePath(const QString &dataDir, int ratingClass)
{
    return dataDir + QStringLiteral("/bmi%1.txt").arg(ratingClass);
}

QStringList readRatingFile(const QString &path)
{
    return readAllLines(path);
}
