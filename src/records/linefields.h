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

struct HeaderFields
{
    QString sexLetter; // "m", "w", or what the fixed position holds
    QString ageText;
    friend bool operator==(const HeaderFields &, const HeaderFields &) = default;
};

// Sex letter and age of a header read by its words: the age is the text between the
// last "  männlich " or "  weiblich " and the closing "Jahre", so that ages of one or
// three characters read right ("5", "100"). For a two-character age this is exactly
// what sexLetter() and ageText() give; a line of another layout gives those as well.
HeaderFields headerFields(const QString &header);

// The number that text, taken from line lineNumber of the file fileName, stands for.
// Throws a Failure naming file, line and what it is ("das Alter", "der BMI") when it
// is none.
double numberInLine(const QString &text, const QString &what, int lineNumber,
                    const QString &fileName);

// Throws the Failure for a file that ends before line lineNumber.
[[noreturn]] void failMissingLine(int lineNumber, const QString &fileName);
