// SPDX-License-Identifier: GPL-3.0-or-later
// First: the emulation defines the vector types itself.
#include "support/EmulatedAvx512.h"

#include "ExpArguments.h"
#include "lanes/ModelExp.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace tamrisk::detail {
namespace {

using testing::ArgumentStream;
using testing::Bits;

// Every length up to a few groups of lanes, so that every form's tail (a
// padded group) and in-place use run; the arguments come from the stream,
// so the edges of the range are among them. (The comparison on 10^8
// arguments is exp_every_argument_test.cpp.)
TEST(ModelExp, EveryFormGivesTheScalarBitsAtEveryLength)
{
    ArgumentStream stream(0x243f6a8885a308d3u);
    for (const lanes::Forms* form : testing::VectorFormsToCompare()) {
        for (std::size_t count = 0; count <= 35; ++count) {
            std::vector<double> args(count), scalar(count);
            for (double& a : args)
                a = stream.Next();
            ModelExpBatch(LaneKernel::Scalar, args.data(), scalar.data(), count);
            std::vector<double> inPlace = args;
            form->expBatch(inPlace.data(), inPlace.data(), count);
            for (std::size_t i = 0; i < count; ++i)
                ASSERT_EQ(Bits(inPlace[i]), Bits(scalar[i]))
                    << form->name << ", " << count << " arguments, " << args[i];
        }
    }
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
    EXPECT_LT(worst, lanes::ExpRelativeErrorBound);
}

struct SpecialCase {
    double x;
    double expected;
};

TEST(ModelExp, EdgesOfTheRange)
{
    constexpr double kInf = std::numeric_limits<double>::infinity();
    const SpecialCase cases[] = {
        {0.0, 1.0},
        {-0.0, 1.0},
        {1e-300, 1.0},
        {-1e-300, 1.0},
        {-0x1p-54, 1.0},
        {709.79, kInf},
        {710.0, kInf},
        {1e300, kInf},
        {kInf, kInf},
        {-kInf, 0.0},
        {-746.0, 0.0},
        {-1e300, 0.0},
        {-745.2, 0.0},
        {-745.1, 0x1p-1074},
        {-708.5, 0x0.e6cf6d08897acp-1022},
        {1.0, 0x1.5bf0a8b145769p+1},
        {-1.0, 0x1.78b56362cef38p-2},
        {709.78, 0x1.fe9ce5c4c52b4p+1023},
    };
    for (const SpecialCase& c : cases)
        EXPECT_EQ(Bits(ModelExp(c.x)), Bits(c.expected)) << c.x;
    EXPECT_TRUE(std::isnan(ModelExp(std::numeric_limits<double>::quiet_NaN())));
}

} // namespace
} // namespace tamrisk::detail
