#pragma once

// Per sampled depth of the summed signal curves: what DecaySignal and the
// sums need besides the time. Plain arrays, so that the vector files need no
// other header before switching their target.

#include <cstddef>

namespace tamrisk::detail {

struct CurveTables {
    std::size_t count = 0;  // sampled depths
    bool transparencyCorrection = false;
    const double* amplitude = nullptr;  // attenuation * rate
    const double* exponent = nullptr;   // -rate * attenuation
    const double* weight = nullptr;     // intensity^p
    const double* labDose = nullptr;
    const double* natDoseRate = nullptr;
};

// The three sums of the lanes' times; times[l] is t of lane l. Scalar: one
// lane; AVX2: eight (two registers); AVX-512: eight.
void SumCurveLanesScalar(const CurveTables& tables, const double* times, float* hom, float* lab, float* nat);
void SumCurveLanesAvx2(const CurveTables& tables, const double* times, float* hom, float* lab, float* nat);
void SumCurveLanesAvx512(const CurveTables& tables, const double* times, float* hom, float* lab, float* nat);
enum class LaneKernel;  // model/ModelExp.h
using SumCurveLanesFunction = void (*)(const CurveTables&, const double*, float*, float*, float*);
SumCurveLanesFunction SumCurveLanesWith(LaneKernel kernel);

} // namespace tamrisk::detail
