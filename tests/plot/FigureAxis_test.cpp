// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/FigureAxis.h"
#include "model/ComputeModel.h"
#include "plot/FigureSeries.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

namespace tamrisk {
namespace {

class LinearTicks : public ::testing::TestWithParam<FigureAxis> {};

// Major ticks lie on whole multiples of a 1, 2 or 5 x 10^k step, inside the
// axis, and leave less than a step free at either end.
TEST_P(LinearTicks, RoundAndCovering)
{
    const FigureAxis axis = GetParam();
    const AxisTicks ticks = MakeTicks(axis);
    ASSERT_GE(ticks.major.size(), 3u);
    const double power = std::pow(10.0, std::floor(std::log10(ticks.step) + 1e-9));
    const double mantissa = ticks.step / power;
    EXPECT_TRUE(std::fabs(mantissa - 1) < 1e-9 || std::fabs(mantissa - 2) < 1e-9 || std::fabs(mantissa - 5) < 1e-9)
        << ticks.step;
    for (double t : ticks.major) {
        EXPECT_NEAR(t / ticks.step, std::round(t / ticks.step), 1e-6);
        EXPECT_GE(t, axis.lo - 1e-9 * ticks.step);
        EXPECT_LE(t, axis.hi + 1e-9 * ticks.step);
    }
    EXPECT_LT(ticks.major.front() - axis.lo, ticks.step);
    EXPECT_LT(axis.hi - ticks.major.back(), ticks.step);
    EXPECT_LE(ticks.major.size(), 11u);
    for (double t : ticks.minor)
        EXPECT_GT(std::fabs(std::remainder(t, ticks.step)), ticks.step * 0.1);
}

INSTANTIATE_TEST_SUITE_P(Ranges, LinearTicks,
                         ::testing::Values(FigureAxis{0, 1.5}, FigureAxis{0, 1.4873}, FigureAxis{0, 600},
                                           FigureAxis{0, 0.0663}, FigureAxis{0.5, 2}, FigureAxis{-3.2, 7.1},
                                           FigureAxis{0, 1e-7}, FigureAxis{1e6, 1e6 + 3}, FigureAxis{0, 3e38}));

class LogTicks : public ::testing::TestWithParam<FigureAxis> {};

TEST_P(LogTicks, DecadesOrOneTwoFiveInside)
{
    const FigureAxis axis = GetParam();
    const AxisTicks ticks = MakeTicks(axis);
    ASSERT_GE(ticks.major.size(), 2u);
    for (double t : ticks.major) {
        const double mantissa = t / std::pow(10.0, std::floor(std::log10(t) + 1e-9));
        EXPECT_TRUE(std::fabs(mantissa - 1) < 1e-9 || std::fabs(mantissa - 2) < 1e-9 || std::fabs(mantissa - 5) < 1e-9);
        EXPECT_GE(t, axis.lo * (1 - 1e-9));
        EXPECT_LE(t, axis.hi * (1 + 1e-9));
    }
    EXPECT_LT(ticks.major.front() / axis.lo, 10.0 + 1e-9);
    EXPECT_LE(ticks.major.size(), 9u);
}

INSTANTIATE_TEST_SUITE_P(Ranges, LogTicks,
                         ::testing::Values(FigureAxis{1, 600, true}, FigureAxis{1e-6, 0.13, true},
                                           FigureAxis{1e-19, 2.3, true}, FigureAxis{0.3, 3, true},
                                           FigureAxis{2, 8, true}));

struct TickTextCase {
    double value;
    FigureAxis axis;
    Language language;
    const char* text;
};

class TickTexts : public ::testing::TestWithParam<TickTextCase> {};

TEST_P(TickTexts, AsManyDecimalsAsTheStepNeeds)
{
    const TickTextCase& c = GetParam();
    const AxisTicks ticks = MakeTicks(c.axis);
    EXPECT_EQ(PrintTickText(c.value, c.axis, ticks, c.language, AxisExponent(c.axis, ticks)), c.text);
}

INSTANTIATE_TEST_SUITE_P(Numbers, TickTexts,
                         ::testing::Values(TickTextCase{1.4000000000000001, {0, 1.5}, Language::En, "1.4"},
                                           TickTextCase{1.4000000000000001, {0, 1.5}, Language::De, "1,4"},
                                           TickTextCase{200, {0, 600}, Language::En, "200"},
                                           TickTextCase{0.01, {0, 0.0663}, Language::En, "0.01"},
                                           TickTextCase{-2, {-3.2, 7.1}, Language::En, "\u22122"},
                                           // Every decade alike, as 10ⁿ.
                                           TickTextCase{0.001, {1e-6, 0.13, true}, Language::De, "10\u207b\u00b3"},
                                           TickTextCase{1e-5, {1e-6, 0.13, true}, Language::En, "10\u207b\u2075"},
                                           TickTextCase{1, {0.1, 100, true}, Language::En, "10\u2070"},
                                           // Tiny values in units of the power the axis label names.
                                           TickTextCase{2.5e-12, {0, 4e-12}, Language::De, "2,5"},
                                           TickTextCase{-1e-12, {-2e-12, 4e-12}, Language::En, "\u22121"},
                                           TickTextCase{0, {-2e-12, 4e-12}, Language::En, "0"}));

TEST(FigureAxis, PlacesOnlyWhatHasAPlace)
{
    const FigureAxis linear{0, 2};
    EXPECT_DOUBLE_EQ(*linear.Fraction(0.5), 0.25);
    EXPECT_DOUBLE_EQ(*linear.Fraction(-2), -1.0);
    EXPECT_FALSE(linear.Fraction(NAN));
    EXPECT_FALSE(linear.Fraction(INFINITY));
    const FigureAxis log{0.01, 100, true};
    EXPECT_DOUBLE_EQ(*log.Fraction(1), 0.5);
    EXPECT_FALSE(log.Fraction(0));
    EXPECT_FALSE(log.Fraction(-1));
}

} // namespace
} // namespace tamrisk

namespace tamrisk {
namespace {

// The depth axis measures depth below the lit surface, as the clean tables'
// depth_mm does, so a slab from 1 to 3 mm is drawn from 0 to 2 mm and its
// curves fill the axis from its start to its end.
TEST(FigureDepthAxis, CurvesAndAxisShareTheLitSurfaceDepth)
{
    for (const auto& [top, bottom] : {std::pair{0.0f, 2.0f}, std::pair{1.0f, 3.0f}, std::pair{2.5f, 3.0f}}) {
        ModelParameters params;
        params.top = top;
        params.bottom = bottom;
        DisplayFlags flags;
        flags.showIntensity = true;
        DepthProfile profile;
        SignalCurves curves;
        ComputeModel(params, flags, profile, curves);
        const std::vector<ShownCurve> shown = ShownCurves(PlotKind::Depth, flags, profile, curves, params.depthPoints);
        FigureOptions options;
        options.kind = PlotKind::Depth;
        std::vector<std::string> notes;
        const AxisSetup axes = MakeAxes(options, params, shown, params.depthPoints, notes);
        const std::vector<Series> series = MakeSeries(options, shown, params.depthPoints, params, axes, notes);
        ASSERT_EQ(series.size(), 1u);
        const auto& samples = series.front().samples;
        ASSERT_TRUE(samples.front().has_value() && samples.back().has_value()) << top;
        EXPECT_DOUBLE_EQ(samples.front()->second, 0.0) << "the first sample lies at the lit surface";
        EXPECT_NEAR(samples.back()->second, 1.0, 0.01) << "the last lies near the slab's far side, " << top;
        EXPECT_TRUE(notes.empty());
    }
}

} // namespace
} // namespace tamrisk
