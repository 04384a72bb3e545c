// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The model's exponential, written once for any lane width. Ops supplies the
// lane type D (doubles), the matching 64-bit integer lanes I and a handful of
// plain IEEE operations on them; the scalar form (one lane) and the vector
// forms run this same sequence of correctly rounded additions, subtractions,
// multiplications, comparisons, integer operations and table loads, so every
// lane returns exactly the bits of the scalar form. No step is fused or
// reordered (no FMA, -ffp-contract=off), so the result does not depend on the
// processor either.
//
// A vector form must include this header only after switching its target
// (see Avx2Forms.cpp): the template then compiles with that target.
//
// Method: x = (128 m + j) ln2/128 + r with |r| <= ln2/256, so
// exp(x) = 2^m * 2^(j/128) * exp(r); 2^(j/128) = hi + lo from a table
// (hi the nearest double, lo the nearest double to the rest) and
// exp(r) - 1 = q by its Taylor polynomial to r^5.
//
// Error, for results in the normal range: the reduction (x - k hi2 is exact,
// since hi2 has 35 significant bits and |k| < 2^18) errs by < 4e-19 in r;
// the dropped r^6/720 is < 6e-19; the roundings inside q add < 4e-19; those
// in hi*q and lo + hi*q < 9e-19; so hi + (lo + hi*q) is within 3e-18
// (< 0.02 ulp) of exp(x) / 2^m before its own rounding (0.5 ulp). The two
// power-of-two scalings are exact except where the result becomes
// subnormal, and there they round once. Hence |Exp(x) - exp(x)| < 0.52 ulp,
// a relative error below 2^-52; ExpRelativeErrorBound is that with margin.

#include <cstddef>
#include <cstdint>

namespace tamrisk::lanes {

inline constexpr double ExpRelativeErrorBound = 0x1p-50;

namespace exp_constants {
// Arguments are clamped to [kLow, kHigh]: below, the result is 0 (exp(-746)
// < 2^-1075); above, it overflows to infinity. A NaN passes both clamps.
inline constexpr double kLow = -746.0;
inline constexpr double kHigh = 710.0;
inline constexpr double kInvLn2N = 0x1.71547652b82fep+7; // 128 / ln 2
// Adding 1.5 * 2^52 rounds to an integer, which lands in the low bits.
inline constexpr double kShift = 0x1.8p52;
inline constexpr std::int64_t kShiftBits = 0x4338000000000000;
inline constexpr double kLn2NHi = 0x1.62e42fefc0000p-8;   // ln2/128, 35 bits
inline constexpr double kLn2NLo = -0x1.c610ca86c3899p-44; // ln2/128 - kLn2NHi
// k + kBias is positive for every clamped argument, so the integer steps
// below need only logical shifts (which AVX2 has for 64-bit lanes).
inline constexpr std::int64_t kBias = 128 * 2048;
inline constexpr double kC2 = 0.5;
inline constexpr double kC3 = 0x1.5555555555555p-3; // 1/6
inline constexpr double kC4 = 0x1.5555555555555p-5; // 1/24
inline constexpr double kC5 = 0x1.1111111111111p-7; // 1/120

// 2^(j/128) as hi, lo pairs (ExpTable.cpp). Defined once rather than in
// this header, so that no vector form's object carries a copy of its own.
extern const double kExp2Table[128][2];
} // namespace exp_constants

template <class Ops>
[[gnu::always_inline]] inline typename Ops::D ExpOf(typename Ops::D x)
{
    namespace c = exp_constants;
    using D = typename Ops::D;
    using I = typename Ops::I;
    x = Ops::Max(Ops::Set(c::kLow), x);
    x = Ops::Min(Ops::Set(c::kHigh), x);
    const D kd = Ops::Add(Ops::Mul(x, Ops::Set(c::kInvLn2N)), Ops::Set(c::kShift));
    const D k = Ops::Sub(kd, Ops::Set(c::kShift));
    const D r = Ops::Sub(Ops::Sub(x, Ops::Mul(k, Ops::Set(c::kLn2NHi))), Ops::Mul(k, Ops::Set(c::kLn2NLo)));

    // k = 128 m + j; 2^m = 2^m1 * 2^m2 with m1 = floor(m / 2), so that each
    // factor is a normal double even where the result is subnormal.
    const I kb = Ops::SubConst(Ops::Bits(kd), c::kShiftBits - c::kBias); // k + kBias
    const I j = Ops::AndInt(kb, 127);
    const I mb = Ops::ShiftRight(kb, 7);                                                        // m + 2048
    const I m1b = Ops::ShiftRight(mb, 1);                                                       // m1 + 1024
    const D scale1 = Ops::FromBits(Ops::ShiftLeft(Ops::SubConst(m1b, 1), 52));                  // 2^m1
    const D scale2 = Ops::FromBits(Ops::ShiftLeft(Ops::SubConst(Ops::SubInt(mb, m1b), 1), 52)); // 2^m2
    D hi;
    D lo;
    Ops::TablePairs(&c::kExp2Table[0][0], j, hi, lo);

    const D r2 = Ops::Mul(r, r);
    D s = Ops::Add(Ops::Set(c::kC4), Ops::Mul(r, Ops::Set(c::kC5)));
    s = Ops::Add(Ops::Set(c::kC3), Ops::Mul(r, s));
    s = Ops::Add(Ops::Set(c::kC2), Ops::Mul(r, s));
    const D q = Ops::Add(r, Ops::Mul(r2, s));
    const D p = Ops::Add(hi, Ops::Add(lo, Ops::Mul(hi, q)));
    return Ops::Mul(Ops::Mul(p, scale1), scale2);
}

// out[i] = ExpOf(in[i]), Ops::kLanes at a time; a short tail goes through
// one padded group.
template <class Ops>
[[gnu::always_inline]] inline void ExpBatchOf(const double* in, double* out, std::size_t count)
{
    constexpr std::size_t kLanes = Ops::kLanes;
    std::size_t i = 0;
    for (; i + kLanes <= count; i += kLanes)
        Ops::Store(out + i, ExpOf<Ops>(Ops::Load(in + i)));
    if (i < count) {
        double tail[kLanes] = {};
        for (std::size_t t = 0; t < count - i; ++t)
            tail[t] = in[i + t];
        Ops::Store(tail, ExpOf<Ops>(Ops::Load(tail)));
        for (std::size_t t = 0; t < count - i; ++t)
            out[i + t] = tail[t];
    }
}

} // namespace tamrisk::lanes
