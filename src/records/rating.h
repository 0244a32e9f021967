#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// BMI, its two-character text, and the rating that picks one of six RatingFiles.

// Weight in kilograms over the square of the height in metres.
double bodyMassIndex(double weightKg, double heightMm);

// The first two characters of the BMI's number text: "23" for 23.67, "9," for 9.5,
// "8" for 8, "32" for 32652.7. This is what the window shows and the file stores.
QString shortBmiText(double bmi);

// The BMI text as a number, minus the group offset of the age, plus 1 for a woman.
double ratingValue(double bmiTextNumber, double age, bool woman);

// 0 to 5 by the thresholds 1, 15, 18, 23, 28 and 38 (strictly greater than); none for
// a rating value of 1 or less.
std::optional<int> ratingClass(double ratingValue);

// dataDir + "/bmi" + class digit + ".txt".
QString ratingFilePath(const QString &dataDir, int ratingClass);

// A RatingFile holds a few lines of advice; a longer one is refused.
constexpr qsizetype maxRatingFileBytes = 64 * 1024;
constexpr qsizetype maxRatingLines = 200;

// The lines of a RatingFile, one list item each; throws a Failure naming the file
// when it cannot be read or is over either bound.
QStringList readRatingFile(const QString &path);
