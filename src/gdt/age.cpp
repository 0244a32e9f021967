#include "age.h"

std::optional<int> ageInYears(QDate birth, QDate today)
{
    if (!birth.isValid() || !today.isValid() || birth > today)
        return std::nullopt;
    int years = today.year() - birth.year();
    const bool beforeBirthday = today.month() < birth.month() ||
                                (today.month() == birth.month() && today.day() < birth.day());
    if (beforeBirthday)
        --years;
    return years;
}
