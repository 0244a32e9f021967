#pragma once

#include <array>

// The LMS parameters of the German BMI reference for children (2001), one row per
// month of age from 0 to 18 years (row i holds for i/12 years).

struct LmsParameters
{
    double l; // Box-Cox power
    double m; // median BMI
    double s; // coefficient of variation
};

inline constexpr int childReferenceMonths = 18 * 12 + 1;

extern const std::array<LmsParameters, childReferenceMonths> boysBmiReference;
extern const std::array<LmsParameters, childReferenceMonths> girlsBmiReference;
