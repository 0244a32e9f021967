#pragma once

#include <QDate>

#include <optional>

// Age in whole years on today of someone born on birth: one more on each birthday;
// in years without 29 February, someone born on it is a year older from 1 March.
// None when birth is after today or a date is invalid.
std::optional<int> ageInYears(QDate birth, QDate today);

// The age with the part of the current year of life that has passed: 7.5 half-way
// from the seventh birthday to the eighth. None as for ageInYears.
std::optional<double> exactAgeInYears(QDate birth, QDate today);
