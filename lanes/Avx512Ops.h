// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The lane operations of AVX-512 (the foundation instructions only): eight
// double lanes in one register. Include only from a file that has switched
// its target to AVX-512 (Avx512Forms.cpp), and only after that switch. No FMA:
// every product and sum is rounded on its own, exactly as in the scalar form.

#include <immintrin.h>

#include <cstdint>

namespace tamrisk::lanes::avx512 {

struct Ops {
    using D = __m512d;
    using I = __m512i;
    using F = __m256; // the eight lanes in single precision
    static D Set(double v) { return _mm512_set1_pd(v); }
    static D Add(D a, D b) { return _mm512_add_pd(a, b); }
    static D Sub(D a, D b) { return _mm512_sub_pd(a, b); }
    static D Mul(D a, D b) { return _mm512_mul_pd(a, b); }
    static D Div(D a, D b) { return _mm512_div_pd(a, b); }
    // max/min return the second operand when the comparison is false.
    static D Max(D a, D b) { return _mm512_max_pd(a, b); }
    static D Min(D a, D b) { return _mm512_min_pd(a, b); }
    static I Bits(D a) { return _mm512_castpd_si512(a); }
    static D FromBits(I a) { return _mm512_castsi512_pd(a); }
    static I SubConst(I a, std::int64_t b) { return _mm512_sub_epi64(a, _mm512_set1_epi64(b)); }
    static I SubInt(I a, I b) { return _mm512_sub_epi64(a, b); }
    static I AndInt(I a, std::int64_t b) { return _mm512_and_si512(a, _mm512_set1_epi64(b)); }
    static I ShiftRight(I a, int n) { return _mm512_srli_epi64(a, static_cast<unsigned>(n)); }
    static I ShiftLeft(I a, int n) { return _mm512_slli_epi64(a, static_cast<unsigned>(n)); }
    // Both halves of the (hi, lo) pairs at j: eight 16-byte loads, then the
    // his and the los picked out of the two registers they fill.
    static void TablePairs(const double* pairs, I j, D& hi, D& lo)
    {
        alignas(64) std::int64_t index[8];
        _mm512_store_si512(index, j);
        const auto four = [&](int l) {
            const __m256d p01 = _mm256_insertf128_pd(_mm256_castpd128_pd256(_mm_loadu_pd(pairs + 2 * index[l])),
                                                     _mm_loadu_pd(pairs + 2 * index[l + 1]), 1);
            const __m256d p23 = _mm256_insertf128_pd(_mm256_castpd128_pd256(_mm_loadu_pd(pairs + 2 * index[l + 2])),
                                                     _mm_loadu_pd(pairs + 2 * index[l + 3]), 1);
            return _mm512_insertf64x4(_mm512_castpd256_pd512(p01), p23, 1); // hi lo of lanes l..l+3
        };
        const __m512d low = four(0);
        const __m512d high = four(4);
        hi = _mm512_permutex2var_pd(low, _mm512_set_epi64(14, 12, 10, 8, 6, 4, 2, 0), high);
        lo = _mm512_permutex2var_pd(low, _mm512_set_epi64(15, 13, 11, 9, 7, 5, 3, 1), high);
    }

    // Single-precision steps: rounding to float as a static_cast does (the
    // default rounding mode), widening exactly, and the float sum.
    static F ToFloat(D a) { return _mm512_cvtpd_ps(a); }
    static D ToDouble(F a) { return _mm512_cvtps_pd(a); }
    static F AddFloat(F a, F b) { return _mm256_add_ps(a, b); }
    static F SetFloat(float v) { return _mm256_set1_ps(v); }
    static void StoreFloat(float* out, F a) { _mm256_storeu_ps(out, a); }
    static D Load(const double* in) { return _mm512_loadu_pd(in); }
    static void Store(double* out, D a) { _mm512_storeu_pd(out, a); }
    static D LoadWidened(const float* in) { return _mm512_cvtps_pd(_mm256_loadu_ps(in)); }
    static D Abs(D a) { return _mm512_abs_pd(a); }
    // (The foundation set has no xor of doubles; that of the integers is the same.)
    static D FlipSign(D a, D sign)
    {
        return _mm512_castsi512_pd(_mm512_xor_si512(_mm512_castpd_si512(a), _mm512_castpd_si512(sign)));
    }
    // Ordered and quiet: a NaN in either lane compares false, as a < b does.
    static bool AllLess(D a, D b) { return _mm512_cmp_pd_mask(a, b, _CMP_LT_OQ) == 0xff; }
    static constexpr int kLanes = 8;
};

} // namespace tamrisk::lanes::avx512
