// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/SliderScale.h"

#include <climits>
#include <cmath>

namespace tamrisk {

namespace {

// Truncation toward zero that stays defined for every double: NaN gives the
// fallback, values beyond the int range clamp to its ends.
int TruncateToInt(double x, int fallback)
{
    if (std::isnan(x)) {
        return fallback;
    }
    if (x >= 2147483648.0) {
        return INT_MAX;
    }
    if (x <= -2147483649.0) {
        return INT_MIN;
    }
    return static_cast<int>(x);
}

} // namespace

float PositionToValue(int position, float lo, float hi, float posMin, float posMax, bool logarithmic)
{
    const float v = static_cast<float>(double(lo) + (double(position) - double(posMin)) /
                                                        (double(posMax) - double(posMin)) * (double(hi) - double(lo)));
    if (logarithmic) {
        return static_cast<float>(std::pow(10.0, double(v)));
    }
    return v;
}

int ValueToPosition(float value, float lo, float hi, float posMin, float posMax, bool logarithmic)
{
    const double x = logarithmic ? std::log10(double(value)) : double(value);
    const double position =
        double(posMin) + (x - double(lo)) / (double(hi) - double(lo)) * (double(posMax) - double(posMin));
    // A value that maps to no position at all (NaN) puts the slider at its start.
    return TruncateToInt(position, TruncateToInt(double(posMin), 0));
}

} // namespace tamrisk
