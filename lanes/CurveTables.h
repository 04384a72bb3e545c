// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Per sampled depth of the summed signal curves: what DecaySignal and the
// sums need besides the time. Plain arrays, so that the vector files need no
// other header before switching their target.

#include <cstddef>

namespace tamrisk::detail {

struct CurveTables {
    std::size_t count = 0; // sampled depths
    bool transparencyCorrection = false;
    const double* amplitude = nullptr; // attenuation * rate
    const double* exponent = nullptr;  // -rate * attenuation
    const double* weight = nullptr;    // intensity^p
    const double* labDose = nullptr;
    const double* natDoseRate = nullptr;
};

// The three sums of the lanes' times (lanes/CurveKernel.h); times[l] is t of
// lane l. One lane in the scalar form, eight in the vector forms.
using SumCurveLanesFunction = void (*)(const CurveTables&, const double* times, float* hom, float* lab, float* nat);
enum class LaneKernel; // lanes/LaneKernel.h
SumCurveLanesFunction SumCurveLanesWith(LaneKernel kernel);

} // namespace tamrisk::detail
