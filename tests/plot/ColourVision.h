// SPDX-License-Identifier: GPL-3.0-or-later
// Colour distances as a reader sees them: CIEDE2000 between sRGB colours, in
// normal vision and under simulated dichromacy (the full-severity matrices
// of Machado, Oliveira and Fernandes 2009, applied in linear RGB).
#pragma once

#include "model/CurveTable.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace tamrisk::test {

enum class Vision { Normal, Protanopia, Deuteranopia, Tritanopia };
inline constexpr std::array<Vision, 4> kVisions{Vision::Normal, Vision::Protanopia, Vision::Deuteranopia,
                                                Vision::Tritanopia};

inline const char* VisionName(Vision v)
{
    static const char* const kNames[] = {"normal", "protanopia", "deuteranopia", "tritanopia"};
    return kNames[int(v)];
}

struct Lab {
    double l, a, b;
};

inline double Linear(int c)
{
    const double v = c / 255.0;
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

inline Lab ToLab(const PenColor& colour, Vision vision)
{
    using M = std::array<std::array<double, 3>, 3>;
    static const M kMatrices[] = {
        {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}},
        {{{0.152286, 1.052583, -0.204868}, {0.114503, 0.786281, 0.099216}, {-0.003882, -0.048116, 1.051998}}},
        {{{0.367322, 0.860646, -0.227968}, {0.280085, 0.672501, 0.047413}, {-0.011820, 0.042940, 0.968881}}},
        {{{1.255528, -0.076749, -0.178779}, {-0.078411, 0.930809, 0.147602}, {0.004733, 0.691367, 0.303900}}},
    };
    const std::array<double, 3> in{Linear(colour.r), Linear(colour.g), Linear(colour.b)};
    std::array<double, 3> rgb{};
    const M& m = kMatrices[int(vision)];
    for (int i = 0; i < 3; ++i)
        rgb[i] = std::clamp(m[i][0] * in[0] + m[i][1] * in[1] + m[i][2] * in[2], 0.0, 1.0);
    const double x = 0.4124564 * rgb[0] + 0.3575761 * rgb[1] + 0.1804375 * rgb[2];
    const double y = 0.2126729 * rgb[0] + 0.7151522 * rgb[1] + 0.0721750 * rgb[2];
    const double z = 0.0193339 * rgb[0] + 0.1191920 * rgb[1] + 0.9503041 * rgb[2];
    const auto f = [](double t) { return t > 216.0 / 24389.0 ? std::cbrt(t) : (24389.0 / 27.0 * t + 16.0) / 116.0; };
    const double fx = f(x / 0.95047), fy = f(y), fz = f(z / 1.08883);
    return {116.0 * fy - 16.0, 500.0 * (fx - fy), 200.0 * (fy - fz)};
}

// CIEDE2000 (Sharma, Wu and Dalal 2005).
inline double DeltaE2000(const Lab& p, const Lab& q)
{
    const double deg = std::numbers::pi / 180.0;
    const double c1 = std::hypot(p.a, p.b), c2 = std::hypot(q.a, q.b);
    const double cMean7 = std::pow((c1 + c2) / 2.0, 7.0);
    const double g = 0.5 * (1.0 - std::sqrt(cMean7 / (cMean7 + std::pow(25.0, 7.0))));
    const double a1 = (1.0 + g) * p.a, a2 = (1.0 + g) * q.a;
    const double cp1 = std::hypot(a1, p.b), cp2 = std::hypot(a2, q.b);
    const auto hue = [deg](double b, double a) {
        const double h = std::atan2(b, a) / deg;
        return h < 0 ? h + 360.0 : h;
    };
    const double h1 = hue(p.b, a1), h2 = hue(q.b, a2);
    double dh = 0.0;
    if (cp1 * cp2 != 0.0) {
        dh = h2 - h1;
        if (dh > 180.0)
            dh -= 360.0;
        else if (dh < -180.0)
            dh += 360.0;
    }
    const double dL = q.l - p.l, dC = cp2 - cp1;
    const double dH = 2.0 * std::sqrt(cp1 * cp2) * std::sin(dh / 2.0 * deg);
    const double lMean = (p.l + q.l) / 2.0, cpMean = (cp1 + cp2) / 2.0;
    double hMean = h1 + h2;
    if (cp1 * cp2 != 0.0)
        hMean = std::fabs(h1 - h2) <= 180.0 ? (h1 + h2) / 2.0
                                            : (h1 + h2 < 360.0 ? (h1 + h2 + 360.0) / 2.0 : (h1 + h2 - 360.0) / 2.0);
    const double t = 1.0 - 0.17 * std::cos((hMean - 30.0) * deg) + 0.24 * std::cos(2.0 * hMean * deg) +
                     0.32 * std::cos((3.0 * hMean + 6.0) * deg) - 0.20 * std::cos((4.0 * hMean - 63.0) * deg);
    const double dTheta = 30.0 * std::exp(-std::pow((hMean - 275.0) / 25.0, 2.0));
    const double cp7 = std::pow(cpMean, 7.0);
    const double rc = 2.0 * std::sqrt(cp7 / (cp7 + std::pow(25.0, 7.0)));
    const double sl = 1.0 + 0.015 * std::pow(lMean - 50.0, 2.0) / std::sqrt(20.0 + std::pow(lMean - 50.0, 2.0));
    const double sc = 1.0 + 0.045 * cpMean, sh = 1.0 + 0.015 * cpMean * t;
    const double rt = -std::sin(2.0 * dTheta * deg) * rc;
    return std::sqrt(std::pow(dL / sl, 2.0) + std::pow(dC / sc, 2.0) + std::pow(dH / sh, 2.0) +
                     rt * (dC / sc) * (dH / sh));
}

inline double DeltaE(const PenColor& p, const PenColor& q, Vision vision)
{
    return DeltaE2000(ToLab(p, vision), ToLab(q, vision));
}

} // namespace tamrisk::test
