// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The lane operations of AVX2: four double lanes in one register (Ops) or
// eight in two (PairOps). Include only from a file that has switched its
// target to AVX2 (Avx2Forms.cpp), and only after that switch. No FMA: every
// product and sum is rounded on its own, exactly as in the scalar form.

#include <immintrin.h>

#include <cstdint>

namespace tamrisk::lanes::avx2 {

struct Ops {
    using D = __m256d;
    using I = __m256i;
    using F = __m128; // the four lanes in single precision
    static D Set(double v) { return _mm256_set1_pd(v); }
    static D Add(D a, D b) { return _mm256_add_pd(a, b); }
    static D Sub(D a, D b) { return _mm256_sub_pd(a, b); }
    static D Mul(D a, D b) { return _mm256_mul_pd(a, b); }
    static D Div(D a, D b) { return _mm256_div_pd(a, b); }
    // max/min return the second operand when the comparison is false.
    static D Max(D a, D b) { return _mm256_max_pd(a, b); }
    static D Min(D a, D b) { return _mm256_min_pd(a, b); }
    static I Bits(D a) { return _mm256_castpd_si256(a); }
    static D FromBits(I a) { return _mm256_castsi256_pd(a); }
    static I SubConst(I a, std::int64_t b) { return _mm256_sub_epi64(a, _mm256_set1_epi64x(b)); }
    static I SubInt(I a, I b) { return _mm256_sub_epi64(a, b); }
    static I AndInt(I a, std::int64_t b) { return _mm256_and_si256(a, _mm256_set1_epi64x(b)); }
    static I ShiftRight(I a, int n) { return _mm256_srli_epi64(a, n); }
    static I ShiftLeft(I a, int n) { return _mm256_slli_epi64(a, n); }
    // Both halves of the (hi, lo) pairs at j: four 16-byte loads, regrouped
    // (faster than two gathers on some processors).
    static void TablePairs(const double* pairs, I j, D& hi, D& lo)
    {
        alignas(32) std::int64_t index[4];
        _mm256_store_si256(reinterpret_cast<__m256i*>(index), j);
        const __m128d p0 = _mm_loadu_pd(pairs + 2 * index[0]);
        const __m128d p1 = _mm_loadu_pd(pairs + 2 * index[1]);
        const __m128d p2 = _mm_loadu_pd(pairs + 2 * index[2]);
        const __m128d p3 = _mm_loadu_pd(pairs + 2 * index[3]);
        const __m256d p02 = _mm256_insertf128_pd(_mm256_castpd128_pd256(p0), p2, 1); // hi0 lo0 hi2 lo2
        const __m256d p13 = _mm256_insertf128_pd(_mm256_castpd128_pd256(p1), p3, 1); // hi1 lo1 hi3 lo3
        hi = _mm256_unpacklo_pd(p02, p13);                                           // hi0 hi1 hi2 hi3
        lo = _mm256_unpackhi_pd(p02, p13);
    }

    // Single-precision steps: rounding to float as a static_cast does (the
    // default rounding mode), widening exactly, and the float sum.
    static F ToFloat(D a) { return _mm256_cvtpd_ps(a); }
    static D ToDouble(F a) { return _mm256_cvtps_pd(a); }
    static F AddFloat(F a, F b) { return _mm_add_ps(a, b); }
    static F SetFloat(float v) { return _mm_set1_ps(v); }
    static void StoreFloat(float* out, F a) { _mm_storeu_ps(out, a); }
    static D Load(const double* in) { return _mm256_loadu_pd(in); }
    static void Store(double* out, D a) { _mm256_storeu_pd(out, a); }
    static D LoadWidened(const float* in) { return _mm256_cvtps_pd(_mm_loadu_ps(in)); }
    static D Abs(D a) { return _mm256_andnot_pd(_mm256_set1_pd(-0.0), a); }
    static D FlipSign(D a, D sign) { return _mm256_xor_pd(a, sign); }
    // Ordered and quiet: a NaN in either lane compares false, as a < b does.
    static bool AllLess(D a, D b) { return _mm256_movemask_pd(_mm256_cmp_pd(a, b, _CMP_LT_OQ)) == 0xf; }
    static constexpr int kLanes = 4;
};

// Eight lanes as two AVX2 registers side by side: twice the independent work
// per step, for kernels whose lanes wait on long chains.
struct PairOps {
    struct D {
        __m256d a, b;
    };
    struct I {
        __m256i a, b;
    };
    struct F {
        __m128 a, b;
    };
    using O = Ops;
    static D Set(double v) { return {O::Set(v), O::Set(v)}; }
    static D Add(D x, D y) { return {O::Add(x.a, y.a), O::Add(x.b, y.b)}; }
    static D Sub(D x, D y) { return {O::Sub(x.a, y.a), O::Sub(x.b, y.b)}; }
    static D Mul(D x, D y) { return {O::Mul(x.a, y.a), O::Mul(x.b, y.b)}; }
    static D Max(D x, D y) { return {O::Max(x.a, y.a), O::Max(x.b, y.b)}; }
    static D Min(D x, D y) { return {O::Min(x.a, y.a), O::Min(x.b, y.b)}; }
    static I Bits(D x) { return {O::Bits(x.a), O::Bits(x.b)}; }
    static D FromBits(I x) { return {O::FromBits(x.a), O::FromBits(x.b)}; }
    static I SubConst(I x, std::int64_t v) { return {O::SubConst(x.a, v), O::SubConst(x.b, v)}; }
    static I SubInt(I x, I y) { return {O::SubInt(x.a, y.a), O::SubInt(x.b, y.b)}; }
    static I AndInt(I x, std::int64_t v) { return {O::AndInt(x.a, v), O::AndInt(x.b, v)}; }
    static I ShiftRight(I x, int n) { return {O::ShiftRight(x.a, n), O::ShiftRight(x.b, n)}; }
    static I ShiftLeft(I x, int n) { return {O::ShiftLeft(x.a, n), O::ShiftLeft(x.b, n)}; }
    static void TablePairs(const double* pairs, I j, D& hi, D& lo)
    {
        O::TablePairs(pairs, j.a, hi.a, lo.a);
        O::TablePairs(pairs, j.b, hi.b, lo.b);
    }
    static F ToFloat(D x) { return {O::ToFloat(x.a), O::ToFloat(x.b)}; }
    static D ToDouble(F x) { return {O::ToDouble(x.a), O::ToDouble(x.b)}; }
    static F AddFloat(F x, F y) { return {O::AddFloat(x.a, y.a), O::AddFloat(x.b, y.b)}; }
    static F SetFloat(float v) { return {O::SetFloat(v), O::SetFloat(v)}; }
    static void StoreFloat(float* out, F x)
    {
        O::StoreFloat(out, x.a);
        O::StoreFloat(out + 4, x.b);
    }
    static D Load(const double* in) { return {O::Load(in), O::Load(in + 4)}; }
    static void Store(double* out, D x)
    {
        O::Store(out, x.a);
        O::Store(out + 4, x.b);
    }
    static D Abs(D x) { return {O::Abs(x.a), O::Abs(x.b)}; }
    static bool AllLess(D x, D y) { return O::AllLess(x.a, y.a) && O::AllLess(x.b, y.b); }
    static constexpr int kLanes = 8;
};

} // namespace tamrisk::lanes::avx2
