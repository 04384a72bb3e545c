// First: the emulation defines the vector types itself.
#include "support/EmulatedAvx512.h"

#include "model/ModelExp.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <thread>
#include <vector>

namespace tamrisk::detail {
namespace {

// Arguments as the model meets them: mostly small negative exponents of any
// magnitude (OSL fractions and decays), the whole finite range up to
// overflow and underflow, and arbitrary bit patterns (infinities, NaNs,
// huge values).
class ArgumentStream {
public:
    explicit ArgumentStream(std::uint64_t seed) : state_(seed) {}
    double Next()
    {
        const std::uint64_t bits = Random();
        switch (bits % 8) {
        case 0:
            return std::bit_cast<double>(Random());
        case 1:
        case 2:
        case 3:
            return -750.0 + 1462.0 * Unit(bits);
        default:  // -2^-60 to -2^10, log-uniform
            return -std::ldexp(1.0 + Unit(bits), int(bits >> 58) % 70 - 60);
        }
    }

private:
    std::uint64_t Random()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return state_;
    }
    static double Unit(std::uint64_t bits) { return double(bits >> 11) * 0x1p-53; }
    std::uint64_t state_;
};

std::uint64_t Bits(double v) { return std::bit_cast<std::uint64_t>(v); }

// The AVX-512 form under emulation; count is a multiple of 8.
void EmulatedAvx512Batch(const double* in, double* out, std::size_t count)
{
    for (std::size_t i = 0; i < count; i += 8)
        EmulatedAvx512Ops::Store(out + i, ExpOf<EmulatedAvx512Ops>(EmulatedAvx512Ops::Load(in + i)));
}

// Counts the arguments of `batches` batches of the stream where a vector form
// and the scalar form differ.
template <class Batch>
std::size_t CountDifferences(Batch batch, std::uint64_t seed, std::size_t batches)
{
    constexpr std::size_t kBatch = 1 << 14;
    std::vector<double> args(kBatch), scalar(kBatch), vector(kBatch);
    ArgumentStream stream(seed);
    std::size_t differing = 0;
    for (std::size_t b = 0; b < batches; ++b) {
        for (double& a : args)
            a = stream.Next();
        ModelExpBatch(LaneKernel::Scalar, args.data(), scalar.data(), kBatch);
        batch(args.data(), vector.data(), kBatch);
        for (std::size_t i = 0; i < kBatch; ++i)
            differing += Bits(scalar[i]) != Bits(vector[i]);
    }
    return differing;
}

// The vector forms do the scalar form's operations in the same order; this
// checks that lane by lane over 10^8 arguments, on two threads.
TEST(ModelExp, EveryFormGivesTheScalarBits)
{
    constexpr std::size_t kBatchesPerThread = 3052;  // 2 x 3052 x 2^14 > 10^8
    for (LaneKernel kernel : kLaneKernels) {
        if (kernel == LaneKernel::Scalar || !LaneKernelAvailable(kernel))
            continue;
        const auto batch = [kernel](const double* in, double* out, std::size_t count) {
            ModelExpBatch(kernel, in, out, count);
        };
        std::size_t other = 0;
        std::thread helper([&] { other = CountDifferences(batch, 0x2545f4914f6cdd1du, kBatchesPerThread); });
        const std::size_t own = CountDifferences(batch, 0x9e3779b97f4a7c15u, kBatchesPerThread);
        helper.join();
        EXPECT_EQ(own + other, 0u) << "form " << int(kernel);
    }
}

// Where the processor lacks AVX-512, its form still runs: the same
// operations under emulation, over as many arguments.
TEST(ModelExp, EmulatedAvx512FormGivesTheScalarBits)
{
    constexpr std::size_t kBatchesPerThread = 3052;
    std::size_t other = 0;
    std::thread helper([&] { other = CountDifferences(EmulatedAvx512Batch, 0x6a09e667f3bcc909u, kBatchesPerThread); });
    const std::size_t own = CountDifferences(EmulatedAvx512Batch, 0xbb67ae8584caa73bu, kBatchesPerThread);
    helper.join();
    EXPECT_EQ(own + other, 0u);
}

// The error bound that the scan's exact skips rely on, against the
// extended-precision exponential.
TEST(ModelExp, WithinItsErrorBound)
{
    ArgumentStream stream(12345);
    double worst = 0.0;
    for (int n = 0; n < 2'000'000; ++n) {
        const double x = stream.Next();
        const long double exact = std::exp(static_cast<long double>(x));
        if (!(exact >= 0x1p-1022L && exact <= std::numeric_limits<double>::max()))
            continue;
        const long double error = std::fabs((static_cast<long double>(ModelExp(x)) - exact) / exact);
        worst = std::max(worst, double(error));
    }
    EXPECT_LT(worst, 0x1p-52);
    EXPECT_LT(worst, ExpRelativeErrorBound);
}

struct SpecialCase {
    double x;
    double expected;
};

TEST(ModelExp, EdgesOfTheRange)
{
    constexpr double kInf = std::numeric_limits<double>::infinity();
    const SpecialCase cases[] = {
        {0.0, 1.0},           {-0.0, 1.0},          {1e-300, 1.0},  {-1e-300, 1.0},
        {-0x1p-54, 1.0},      {709.79, kInf},       {710.0, kInf},  {1e300, kInf},
        {kInf, kInf},         {-kInf, 0.0},         {-746.0, 0.0},  {-1e300, 0.0},
        {-745.2, 0.0},        {-745.1, 0x1p-1074},  {-708.5, 0x0.e6cf6d08897acp-1022},
        {1.0, 0x1.5bf0a8b145769p+1}, {-1.0, 0x1.78b56362cef38p-2}, {709.78, 0x1.fe9ce5c4c52b4p+1023},
    };
    for (const SpecialCase& c : cases)
        EXPECT_EQ(Bits(ModelExp(c.x)), Bits(c.expected)) << c.x;
    EXPECT_TRUE(std::isnan(ModelExp(std::numeric_limits<double>::quiet_NaN())));
}

} // namespace
} // namespace tamrisk::detail
