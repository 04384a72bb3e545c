// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The scan's kernel for any lane width: each lane is one grid point (one
// evaluation time at the same extinction) and adds its own single-precision
// sums over the depth samples in ascending order, exactly as ComputeModel
// does for that point alone. A vector form includes this header only after
// switching its target (see Avx2Forms.cpp).
//
// Two exact shortcuts, both leaving every sum bit for bit as the full loop:
//
// 1. Samples with an OSL fraction of exactly 1. With y = c * att
//    (c = -rate * evalTime) and y <= kAlwaysFull = -18.03: exp(y) <
//    0.992 * 2^-26, and ModelExp is within ExpRelativeErrorBound of it (or
//    below 2^-1000 where it underflows), so e = ModelExp(y) < 2^-26; 1 - e
//    rounds to a double >= 1 - 2^-26, which rounds to the float 1 (the
//    float below 1 is 1 - 2^-24, the midpoint 1 - 2^-25). Such a sample's
//    terms do not depend on the evaluation time: fullLab / fullNat hold
//    their running sums. With prefixMin[i] = min(att[0..i]) and c < 0, y_j
//    <= c * prefixMin[i] for every j <= i (rounding is monotone), so a
//    lane may start at the first i where c * prefixMin[i] > kAlwaysFull.
//    Lanes that could start later compute those samples anyway and get the
//    same terms.
//
// 2. The end of the sums. For finite c <= 0 and the samples j >= i, with
//    A >= att_j >= 0 and G >= |weightedLab_j| (times weight_j with the
//    transparency correction): |y| <= |c| A (1 + 2^-53); 1 - ModelExp(y) <=
//    (1 - exp(y)) + 2^-50 exp(y) <= |y| + 2^-50; the roundings to double
//    and float of the OSL fraction, the corrected fraction and the term add
//    factors below (1 + 2^-23)^3. So |term| <= G (|c| A + 2^-49) (1 + 2^-20)
//    = B (computed in double; its own roundings are covered by the margin).
//    If B < |S| 2^-25 for the current sum S, every remaining term is below
//    half the spacing of the floats around S (2^-25 |S| is at most half
//    the smaller spacing, below S when S is a power of two), so S + term
//    rounds to S: the sum can no longer change, and the lane is done.
//    A group of lanes is done when all of its lanes are. The test runs at
//    multiples of kSettleBlock, where A and G are kept for the samples
//    from there to the end.

#include "lanes/ExpKernel.h"
#include "lanes/ScanPassTables.h"

#include <cstddef>

namespace tamrisk::lanes {

// Whether no remaining sample (from block b on) can change the sums of any
// lane: shortcut 2's bound, in double, for every lane at once. negC = -c;
// the caller checks that every c is finite and not positive.
template <class Ops>
[[gnu::always_inline]] inline bool LanesSettled(const detail::ScanPassTables& t, std::size_t b, typename Ops::D negC,
                                                typename Ops::F lab, typename Ops::F nat)
{
    const typename Ops::D reach =
        Ops::Mul(Ops::Add(Ops::Mul(negC, Ops::Set(t.tailAttenuation[b])), Ops::Set(0x1p-49)), Ops::Set(1.0 + 0x1p-20));
    const typename Ops::D quarter = Ops::Set(0x1p-25);
    return Ops::AllLess(Ops::Mul(Ops::Set(t.tailLab[b]), reach), Ops::Mul(Ops::Abs(Ops::ToDouble(lab)), quarter)) &&
           Ops::AllLess(Ops::Mul(Ops::Set(t.tailNat[b]), reach), Ops::Mul(Ops::Abs(Ops::ToDouble(nat)), quarter));
}

template <class Ops, bool kCorrected>
[[gnu::always_inline]] inline std::size_t SumLanesFrom(const detail::ScanPassTables& t, const double* factors,
                                                       std::size_t first, float* lab, float* nat)
{
    using D = typename Ops::D;
    using F = typename Ops::F;
    constexpr std::size_t kCheckEvery = detail::kSettleBlock;
    const D c = Ops::Load(factors);
    const D negC = Ops::Sub(Ops::Set(0.0), c);
    bool canSettle = true;
    for (int l = 0; l < Ops::kLanes; ++l)
        canSettle = canSettle && factors[l] <= 0.0 && factors[l] > -1e300;
    const D one = Ops::Set(1.0);
    F sumLab = Ops::SetFloat(t.fullLab[first]);
    F sumNat = Ops::SetFloat(t.fullNat[first]);
    std::size_t i = first;
    while (i < t.count) {
        // Up to the next multiple of kCheckEvery, where the bounds are kept.
        const std::size_t next = (i / kCheckEvery + 1) * kCheckEvery;
        const std::size_t block = (next < t.count ? next : t.count) - i;
        // The exponentials of a block first: independent of each other and
        // of the sums, they overlap in the processor.
        D e[kCheckEvery];
        for (std::size_t b = 0; b < block; ++b)
            e[b] = ExpOf<Ops>(Ops::Mul(c, Ops::Set(t.attenuation[i + b])));
        for (std::size_t b = 0; b < block; ++b, ++i) {
            // The operations of ComputeModel's sample, in its order.
            F osl = Ops::ToFloat(Ops::Sub(one, e[b]));
            if constexpr (kCorrected)
                osl = Ops::ToFloat(Ops::Mul(Ops::Set(t.weight[i]), Ops::ToDouble(osl)));
            const D fraction = Ops::ToDouble(osl);
            // float + float is the double sum rounded once (53 >= 2 * 24 + 1 bits).
            sumLab = Ops::AddFloat(sumLab, Ops::ToFloat(Ops::Mul(Ops::Set(t.weightedLab[i]), fraction)));
            sumNat = Ops::AddFloat(sumNat, Ops::ToFloat(Ops::Mul(Ops::Set(t.weightedNat[i]), fraction)));
        }
        if (i < t.count && canSettle && LanesSettled<Ops>(t, i / kCheckEvery, negC, sumLab, sumNat))
            break;
    }
    Ops::StoreFloat(lab, sumLab);
    Ops::StoreFloat(nat, sumNat);
    return i;
}

// Returns the sample where the sums ended.
template <class Ops>
[[gnu::always_inline]] inline std::size_t SumLanes(const detail::ScanPassTables& t, const double* factors,
                                                   std::size_t first, float* lab, float* nat)
{
    return t.transparencyCorrection ? SumLanesFrom<Ops, true>(t, factors, first, lab, nat)
                                    : SumLanesFrom<Ops, false>(t, factors, first, lab, nat);
}

} // namespace tamrisk::lanes
