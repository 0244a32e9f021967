#pragma once

#include <QString>

// Values that readers take out of PersonFile lines at fixed positions counted from
// the end of the line, so that they hold for any length of name. A line shorter
// than the count yields what it has.

// The last n characters of line (the whole line when it is shorter).
QString lastChars(const QString &line, qsizetype n);

// Header line: the first of the last 16 characters ("w" in "weiblich 34Jahre").
QString sexLetter(const QString &header);

// Header line: the first two of the last 7 characters ("34" in "34Jahre").
QString ageText(const QString &header);

// Record line: the last two characters ("23" in "... BMI: 23").
QString bmiText(const QString &recordLine);
