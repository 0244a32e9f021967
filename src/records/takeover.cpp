#include "takeover.h"

#include "common/numbertext.h"
#include "cp1252.h"
#include "linefields.h"
#include "personfile.h"
#include "rating.h"

namespace {

bool positive(const QString &text)
{
    const auto value = parseNumber(text);
    return value && *value > 0;
}

} // namespace

bool entriesAccepted(const TakeOverEntries &e)
{
    if (e.first.isEmpty() || e.last.isEmpty() || e.age.isEmpty())
        return false;
    if (!isSafeName(e.first) || !isSafeName(e.last))
        return false;
    if (!isCp1252Encodable(e.age) || !parseNumber(e.age))
        return false;
    // Readers take the age from two fixed header positions: "1E2" is a number, but
    // its "E2" would spoil every later chart and report of the person.
    if (!parseNumber(ageText(headerLine(personName(e.first, e.last), sexWord(false), e.age))))
        return false;
    if (e.weight == QLatin1String("99999") || !positive(e.weight) || !positive(e.height))
        return false;
    const double bmi = bodyMassIndex(*parseNumber(e.weight), *parseNumber(e.height));
    return parseNumber(shortBmiText(bmi)).has_value();
}
