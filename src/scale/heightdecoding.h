#pragma once

#include <QLocale>
#include <QVariant>

#include <optional>

// Turns the scale's 10-bit Gray-coded height count into the plain binary count.
// The argument is a number or a text holding one (read by the locale's rules). The
// bits are taken from the top down by subtraction, so 1024 and above decode as
// 1023 (all ten bits set: 682), a negative value as 0, and a fraction by its whole
// part (5.5 decodes as 5, giving 6). An empty text or an invalid variant gives no
// value; a text that is not a number throws a Failure.
std::optional<int> UmrechnungBin(const QVariant &strEDaten, const QLocale &locale = QLocale());

// Plain binary to reflected Gray code, the encoding the scale uses for the height.
constexpr int grayCode(int binary)
{
    return binary ^ (binary >> 1);
}
