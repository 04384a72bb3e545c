// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>

namespace tamrisk {

// A pixel coordinate, or none where the value has no pixel position (not a
// number, infinite, or so far outside that it could not be a picture pixel).
using PixelCoordinate = std::optional<std::int64_t>;

struct PixelXY {
    std::int64_t x;
    std::int64_t y;
};
using PixelPoint = std::optional<PixelXY>;

// Quotients beyond this are left undrawn; within it int64 is exact and the
// line clipping handles any distance.
inline constexpr double kMaxPixelOffset = 1099511627776.0; // 2^40

// base + trunc(quotient): truncation toward zero, never rounding or flooring.
inline PixelCoordinate PlotOffset(std::int64_t base, double quotient)
{
    if (!(std::fabs(quotient) <= kMaxPixelOffset))
        return std::nullopt;
    return base + static_cast<std::int64_t>(std::trunc(quotient));
}

// A scale (value per pixel): the product taken in double with the
// single-precision factor, then stored in single precision.
inline double StoredScale(double span, float factor) { return static_cast<float>(span * static_cast<double>(factor)); }

inline PixelPoint Point(PixelCoordinate x, PixelCoordinate y)
{
    if (!x || !y)
        return std::nullopt;
    return PixelXY{*x, *y};
}

} // namespace tamrisk
