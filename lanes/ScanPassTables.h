// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the lane kernels of the scan read for one extinction value: per depth
// sample the attenuation and the weights, the sums of the samples whose OSL
// fraction is exactly 1, and the bounds that end the sums early. Plain
// arrays, so that the vector files need no other header before switching
// their target.

#include <cstddef>

namespace tamrisk::detail {

// The sums may end only at multiples of this many samples.
inline constexpr std::size_t kSettleBlock = 8;

struct ScanPassTables {
    std::size_t count = 0; // depth samples
    bool transparencyCorrection = false;
    const double* attenuation = nullptr; // exp(-mu z), unrounded
    const double* weight = nullptr;      // intensity^p
    const double* weightedLab = nullptr; // intensity^p * labDose
    const double* weightedNat = nullptr; // intensity^p * natDoseRate
    // [n]: the running sums over samples 0..n-1 with an OSL fraction of 1.
    const float* fullLab = nullptr;
    const float* fullNat = nullptr;
    // [b]: bounds over samples b * kSettleBlock..count-1 (see ScanKernel.h),
    // for b * kSettleBlock < count.
    const double* tailAttenuation = nullptr;
    const double* tailLab = nullptr;
    const double* tailNat = nullptr;
};

// A sample whose exponent c * att is at most this has an OSL fraction of
// exactly 1 (shortcut 1 in lanes/ScanKernel.h).
inline constexpr double kAlwaysFull = -18.03;

// The sums of one lane group from sample `first` on, the sums of the
// samples before it given by fullLab / fullNat [first]. factors[l] is
// -rate * evalTime of lane l. One lane in the scalar form, eight in the
// vector forms. Returns the sample where the sums ended.
using SumLanesFunction = std::size_t (*)(const ScanPassTables&, const double* factors, std::size_t first, float* lab,
                                         float* nat);
enum class LaneKernel; // lanes/LaneKernel.h
SumLanesFunction SumLanesWith(LaneKernel kernel);

} // namespace tamrisk::detail
