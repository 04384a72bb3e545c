// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Element-wise loops over single-precision columns, for any lane width: each
// element goes through the same IEEE operations as in the scalar form, so
// every form gives its bits. A short tail goes through one padded group. A
// vector form includes this header only after switching its target (see
// Avx2Forms.cpp).

#include <cstddef>

namespace tamrisk::lanes {

// out[i] = float(double(num[i]) / double(den[i])).
template <class Ops>
[[gnu::always_inline]] inline void RatioColumnOf(const float* num, const float* den, float* out, std::size_t count)
{
    constexpr std::size_t kLanes = Ops::kLanes;
    std::size_t i = 0;
    for (; i + kLanes <= count; i += kLanes)
        Ops::StoreFloat(out + i, Ops::ToFloat(Ops::Div(Ops::LoadWidened(num + i), Ops::LoadWidened(den + i))));
    if (i < count) {
        float n[kLanes] = {};
        float d[kLanes] = {};
        float q[kLanes];
        for (std::size_t t = 0; t < count - i; ++t) {
            n[t] = num[i + t];
            d[t] = den[i + t];
        }
        Ops::StoreFloat(q, Ops::ToFloat(Ops::Div(Ops::LoadWidened(n), Ops::LoadWidened(d))));
        for (std::size_t t = 0; t < count - i; ++t)
            out[i + t] = q[t];
    }
}

// out[i] = (double(values[i]) - offset) / scale, negated when `negate`.
template <class Ops>
[[gnu::always_inline]] inline void PixelQuotientsOf(const float* values, std::size_t count, double offset, double scale,
                                                    bool negate, double* out)
{
    using D = typename Ops::D;
    constexpr std::size_t kLanes = Ops::kLanes;
    const D from = Ops::Set(offset);
    const D by = Ops::Set(scale);
    const D sign = Ops::Set(negate ? -0.0 : 0.0); // negation flips the sign bit only
    std::size_t i = 0;
    for (; i + kLanes <= count; i += kLanes)
        Ops::Store(out + i, Ops::FlipSign(Ops::Div(Ops::Sub(Ops::LoadWidened(values + i), from), by), sign));
    if (i < count) {
        float v[kLanes] = {};
        double q[kLanes];
        for (std::size_t t = 0; t < count - i; ++t)
            v[t] = values[i + t];
        Ops::Store(q, Ops::FlipSign(Ops::Div(Ops::Sub(Ops::LoadWidened(v), from), by), sign));
        for (std::size_t t = 0; t < count - i; ++t)
            out[i + t] = q[t];
    }
}

} // namespace tamrisk::lanes
