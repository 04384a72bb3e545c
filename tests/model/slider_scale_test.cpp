// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/SliderScale.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

namespace tamrisk {
namespace {

struct PositionCase {
    SliderScale scale;
    int position;
    float expected;
};

class PositionToValueTest : public ::testing::TestWithParam<PositionCase> {};

TEST_P(PositionToValueTest, GivesTheRoundedValue)
{
    const PositionCase& c = GetParam();
    EXPECT_EQ(PositionToValue(c.position, c.scale), c.expected) << "position " << c.position;
}

INSTANTIATE_TEST_SUITE_P(
    Sliders, PositionToValueTest,
    ::testing::Values(PositionCase{kExtinctionScale, 0, 0.01f}, PositionCase{kExtinctionScale, 1, 0.010592537f},
                      PositionCase{kExtinctionScale, 120, 10.0f}, PositionCase{kExtinctionScale, 200, 1000.0f},
                      PositionCase{kEvalTimeScale, 0, 1.0f}, PositionCase{kEvalTimeScale, 80, 100.0f},
                      PositionCase{kEvalTimeScale, 200, 100000.0f}, PositionCase{kDoseRateScale, 0, 0.0f},
                      PositionCase{kDoseRateScale, 1, 0.01f}, PositionCase{kDoseRateScale, 100, 1.0f},
                      PositionCase{kDoseRateScale, 200, 2.0f}, PositionCase{DepthScale(0.0f, 2.0f), 100, 1.0f},
                      PositionCase{DepthScale(1.0f, 3.0f), 100, 2.0f}, PositionCase{DepthScale(0.5f, 0.5f), 37, 0.5f},
                      PositionCase{DepthScale(2.0f, 0.0f), 50, 1.5f}, PositionCase{DepthScale(2.0f, 0.0f), 200, 0.0f}));

TEST(PositionToValue, ExtinctionStepsAreEvenOnTheLogScale)
{
    // Every step multiplies by 10^0.025 (within single-precision rounding).
    for (int pos = 0; pos < 200; ++pos) {
        const double ratio =
            double(PositionToValue(pos + 1, kExtinctionScale)) / PositionToValue(pos, kExtinctionScale);
        EXPECT_NEAR(ratio, 1.0592537251772889, 1e-6) << pos;
    }
}

struct ValueCase {
    SliderScale scale;
    float value;
    int expected;
};

class ValueToPositionTest : public ::testing::TestWithParam<ValueCase> {};

TEST_P(ValueToPositionTest, TruncatesTowardZero)
{
    const ValueCase& c = GetParam();
    EXPECT_EQ(ValueToPosition(c.value, c.scale), c.expected) << "value " << c.value;
}

constexpr float kNan = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Sliders, ValueToPositionTest,
    ::testing::Values(ValueCase{kExtinctionScale, 10.0f, 120}, ValueCase{kEvalTimeScale, 100.0f, 80},
                      ValueCase{kDoseRateScale, 0.0f, 0}, ValueCase{kDoseRateScale, 0.0149f, 1},
                      ValueCase{kDoseRateScale, -0.0149f, -1}, // toward zero, not down
                      ValueCase{DepthScale(0.0f, 2.0f), 1.0f, 100},
                      // Values without a position: defined results instead of an undefined conversion.
                      ValueCase{kDoseRateScale, kNan, 0}, ValueCase{kExtinctionScale, -1.0f, 0},
                      ValueCase{kDoseRateScale, kInf, INT_MAX}, ValueCase{kDoseRateScale, -kInf, INT_MIN},
                      ValueCase{kExtinctionScale, 0.0f, INT_MIN}, ValueCase{kDoseRateScale, 3e38f, INT_MAX},
                      ValueCase{DepthScale(1.0f, 1.0f), 1.0f, 0}));

} // namespace
} // namespace tamrisk
