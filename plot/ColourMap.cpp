// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/ColourMap.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tamrisk {

namespace {

struct Knot {
    double r, g, b;
};

// Viridis (CC0, by N. J. Smith, S. van der Walt and E. Firing) at entries
// 0, 8, 16, ..., 248 and 255 of its 256: between them it is straight to
// well within one step of 8-bit colour.
constexpr std::array<Knot, 33> kViridis{{
    {0.267004, 0.004874, 0.329415}, {0.277018, 0.050344, 0.375715}, {0.282327, 0.094955, 0.417331},
    {0.282884, 0.135920, 0.453427}, {0.278826, 0.175490, 0.483397}, {0.270595, 0.214069, 0.507052},
    {0.258965, 0.251537, 0.524736}, {0.244972, 0.287675, 0.537260}, {0.229739, 0.322361, 0.545706},
    {0.214298, 0.355619, 0.551184}, {0.199430, 0.387607, 0.554642}, {0.185556, 0.418570, 0.556753},
    {0.172719, 0.448791, 0.557885}, {0.160665, 0.478540, 0.558115}, {0.149039, 0.508051, 0.557250},
    {0.137770, 0.537492, 0.554906}, {0.127568, 0.566949, 0.550556}, {0.120565, 0.596422, 0.543611},
    {0.120638, 0.625828, 0.533488}, {0.132268, 0.655014, 0.519661}, {0.157851, 0.683765, 0.501686},
    {0.196571, 0.711827, 0.479221}, {0.246070, 0.738910, 0.452024}, {0.304148, 0.764704, 0.419943},
    {0.369214, 0.788888, 0.382914}, {0.440137, 0.811138, 0.340967}, {0.515992, 0.831158, 0.294279},
    {0.595839, 0.848717, 0.243329}, {0.678489, 0.863742, 0.189503}, {0.762373, 0.876424, 0.137064},
    {0.845561, 0.887322, 0.099702}, {0.926106, 0.897330, 0.104071}, {0.993248, 0.906157, 0.143936},
}};

int Byte(double v) { return int(std::lround(std::clamp(v, 0.0, 1.0) * 255.0)); }

} // namespace

PenColor Viridis(double fraction)
{
    const double entry = std::clamp(std::isnan(fraction) ? 0.0 : fraction, 0.0, 1.0) * 255.0;
    // Knot k lies at entry 8k, the last at 255.
    const std::size_t k = std::min<std::size_t>(std::size_t(entry / 8.0), kViridis.size() - 2);
    const double from = 8.0 * double(k);
    const double to = k + 1 == kViridis.size() - 1 ? 255.0 : from + 8.0;
    const double t = (entry - from) / (to - from);
    const Knot& a = kViridis[k];
    const Knot& b = kViridis[k + 1];
    return {Byte(a.r + t * (b.r - a.r)), Byte(a.g + t * (b.g - a.g)), Byte(a.b + t * (b.b - a.b))};
}

} // namespace tamrisk
