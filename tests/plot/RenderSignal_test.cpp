// SPDX-License-Identifier: GPL-3.0-or-later
#include "PictureChecks.h"

#include <gtest/gtest.h>

#include <limits>

namespace tamrisk {
namespace {

using namespace tamrisk::test;

constexpr Color kAtDepthPen = Rgb(255, 0, 255);
constexpr Color kHomogeneousPen = Rgb(180, 0, 180);
constexpr Color kNatPen = Rgb(180, 180, 0);
constexpr Color kLabPen = Rgb(0, 0, 255);
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// With intensityMax 0.2 (0.001 per pixel) this value lies in the middle of `row`.
float ValueAtRow(int row) { return static_cast<float>((225 - row + 0.5) * 0.001); }

Rendering FixedScale(float value = ValueAtRow(125))
{
    Rendering r;
    r.flags.autoScaleSignal = false;
    r.params.intensityMax = 0.2f;
    r.curves = FlatCurves(450, value);
    return r;
}

TEST(RenderSignal, DefaultsShowOnlyTheAxes)
{
    Rendering r;
    const PlotReadouts out = r.Render();
    EXPECT_EQ(Differences(r.pictures.signal, SignalAxesOnly(27)), std::vector<std::string>{});
    EXPECT_EQ(out.signalAutoMax, "(0.1)");
    EXPECT_EQ(r.params.intensityMax, 0.1f);
}

class TimeMax : public ::testing::TestWithParam<float> {};

// Sample k lies on column 50 + k whatever timeMax is; the last sample's
// pixel (column 499) is left out.
TEST_P(TimeMax, CurveSpansColumnsFiftyToFourNinetyEight)
{
    Rendering r = FixedScale();
    r.params.timeMax = GetParam();
    r.flags.showTotalSignalLab = true;
    r.Render();
    EXPECT_EQ(ColumnsWith(r.pictures.signal, 125, kLabPen), Range(50, 498));
}

INSTANTIATE_TEST_SUITE_P(Values, TimeMax, ::testing::Values(600.0f, 1.0f, 7.3f, 0.001f, 1e6f, 3e30f));

struct TableOrderCase {
    bool atDepth, homogeneous, nat, lab;
    Color onTop;
};

class SignalTableOrder : public ::testing::TestWithParam<TableOrderCase> {};

TEST_P(SignalTableOrder, LastShownCurveOfTheTableLiesOnTop)
{
    const TableOrderCase& c = GetParam();
    Rendering r = FixedScale();
    r.flags.showSignalAtDepth = c.atDepth;
    r.flags.showTotalSignalHomogeneous = c.homogeneous;
    r.flags.showTotalSignalNat = c.nat;
    r.flags.showTotalSignalLab = c.lab;
    r.Render();
    EXPECT_EQ(ColumnsWith(r.pictures.signal, 125, c.onTop), Range(50, 498));
}

INSTANTIATE_TEST_SUITE_P(Cases, SignalTableOrder,
                         ::testing::Values(TableOrderCase{true, true, true, true, kLabPen},
                                           TableOrderCase{true, true, true, false, kNatPen},
                                           TableOrderCase{true, true, false, false, kHomogeneousPen},
                                           TableOrderCase{true, false, false, false, kAtDepthPen},
                                           TableOrderCase{false, true, false, true, kLabPen}));

TEST(RenderSignalAuto, OnlyLabShownTakesItsLargestValueAndPeaksOnRowTwentyFive)
{
    Rendering r;
    r.curves = FlatCurves(450, 1.0f); // the other arrays are larger but not shown
    for (int k = 0; k < 450; ++k)
        r.curves.totalSignalLab[k] = 0.125f / static_cast<float>(1 + (k > 10 ? k - 10 : 10 - k));
    r.flags.showTotalSignalLab = true;
    const PlotReadouts out = r.Render();
    EXPECT_EQ(r.params.intensityMax, 0.125f);
    EXPECT_EQ(out.signalAutoMax, "(0.125)");
    const std::set<int> rows = RowsWith(r.pictures.signal, 60, kLabPen);
    ASSERT_FALSE(rows.empty());
    EXPECT_GE(*rows.begin(), 25);
    EXPECT_LE(*rows.begin(), 26);
}

struct SignalAutoCase {
    const char* name;
    std::vector<float> values; // the first samples of totalSignalNat, the rest 0
    float before;
    float after;
    const char* readout;
};

class SignalAutomaticMaximum : public ::testing::TestWithParam<SignalAutoCase> {};

TEST_P(SignalAutomaticMaximum, UpdatesIntensityMaxAndReadout)
{
    const SignalAutoCase& c = GetParam();
    Rendering r;
    r.curves = FlatCurves(450, 0.0f);
    std::copy(c.values.begin(), c.values.end(), r.curves.totalSignalNat.begin());
    r.flags.showTotalSignalNat = true;
    r.params.intensityMax = c.before;
    const PlotReadouts out = r.Render();
    EXPECT_EQ(r.params.intensityMax, c.after);
    EXPECT_EQ(out.signalAutoMax, c.readout);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SignalAutomaticMaximum,
    ::testing::Values(SignalAutoCase{"LargestValue", {0.01f, 0.04f, 0.02f}, 0.1f, 0.04f, "(4.e-002)"},
                      SignalAutoCase{"AllZeroOrNegativeKeepsMax", {-1.0f, 0.0f}, 0.3f, 0.3f, "(0.3)"},
                      SignalAutoCase{"NaNNeverWins", {kNaN, 0.02f, kNaN}, 0.1f, 0.02f, "(2.e-002)"}),
    [](const auto& testCase) { return testCase.param.name; });

TEST(RenderSignalAuto, FlagOffWritesNoReadout)
{
    Rendering r = FixedScale(0.5f);
    r.flags.showTotalSignalLab = true;
    const PlotReadouts out = r.Render();
    EXPECT_FALSE(out.signalAutoMax.has_value());
    EXPECT_EQ(r.params.intensityMax, 0.2f);
}

TEST(RenderSignal, CurveAboveIntensityMaxIsCutAtTheTopEdge)
{
    Rendering r = FixedScale();
    for (int k = 0; k < 450; ++k)
        r.curves.totalSignalLab[k] = ValueAtRow(225 - k); // rises one row per column
    r.flags.showTotalSignalLab = true;
    r.Render();
    EXPECT_EQ(ColumnsWith(r.pictures.signal, 0, kLabPen), std::set<int>{275});
    for (int x = 276; x < 500; ++x)
        ASSERT_EQ(RowsWith(r.pictures.signal, x, kLabPen), std::set<int>{}) << x;
}

// Curves the last model run did not fill, or too short, are left out and
// play no part in the automatic maximum.
struct UnfilledCase {
    const char* name;
    bool summedComputed;
    bool atDepthComputed;
    int arraySize;
    int timePoints;
    float value; // 0 lies on the time axis, where a curve colour would show
};

class UnfilledCurves : public ::testing::TestWithParam<UnfilledCase> {};

TEST_P(UnfilledCurves, AreNotRead)
{
    const UnfilledCase& c = GetParam();
    Rendering r;
    r.curves = FlatCurves(c.arraySize, c.value);
    r.curves.summedComputed = c.summedComputed;
    r.curves.signalAtDepthComputed = c.atDepthComputed;
    r.params.timePoints = c.timePoints;
    r.flags.showSignalAtDepth = r.flags.showTotalSignalHomogeneous = true;
    r.flags.showTotalSignalNat = r.flags.showTotalSignalLab = true;
    const PlotReadouts out = r.Render();
    EXPECT_EQ(out.signalAutoMax, "(0.1)");
    EXPECT_EQ(Differences(r.pictures.signal, SignalAxesOnly(27)), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Cases, UnfilledCurves,
                         ::testing::Values(UnfilledCase{"NotComputed", false, false, 450, 450, 0.05f},
                                           UnfilledCase{"ShorterThanTimePoints", true, true, 449, 450, 0.05f},
                                           UnfilledCase{"NoArrays", true, true, 0, 450, 0.05f},
                                           UnfilledCase{"OneSample", true, true, 450, 1, 0.0f},
                                           UnfilledCase{"NegativeCount", true, true, 450, -1, 0.0f}),
                         [](const auto& testCase) { return testCase.param.name; });

TEST(RenderSignal, OnlyTheComputedCurvesAreDrawn)
{
    Rendering r = FixedScale();
    r.curves.summedComputed = false;
    r.flags.showSignalAtDepth = r.flags.showTotalSignalLab = true;
    r.Render();
    EXPECT_EQ(ColumnsWith(r.pictures.signal, 125, kAtDepthPen), Range(50, 498));
}

class UndrawableSignalSample : public ::testing::TestWithParam<float> {};

TEST_P(UndrawableSignalSample, LeavesOutOnlyItsSegments)
{
    Rendering r = FixedScale();
    r.curves.totalSignalHomogeneous[100] = GetParam();
    r.flags.showTotalSignalHomogeneous = true;
    r.Render();
    std::set<int> expected = Range(50, 498);
    expected.erase(149);
    expected.erase(150);
    EXPECT_EQ(ColumnsWith(r.pictures.signal, 125, kHomogeneousPen), expected);
}

INSTANTIATE_TEST_SUITE_P(Values, UndrawableSignalSample, ::testing::Values(kNaN, kInf, -kInf, 1e30f, -3e38f));

struct SignalZeroScaleCase {
    const char* name;
    float timeMax, intensityMax;
    bool timeAxis, signalAxis;
};

class SignalZeroScale : public ::testing::TestWithParam<SignalZeroScaleCase> {};

TEST_P(SignalZeroScale, DrawsOnlyWhatHasPixelPositions)
{
    const SignalZeroScaleCase& c = GetParam();
    Rendering r = FixedScale();
    r.params.timeMax = c.timeMax;
    r.params.intensityMax = c.intensityMax;
    r.flags.showTotalSignalLab = r.flags.showSignalAtDepth = true;
    r.Render();
    Raster expected = Background(500, 250);
    if (c.timeAxis)
        SetRun(expected, 50, 225, 498, 225, kBlack);
    if (c.signalAxis)
        SetRun(expected, 50, 27, 50, 225, kBlack);
    EXPECT_EQ(Differences(r.pictures.signal, expected), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Cases, SignalZeroScale,
                         ::testing::Values(SignalZeroScaleCase{"TimeMaxZero", 0.0f, 0.1f, false, true},
                                           SignalZeroScaleCase{"TimeMaxNaN", kNaN, 0.1f, false, true},
                                           SignalZeroScaleCase{"IntensityMaxZero", 600.0f, 0.0f, true, false},
                                           SignalZeroScaleCase{"IntensityMaxNaN", 600.0f, kNaN, true, false}),
                         [](const auto& testCase) { return testCase.param.name; });

} // namespace
} // namespace tamrisk
