#pragma once

// The one exponential of the model, in its scalar form, and a batch form that
// uses the widest vector form the processor has. Both return the same bits
// for every argument (see model/ExpLanes.h).

#include "model/ExpLanes.h"

#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace tamrisk::detail {

// One lane: plain double and 64-bit integer arithmetic.
struct ScalarExpOps {
    using D = double;
    using I = std::uint64_t;
    static D Set(double v) { return v; }
    static D Add(D a, D b) { return a + b; }
    static D Sub(D a, D b) { return a - b; }
    static D Mul(D a, D b) { return a * b; }
    // Written as the vector max and min instructions behave: the second
    // operand whenever the comparison is false, so a NaN x passes.
    static D Max(D a, D b) { return a > b ? a : b; }
    static D Min(D a, D b) { return a < b ? a : b; }
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

    // Single-precision steps of the lane kernels.
    using F = float;
    static F ToFloat(D a) { return static_cast<float>(a); }
    static D ToDouble(F a) { return a; }
    static F AddFloat(F a, F b) { return a + b; }
    static F SetFloat(float v) { return v; }
    static void StoreFloat(float* out, F a) { *out = a; }
    static D Load(const double* in) { return *in; }
    static void Store(double* out, D a) { *out = a; }
    static D Abs(D a) { return std::fabs(a); }
    static bool AllLess(D a, D b) { return a < b; }
    static constexpr int kLanes = 1;
};

inline double ModelExp(double x)
{
    return ExpOf<ScalarExpOps>(x);
}

// out[i] = ModelExp(in[i]); in and out may be the same array.
void ModelExpBatch(const double* in, double* out, std::size_t count);

// Which vector form ModelExpBatch and the lane kernels use; every form gives
// the same bits.
enum class LaneKernel { Scalar, Avx2, Avx512 };
inline constexpr LaneKernel kLaneKernels[] = {LaneKernel::Scalar, LaneKernel::Avx2, LaneKernel::Avx512};
// The widest form the processor has, unless TAMRISK_LANES names another
// (scalar, avx2 or avx512) that it has: for timing and checking the forms.
LaneKernel BestLaneKernel();
bool LaneKernelAvailable(LaneKernel kernel);
// Whether AVX2 may be used for simple element-wise loops: every vector form
// implies it, and TAMRISK_LANES=scalar turns it off with the rest.
inline bool Avx2LoopsAllowed()
{
    return BestLaneKernel() != LaneKernel::Scalar;
}
// Grid points or time samples that one call of a lane kernel carries.
constexpr std::size_t LaneCount(LaneKernel kernel)
{
    return kernel == LaneKernel::Scalar ? 1 : 8;
}
inline constexpr std::size_t kMaxLaneCount = 8;
// The one of three forms of a kernel that belongs to `kernel`.
template <class Form>
constexpr Form FormFor(LaneKernel kernel, Form scalar, Form avx2, Form avx512)
{
    return kernel == LaneKernel::Avx512 ? avx512 : kernel == LaneKernel::Avx2 ? avx2 : scalar;
}
void ModelExpBatch(LaneKernel kernel, const double* in, double* out, std::size_t count);

} // namespace tamrisk::detail
