// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The summed signal curves for any lane width: each lane is one time sample
// and adds its own three single-precision sums over the sampled depths in
// ascending order, with the operations of DecaySignal and of the summation
// in their order, so every lane gives the bits of the sample computed alone.
// A vector form includes this header only after switching its target (see
// Avx2Forms.cpp).

#include "lanes/CurveTables.h"
#include "lanes/ExpKernel.h"

#include <cstddef>

namespace tamrisk::lanes {

template <class Ops>
[[gnu::always_inline]] inline void SumCurveLanes(const detail::CurveTables& t, const double* times, float* hom,
                                                 float* lab, float* nat)
{
    using D = typename Ops::D;
    using F = typename Ops::F;
    constexpr std::size_t kBlock = 8;
    const D time = Ops::Load(times);
    F sumHom = Ops::SetFloat(0.0f);
    D sumLab = Ops::Set(0.0); // float values, kept widened
    D sumNat = Ops::Set(0.0);
    for (std::size_t first = 0; first < t.count; first += kBlock) {
        const std::size_t block = t.count - first < kBlock ? t.count - first : kBlock;
        // The exponentials of a block first: independent of each other and
        // of the sums, they overlap in the processor.
        D decay[kBlock];
        for (std::size_t b = 0; b < block; ++b)
            decay[b] = ExpOf<Ops>(Ops::Mul(Ops::Set(t.exponent[first + b]), time));
        for (std::size_t b = 0; b < block; ++b) {
            const std::size_t j = first + b;
            F a = Ops::ToFloat(Ops::Mul(Ops::Set(t.amplitude[j]), decay[b]));
            if (t.transparencyCorrection)
                a = Ops::ToFloat(Ops::Mul(Ops::Set(t.weight[j]), Ops::ToDouble(a)));
            const D wide = Ops::ToDouble(a);
            // float + float is the double sum rounded once (53 >= 2 * 24 + 1 bits).
            sumHom = Ops::AddFloat(sumHom, a);
            sumLab = Ops::ToDouble(Ops::ToFloat(Ops::Add(sumLab, Ops::Mul(wide, Ops::Set(t.labDose[j])))));
            sumNat = Ops::ToDouble(Ops::ToFloat(Ops::Add(sumNat, Ops::Mul(wide, Ops::Set(t.natDoseRate[j])))));
        }
    }
    Ops::StoreFloat(hom, sumHom);
    Ops::StoreFloat(lab, Ops::ToFloat(sumLab));
    Ops::StoreFloat(nat, Ops::ToFloat(sumNat));
}

} // namespace tamrisk::lanes
