// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One lane of plain double and 64-bit integer arithmetic: the scalar form of
// the lane operations, the reference that every vector form reproduces bit
// for bit.

#include <bit>
#include <cmath>
#include <cstdint>

namespace tamrisk::lanes::scalar {

struct Ops {
    using D = double;
    using I = std::uint64_t;
    using F = float;
    static constexpr int kLanes = 1;

    static D Set(double v) { return v; }
    static D Add(D a, D b) { return a + b; }
    static D Sub(D a, D b) { return a - b; }
    static D Mul(D a, D b) { return a * b; }
    static D Div(D a, D b) { return a / b; }
    // Written as the vector max and min instructions behave: the second
    // operand whenever the comparison is false, so a NaN x passes.
    static D Max(D a, D b) { return a > b ? a : b; }
    static D Min(D a, D b) { return a < b ? a : b; }
    static D Abs(D a) { return std::fabs(a); }
    static D FlipSign(D a, D sign) { return std::bit_cast<D>(std::bit_cast<I>(a) ^ std::bit_cast<I>(sign)); }
    static bool AllLess(D a, D b) { return a < b; }

    static I Bits(D a) { return std::bit_cast<I>(a); }
    static D FromBits(I a) { return std::bit_cast<D>(a); }
    static I SubConst(I a, std::int64_t b) { return a - I(b); }
    static I SubInt(I a, I b) { return a - b; }
    static I AndInt(I a, std::int64_t b) { return a & I(b); }
    static I ShiftRight(I a, int n) { return a >> n; }
    static I ShiftLeft(I a, int n) { return a << n; }
    static void TablePairs(const double* pairs, I j, D& hi, D& lo)
    {
        hi = pairs[2 * j];
        lo = pairs[2 * j + 1];
    }

    // Single-precision steps: rounding to float, widening exactly, the float sum.
    static F ToFloat(D a) { return static_cast<float>(a); }
    static D ToDouble(F a) { return a; }
    static F AddFloat(F a, F b) { return a + b; }
    static F SetFloat(float v) { return v; }

    static D Load(const double* in) { return *in; }
    static void Store(double* out, D a) { *out = a; }
    static D LoadWidened(const float* in) { return *in; }
    static void StoreFloat(float* out, F a) { *out = a; }
};

} // namespace tamrisk::lanes::scalar
