#pragma once

#include <QLocale>
#include <QString>

#include <optional>

// The station keeps every value as text in the window's fields and in its history
// files. These two functions are the only conversions between numbers and such texts.

// General text form: at most 15 significant digits, the locale's decimal separator,
// no digit grouping, no trailing zeros, no separator for whole numbers, and the
// exponent form ("1E+15", "-1,77635683940025E-15") outside 1E-4 <= |v| < 1E15.
QString numberText(double value, const QLocale &locale = QLocale());

// Reads a text written by numberText or typed by a person: blanks around it, a sign,
// a trailing separator ("9," is 9) and the exponent form are accepted; grouping and
// anything else are not. Returns nothing for a text that is not a number.
std::optional<double> parseNumber(const QString &text, const QLocale &locale = QLocale());

// As parseNumber, but a text that is not a number throws a Failure that quotes it.
double textNumber(const QString &text, const QLocale &locale = QLocale());
