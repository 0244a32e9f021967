#include "age.h"

#include <algorithm>

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

std::optional<double> exactAgeInYears(QDate birth, QDate today)
{
    const std::optional<int> years = ageInYears(birth, today);
    if (!years)
        return std::nullopt;
    const QDate birthday = birth.addYears(*years);
    const double yearLength = double(birthday.daysTo(birth.addYears(*years + 1)));
    return *years + std::min(double(birthday.daysTo(today)), yearLength - 1) / yearLength;
}
