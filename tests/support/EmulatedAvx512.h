#pragma once

// The AVX-512 lane operations compiled against SIMDe's portable emulation of
// the intrinsics, as EmulatedAvx512Ops, so that the AVX-512 forms of the
// kernels run (slowly) on any processor. Include this before any header that
// includes <immintrin.h>: the emulation defines the vector types itself.

#define SIMDE_ENABLE_NATIVE_ALIASES
#include <simde/x86/avx512.h>

#include <cstddef>

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
// A name of its own, so that its kernels never merge with the native ones.
#define Avx512Ops EmulatedAvx512Ops
#include "model/Avx512Lanes.h"
#undef Avx512Ops
