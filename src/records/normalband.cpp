#include "normalband.h"

#include <array>

int groupOffset(double age)
{
    constexpr std::array limits{24.0, 34.0, 44.0, 54.0, 64.0};
    int offset = 0;
    for (const double limit : limits) {
        if (age > limit)
            offset += 1;
    }
    return offset;
}

NormalBand normalBand(double age, bool woman)
{
    const int offset = groupOffset(age);
    const double lower = 19 + offset - (woman ? 1 : 0);
    return {lower, lower + 5};
}
