// SPDX-License-Identifier: GPL-3.0-or-later
// The comparisons of every form of the exponential on 10^8 arguments (built
// in the release build only).
// First: the emulation defines the vector types itself.
#include "support/EmulatedAvx512.h"

#include "ExpArguments.h"
#include "lanes/ModelExp.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace tamrisk::detail {
namespace {

using testing::ArgumentStream;
using testing::Bits;

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
    constexpr std::size_t kBatchesPerThread = 3052; // 2 x 3052 x 2^14 > 10^8
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
        EXPECT_EQ(own + other, 0u) << "form " << FormsOf(kernel).name;
    }
}

// Where the processor lacks AVX-512, its form still runs: the same
// operations under emulation, over as many arguments.
TEST(ModelExp, EmulatedAvx512FormGivesTheScalarBits)
{
    constexpr std::size_t kBatchesPerThread = 3052;
    const auto batch = lanes::emulated_avx512::kForms.expBatch;
    std::size_t other = 0;
    std::thread helper([&] { other = CountDifferences(batch, 0x6a09e667f3bcc909u, kBatchesPerThread); });
    const std::size_t own = CountDifferences(batch, 0xbb67ae8584caa73bu, kBatchesPerThread);
    helper.join();
    EXPECT_EQ(own + other, 0u);
}

} // namespace
} // namespace tamrisk::detail
