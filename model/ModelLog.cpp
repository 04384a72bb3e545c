// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ModelLog.h"

#include <bit>
#include <cstdint>
#include <limits>

// x = 2^k * m with m in [sqrt(1/2), sqrt(2)), f = m - 1 (exact), and
// log(1 + f) = f - f^2/2 + s (f^2/2 + R(s^2)) with s = f / (2 + f), where R
// is the classic minimax polynomial of degree 14 in s; error below 1 ulp.
double ModelLog(double x)
{
    constexpr double kLn2Hi = 6.93147180369123816490e-01; // 32 bits: k * kLn2Hi is exact
    constexpr double kLn2Lo = 1.90821492927058770002e-10;
    constexpr double kLg1 = 6.666666666666735130e-01;
    constexpr double kLg2 = 3.999999999940941908e-01;
    constexpr double kLg3 = 2.857142874366239149e-01;
    constexpr double kLg4 = 2.222219843214978396e-01;
    constexpr double kLg5 = 1.818357216161805012e-01;
    constexpr double kLg6 = 1.531383769920937332e-01;
    constexpr double kLg7 = 1.479819860511658591e-01;

    if (x != x || x == std::numeric_limits<double>::infinity())
        return x + x; // NaN, +inf
    if (x == 0.0)
        return -std::numeric_limits<double>::infinity();
    if (x < 0.0)
        return std::numeric_limits<double>::quiet_NaN();

    int k = 0;
    if (x < 0x1p-1022) { // subnormal: scale into the normal range
        x *= 0x1p54;
        k = -54;
    }
    std::uint64_t bits = std::bit_cast<std::uint64_t>(x);
    k += int(bits >> 52) - 1023;
    bits &= (std::uint64_t(1) << 52) - 1;
    // m in [sqrt(1/2), sqrt(2)): mantissas above sqrt(2) - 1 go to the lower binade.
    if (bits > 0x6a09e667f3bcdULL) {
        bits |= std::uint64_t(1022) << 52;
        ++k;
    } else {
        bits |= std::uint64_t(1023) << 52;
    }
    const double f = std::bit_cast<double>(bits) - 1.0;
    const double s = f / (2.0 + f);
    const double z = s * s;
    const double w = z * z;
    const double t1 = w * (kLg2 + w * (kLg4 + w * kLg6));
    const double t2 = z * (kLg1 + w * (kLg3 + w * (kLg5 + w * kLg7)));
    const double r = t2 + t1;
    const double halfSquare = 0.5 * f * f;
    const double dk = k;
    return dk * kLn2Hi - ((halfSquare - (s * (halfSquare + r) + dk * kLn2Lo)) - f);
}
