// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/TestSupport.h"
#include "PictureChecks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tamrisk {
namespace {

using namespace tamrisk::test;

constexpr Color kIntensityPen = Rgb(255, 0, 255);
constexpr Color kLabDosePen = Rgb(0, 0, 255);
constexpr Color kRatioPen = Rgb(255, 255, 255);
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// A fixed scale of 0.0025 per pixel, so ValueAtColumn places values exactly.
Rendering FixedScale(int n = 400, float value = ValueAtColumn(183))
{
    Rendering r;
    r.flags.autoScaleProfile = false;
    r.params.plotMax = 1.0f;
    r.profile = FlatProfile(n, value);
    return r;
}

TEST(RenderDepth, DefaultsShowOnlyAxesAndValueOneLine)
{
    Rendering r;
    const PlotReadouts out = r.Render();
    EXPECT_EQ(Differences(r.pictures.depth, DepthAxesOnly(316)), std::vector<std::string>{});
    EXPECT_EQ(out.depthAutoMax, "(1.5)");
    EXPECT_EQ(r.params.plotMax, 1.5f);
}

struct ValueOneCase {
    float plotMax;
    int oneColumn;
    int valueAxisLast;
};

class ValueOneLine : public ::testing::TestWithParam<ValueOneCase> {};

TEST_P(ValueOneLine, LiesWhereTheScalePutsIt)
{
    Rendering r;
    r.flags.autoScaleProfile = false;
    r.params.plotMax = GetParam().plotMax;
    r.Render();
    EXPECT_EQ(Differences(r.pictures.depth, DepthAxesOnly(GetParam().oneColumn, GetParam().valueAxisLast)),
              std::vector<std::string>{});
}

// 0.1: the single-precision scale leaves 0.1 / sx just below 400, so the
// value axis ends on 449 (last pixel 448), and the value-1 line is far right.
INSTANTIATE_TEST_SUITE_P(PlotMax, ValueOneLine,
                         ::testing::Values(ValueOneCase{1.5f, 316, 449}, ValueOneCase{2.5f, 210, 449},
                                           ValueOneCase{1.0f, 450, 449}, ValueOneCase{0.1f, 4049, 448}));

TEST(RenderDepth, FlatCurveFillsRowsFiftyToFourFortyEightWithoutItsEndPixel)
{
    Rendering r = FixedScale();
    r.flags.showIntensity = true;
    r.Render();
    EXPECT_EQ(RowsWith(r.pictures.depth, 183, kIntensityPen), Range(50, 448));
    EXPECT_EQ(r.pictures.depth.pixel(183, 449), kPlotBackground);
}

TEST(RenderDepth, TopHalfMillimetreShiftsRowsAndTruncatesTowardZero)
{
    Rendering r = FixedScale();
    r.params.top = 0.5f;
    r.params.bottom = 2.0f;
    r.profile.intensity[134] = ValueAtColumn(250);
    r.flags.showIntensity = true;
    r.Render();
    const Raster& p = r.pictures.depth;

    // Samples 83 .. 132 in the top margin (rows 0 .. 49), 0 .. 82 clipped,
    // the last sample on row 315, which is not set.
    std::set<int> rows = RowsWith(p, 183, kIntensityPen);
    EXPECT_EQ(*rows.begin(), 0);
    EXPECT_EQ(*rows.rbegin(), 314);
    // Samples 133 and 134 share row 50: the segment between them is flat.
    EXPECT_EQ(ColumnsWith(p, 50, kIntensityPen), Range(183, 250));
    EXPECT_EQ(ColumnsWith(p, 49, kIntensityPen), std::set<int>{183});
    // Rows 316 .. 449 of the plot area stay empty.
    for (int y = 315; y < 500; ++y)
        ASSERT_EQ(ColumnsWith(p, y, kIntensityPen), std::set<int>{}) << y;
}

TEST(RenderDepth, LaterCurveCoversEarlierWithinOneSampleInterval)
{
    // Intensity (table #1) runs from column 100 to 200 between samples 49
    // and 50, labDose (#4) from 200 to 100: they share pixel (150, 99).
    Rendering r = FixedScale();
    for (int i = 0; i < 400; ++i) {
        r.profile.intensity[i] = ValueAtColumn(i < 50 ? 100 : 200);
        r.profile.labDose[i] = ValueAtColumn(i < 50 ? 200 : 100);
    }
    r.flags.showIntensity = true;
    r.flags.showLabDose = true;
    r.Render();
    EXPECT_EQ(r.pictures.depth.pixel(150, 99), kLabDosePen);
    EXPECT_EQ(r.pictures.depth.pixel(149, 99), kIntensityPen);
    EXPECT_EQ(r.pictures.depth.pixel(151, 99), kLabDosePen);
}

TEST(RenderDepth, LoopRunsOverSamplesFirstThenCurves)
{
    // labDose's segment 49 -> 50 ends on row 100 crossing column 183, where
    // intensity's next segment starts: drawn later, intensity lies on top.
    Rendering r = FixedScale();
    for (int i = 0; i < 400; ++i)
        r.profile.labDose[i] = ValueAtColumn(i < 50 ? 283 : 84);
    r.flags.showIntensity = true;
    r.flags.showLabDose = true;
    r.Render();
    EXPECT_EQ(r.pictures.depth.pixel(182, 100), kLabDosePen);
    EXPECT_EQ(r.pictures.depth.pixel(183, 100), kIntensityPen);
    EXPECT_EQ(r.pictures.depth.pixel(184, 99), kLabDosePen);
}

TEST(RenderDepth, EveryRenderingStartsFromABlankPicture)
{
    Rendering r = FixedScale();
    r.flags.showIntensity = true;
    r.pictures.depth = Raster(3, 3);
    r.Render();
    r.flags.showIntensity = false;
    r.Render();
    EXPECT_EQ(Differences(r.pictures.depth, DepthAxesOnly(450)), std::vector<std::string>{});
}

// Automatic maximum ---------------------------------------------------------

TEST(RenderDepthAuto, OnlyRatioShownTakesItsLargestValue)
{
    Rendering r;
    r.profile = FlatProfile(400, 1.0f);
    r.profile.labDose.assign(400, 9.0f); // not shown, so not scanned
    r.profile.ratio[200] = 2.5f;
    r.flags.showRatio = true;
    const PlotReadouts out = r.Render();
    EXPECT_EQ(r.params.plotMax, 2.5f);
    EXPECT_EQ(out.depthAutoMax, "(2.5)");
    // The peak reaches the end of the value axis (449 where the quotient
    // falls just below 400).
    const std::set<int> peak = ColumnsWith(r.pictures.depth, 250, kRatioPen);
    ASSERT_FALSE(peak.empty());
    EXPECT_GE(*peak.rbegin(), 449);
    EXPECT_LE(*peak.rbegin(), 450);
}

struct AutoCase {
    const char* name;
    std::vector<float> values; // the first samples of labDose, the rest 0
    float plotMaxBefore;
    float plotMaxAfter;
    const char* readout;
};

class DepthAutomaticMaximum : public ::testing::TestWithParam<AutoCase> {};

TEST_P(DepthAutomaticMaximum, UpdatesPlotMaxAndReadout)
{
    const AutoCase& c = GetParam();
    Rendering r;
    r.profile = FlatProfile(400, 0.0f);
    std::copy(c.values.begin(), c.values.end(), r.profile.labDose.begin());
    r.profile.intensity.assign(400, 50.0f); // not shown
    r.flags.showLabDose = true;
    r.params.plotMax = c.plotMaxBefore;
    const PlotReadouts out = r.Render();
    if (std::isnan(c.plotMaxAfter))
        EXPECT_TRUE(std::isnan(r.params.plotMax));
    else
        EXPECT_EQ(r.params.plotMax, c.plotMaxAfter);
    EXPECT_EQ(out.depthAutoMax, c.readout);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DepthAutomaticMaximum,
    ::testing::Values(AutoCase{"LargestValue", {0.2f, 0.75f, 0.5f}, 1.5f, 0.75f, "(0.75)"},
                      AutoCase{"AllZeroOrNegativeKeepsPlotMax", {-3.0f, 0.0f, -0.0f}, 1.7f, 1.7f, "(1.7)"},
                      AutoCase{"NaNNeverWins", {kNaN, 0.8f, kNaN, 0.3f}, 1.5f, 0.8f, "(0.8)"},
                      AutoCase{"OnlyNaNKeepsPlotMax", {kNaN, kNaN}, 2.0f, 2.0f, "(2.)"},
                      AutoCase{"InfinityWins", {1.0f, kInf}, 1.5f, kInf, "(inf)"}),
    [](const auto& testCase) { return testCase.param.name; });

TEST(RenderDepthAuto, FlagOffWritesNoReadoutAndKeepsPlotMax)
{
    Rendering r = FixedScale(400, 7.0f);
    r.flags.showIntensity = true;
    const PlotReadouts out = r.Render();
    EXPECT_FALSE(out.depthAutoMax.has_value());
    EXPECT_EQ(r.params.plotMax, 1.0f);
    // Values above plotMax run off the right edge: nothing of the curve shows.
    EXPECT_EQ(Differences(r.pictures.depth, DepthAxesOnly(450)), std::vector<std::string>{});
}

TEST(RenderDepthAuto, CurveAbovePlotMaxIsCutAtTheRightEdge)
{
    Rendering r = FixedScale();
    for (int i = 0; i < 400; ++i)
        r.profile.intensity[i] = ValueAtColumn(50 + 2 * i); // leaves the picture at sample 225
    r.flags.showIntensity = true;
    r.Render();
    EXPECT_EQ(r.pictures.depth.pixel(498, 274), kIntensityPen);
    EXPECT_EQ(RowsWith(r.pictures.depth, 499, kIntensityPen), (std::set<int>{274}));
}

// Values without a pixel position ------------------------------------------

class UndrawableSample : public ::testing::TestWithParam<float> {};

// A sample without a pixel position drops the two segments that touch it;
// the rest of the curve is drawn.
TEST_P(UndrawableSample, LeavesOutOnlyItsSegments)
{
    Rendering r = FixedScale();
    r.profile.intensity[100] = GetParam();
    r.flags.showIntensity = true;
    r.Render();
    std::set<int> expected = Range(50, 448);
    expected.erase(149);
    expected.erase(150);
    EXPECT_EQ(RowsWith(r.pictures.depth, 183, kIntensityPen), expected);
}

INSTANTIATE_TEST_SUITE_P(Values, UndrawableSample, ::testing::Values(kNaN, kInf, -kInf, 1e30f, -1e30f));

TEST(RenderDepth, HugeButPlaceableValuesAreClipped)
{
    // 1e6 lies at column 4e8 + 50: still a pixel position, clipped by the line.
    Rendering r = FixedScale();
    r.profile.intensity[100] = 1e6f;
    r.flags.showIntensity = true;
    r.Render();
    const std::set<int> rows = RowsWith(r.pictures.depth, 183, kIntensityPen);
    EXPECT_TRUE(rows.count(148));
    EXPECT_TRUE(rows.count(151));
    EXPECT_EQ(ColumnsWith(r.pictures.depth, 149, kIntensityPen), Range(183, 499));
}

struct ZeroScaleCase {
    const char* name;
    float plotMax, top, bottom;
    Raster expected;
};

class ZeroScale : public ::testing::TestWithParam<ZeroScaleCase> {};

// A zero (or vanishing) scale gives no pixel position for the ends that
// divide by it: those axes and every curve segment are left out.
TEST_P(ZeroScale, DrawsOnlyWhatHasPixelPositions)
{
    const ZeroScaleCase& c = GetParam();
    Rendering r = FixedScale();
    r.params.plotMax = c.plotMax;
    r.params.top = c.top;
    r.params.bottom = c.bottom;
    r.flags.showIntensity = true;
    r.flags.showEffIntRatio = true;
    r.Render();
    EXPECT_EQ(Differences(r.pictures.depth, c.expected), std::vector<std::string>{});
}

Raster DepthAxisOnly()
{
    Raster r = Background(500, 500);
    SetRun(r, 50, 50, 50, 449, kBlack);
    return r;
}

Raster BothAxes()
{
    Raster r = DepthAxisOnly();
    SetRun(r, 50, 50, 449, 50, kBlack);
    return r;
}

Raster ValueAxisOnly()
{
    Raster r = Background(500, 500);
    SetRun(r, 50, 50, 449, 50, kBlack);
    return r;
}

INSTANTIATE_TEST_SUITE_P(Cases, ZeroScale,
                         ::testing::Values(ZeroScaleCase{"PlotMaxZero", 0.0f, 0.0f, 2.0f, DepthAxisOnly()},
                                           ZeroScaleCase{"PlotMaxTiny", 1e-30f, 0.0f, 2.0f, BothAxes()},
                                           ZeroScaleCase{"PlotMaxNaN", kNaN, 0.0f, 2.0f, DepthAxisOnly()},
                                           ZeroScaleCase{"BottomEqualsTop", 1.0f, 1.0f, 1.0f, ValueAxisOnly()}),
                         [](const auto& testCase) { return testCase.param.name; });

struct ShortArrayCase {
    const char* name;
    int depthPoints;
    int arraySize;
};

class ShortArrays : public ::testing::TestWithParam<ShortArrayCase> {};

// Too few samples for a curve, or arrays shorter than depthPoints: only the
// axes, and nothing beyond an array is read (the sanitizer build checks).
TEST_P(ShortArrays, DrawOnlyTheAxes)
{
    Rendering r;
    // Values 0 would lie on the depth axis in curve colours.
    r.profile = FlatProfile(GetParam().arraySize, 0.0f);
    r.params.depthPoints = GetParam().depthPoints;
    r.flags = testing::CurvesOf(PlotKind::Depth);
    r.Render();
    EXPECT_EQ(r.params.plotMax, 1.5f);
    EXPECT_EQ(Differences(r.pictures.depth, DepthAxesOnly(316)), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Cases, ShortArrays,
                         ::testing::Values(ShortArrayCase{"OneSample", 1, 400}, ShortArrayCase{"NoSample", 0, 400},
                                           ShortArrayCase{"NegativeCount", -5, 400},
                                           ShortArrayCase{"ArraysShorterThanCount", 400, 399},
                                           ShortArrayCase{"NoArrays", 400, 0}),
                         [](const auto& testCase) { return testCase.param.name; });

// Read-outs of the effective totals ------------------------------------------

struct TotalsCase {
    float lab, nat;
    const char* labText;
    const char* natText;
    const char* ratioText;
};

class EffectiveTotals : public ::testing::TestWithParam<TotalsCase> {};

TEST_P(EffectiveTotals, AreFormattedWithSixDigits)
{
    Rendering r;
    r.profile.effLabTotal = GetParam().lab;
    r.profile.effNatTotal = GetParam().nat;
    const PlotReadouts out = r.Render();
    EXPECT_EQ(out.effLabTotal, GetParam().labText);
    EXPECT_EQ(out.effNatTotal, GetParam().natText);
    EXPECT_EQ(out.effRatio, GetParam().ratioText);
}

// The quotient is taken in double from the single-precision totals.
INSTANTIATE_TEST_SUITE_P(Cases, EffectiveTotals,
                         ::testing::Values(TotalsCase{3.0f, 2.0f, "3.", "2.", "1.5"},
                                           TotalsCase{19.3f, 8.71f, "19.3", "8.71", "2.21584"},
                                           TotalsCase{1.0f, 3.0f, "1.", "3.", "0.333333"},
                                           TotalsCase{5.0f, 0.0f, "5.", "0.", "inf"}));

} // namespace
} // namespace tamrisk
