#include "rating.h"

#include "common/failure.h"
#include "common/numbertext.h"
#include "normalband.h"
#include "textfile.h"

#include <QDir>

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
    // Read no further than the bounds: a file of millions of short lines would
    // otherwise fill the list until memory runs out.
    TextFileReader reader(path);
    QStringList lines;
    qsizetype bytes = 0;
    while (!reader.atEnd()) {
        lines << reader.readLine();
        bytes += lines.constLast().size() + 2;
        if (lines.size() > maxRatingLines || bytes > maxRatingFileBytes + 2) {
            throw Failure(QStringLiteral("Die Bewertungsdatei „%1“ wird nicht angezeigt: sie ist "
                                         "länger als %2 Zeilen oder %3 KiB.")
                              .arg(QDir::toNativeSeparators(path))
                              .arg(maxRatingLines)
                              .arg(maxRatingFileBytes / 1024));
        }
    }
    return lines;
}
