#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

// Texts in HL7 v2 fields with the default delimiters |^~\&.

// The text with every delimiter as its escape (\F\ \S\ \T\ \R\ \E\) and every control
// character as a hex escape (\X0D\), so that no text can end a field or a segment.
QString hl7Escaped(QStringView text);

// An escaped field read back: the five delimiter escapes and \Xhh..\ hex escapes;
// other escapes (formatting, character sets) are dropped.
QString hl7Unescaped(QStringView text);

// A number with a dot whatever the locale, up to 15 significant digits, no exponent
// for values a measurement has.
QString hl7Number(double value);

// DTM with seconds and the offset from UTC: 20261208143000+0100.
QString hl7Time(const QDateTime &time);

// DT: 20150304.
QString hl7Date(QDate date);

// The date of a DT or DTM ("20150304", "201503041200"); nothing for another text.
std::optional<QDate> hl7ReadDate(QStringView text);
