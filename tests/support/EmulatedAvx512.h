// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The AVX-512 form of every vector kernel compiled against SIMDe's portable
// emulation of the intrinsics, as the table lanes::emulated_avx512::kForms,
// so that it runs (slowly) on any processor. Include this before any header
// that includes <immintrin.h>: the emulation defines the vector types itself.

#define SIMDE_ENABLE_NATIVE_ALIASES
#include <simde/x86/avx512.h>

#include "lanes/ColumnKernels.h"
#include "lanes/CurveKernel.h"
#include "lanes/ExpKernel.h"
#include "lanes/Forms.h"
#include "lanes/LaneKernel.h"
#include "lanes/ScanKernel.h"

#include <cstddef>
#include <vector>

namespace tamrisk::testing {

// Two conversions this SIMDe release lacks, written as the instructions
// define them: each lane converted on its own in the default rounding mode.
inline simde__m256 EmulatedCvtpdPs(simde__m512d a)
{
    double in[8];
    float out[8];
    simde_mm512_storeu_pd(in, a);
    for (std::size_t l = 0; l < 8; ++l)
        out[l] = static_cast<float>(in[l]);
    return simde_mm256_loadu_ps(out);
}

inline simde__m512d EmulatedCvtpsPd(simde__m256 a)
{
    float in[8];
    double out[8];
    simde_mm256_storeu_ps(in, a);
    for (std::size_t l = 0; l < 8; ++l)
        out[l] = in[l];
    return simde_mm512_loadu_pd(out);
}

} // namespace tamrisk::testing

#define _mm512_cvtpd_ps(a) ::tamrisk::testing::EmulatedCvtpdPs(a)
#define _mm512_cvtps_pd(a) ::tamrisk::testing::EmulatedCvtpsPd(a)

// The header's own #include <immintrin.h> must not bring the native types.
#define _IMMINTRIN_H_INCLUDED
#define __IMMINTRIN_H
// A namespace of its own, so that its kernels never merge with the native ones.
#define avx512 emulated_avx512
#include "lanes/Avx512Ops.h"
#undef avx512

namespace tamrisk::lanes::emulated_avx512 {

inline void ExpBatch(const double* in, double* out, std::size_t count) { ExpBatchOf<Ops>(in, out, count); }

inline void SumCurves(const detail::CurveTables& tables, const double* times, float* hom, float* lab, float* nat)
{
    SumCurveLanes<Ops>(tables, times, hom, lab, nat);
}

inline std::size_t SumScan(const detail::ScanPassTables& tables, const double* factors, std::size_t first, float* lab,
                           float* nat)
{
    return SumLanes<Ops>(tables, factors, first, lab, nat);
}

inline void RatioColumn(const float* num, const float* den, float* out, std::size_t count)
{
    RatioColumnOf<Ops>(num, den, out, count);
}

inline void PixelQuotients(const float* values, std::size_t count, double offset, double scale, bool negate,
                           double* out)
{
    PixelQuotientsOf<Ops>(values, count, offset, scale, negate, out);
}

inline constexpr Forms kForms = {"emulated avx512", 8, ExpBatch, SumCurves, SumScan, RatioColumn, PixelQuotients};

} // namespace tamrisk::lanes::emulated_avx512

namespace tamrisk::testing {

// The forms to hold against the scalar one: each vector form this processor
// runs, and the AVX-512 form under emulation.
inline std::vector<const lanes::Forms*> VectorFormsToCompare()
{
    std::vector<const lanes::Forms*> forms;
    for (detail::LaneKernel kernel : detail::kLaneKernels) {
        if (kernel != detail::LaneKernel::Scalar && detail::LaneKernelAvailable(kernel))
            forms.push_back(&detail::FormsOf(kernel));
    }
    forms.push_back(&lanes::emulated_avx512::kForms);
    return forms;
}

} // namespace tamrisk::testing
