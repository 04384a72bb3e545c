// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/DepthProfile.h"
#include "model/SignalCurves.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

namespace tamrisk {
namespace {

constexpr float kNan = std::numeric_limits<float>::quiet_NaN();

struct LabDoseCase {
    float z;
    float expected;
    float tolerance;
};

class LabDoseFitTest : public ::testing::TestWithParam<LabDoseCase> {};

TEST_P(LabDoseFitTest, TakesTheRightRange)
{
    const LabDoseCase& c = GetParam();
    EXPECT_NEAR(LabDoseFit(c.z), c.expected, c.tolerance) << "z " << c.z;
}

// Neighbouring floats around the bounds 0.91 and 1.68 (double constants
// compared with the widened float) fall on different sides.
INSTANTIATE_TEST_SUITE_P(Ranges, LabDoseFitTest,
                         ::testing::Values(LabDoseCase{0.0f, 1.0008f, 0.0f}, LabDoseCase{-0.0f, 1.0008f, 0.0f},
                                           LabDoseCase{-1e-30f, 0.0f, 0.0f}, LabDoseCase{kNan, 0.0f, 0.0f},
                                           LabDoseCase{0.90999997f, 0.68183f, 5e-6f},
                                           LabDoseCase{0.91f, 0.68047f, 5e-6f}, // float 0.91 lies above the double 0.91
                                           LabDoseCase{1.2f, 1.484f - 0.883f * 1.2f, 1e-6f},
                                           LabDoseCase{1.67999995f, 0.00056f, 5e-7f},
                                           LabDoseCase{std::nextafter(1.68f, 2.0f), 0.0f, 0.0f},
                                           LabDoseCase{std::numeric_limits<float>::infinity(), 0.0f, 0.0f}));

TEST(DepthFunctions, DeepInsideAndUnderflow)
{
    EXPECT_EQ(NatDoseRateAt(100.0f, 0.8333333f, 0.0f), 1.0f);
    EXPECT_EQ(IntensityAt(0.2f, 1000.0f), 0.0f); // exp(-200) is below single precision
    EXPECT_EQ(OslFraction(0.2f, 100.0f, 1000.0f, 0.05f), 0.0f);
    EXPECT_GT(IntensityAt(-0.5f, 10.0f), 1.0f);
    EXPECT_EQ(OslFraction(0.0f, 100.0f, 10.0f, 0.0f), 0.0f);
    EXPECT_EQ(NatDoseRateAt(0.0f, 0.8333333f, 2.0f), 1.5f);
}

TEST(DecaySignal, IsIntensityTimesRateTimesDecay)
{
    const double I = std::exp(-10.0 * 1.0);
    const double r = 0.05f;
    EXPECT_EQ(DecaySignal(0.0f, 10.0f, 1.0f, 0.05f), float(I * r));
    EXPECT_NEAR(DecaySignal(0.0f, 10.0f, 1.0f, 0.05f), 0.0000022700f, 5e-11f);
    EXPECT_EQ(DecaySignal(20.0f, 0.0f, 1.0f, 0.05f), float(r * std::exp(-r * 20.0)));
}

} // namespace
} // namespace tamrisk
