#pragma once

// The range of BMI values rated as normal for an age and a sex. Age limits are
// 24, 34, 44, 54 and 64 years, each tested with "greater than", so a limit belongs to
// the younger group; women's bounds lie one below the men's. Children's bands
// (childbmi.h) are not whole numbers.

struct NormalBand
{
    double lower = 0;
    double upper = 0;
    friend bool operator==(const NormalBand &, const NormalBand &) = default;
};

// 0 up to 24 years, 1 over 24, 2 over 34, 3 over 44, 4 over 54, 5 over 64.
int groupOffset(double age);

NormalBand normalBand(double age, bool woman);
