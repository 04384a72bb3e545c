// SPDX-License-Identifier: GPL-3.0-or-later
#include "ModelTestSupport.h"
#include "model/SampleGrid.h"
#include "model/SliderScale.h"

#include <cmath>

namespace tamrisk::testing {
namespace {

struct ModelRun {
    DepthProfile profile;
    SignalCurves curves;
};

ModelRun Compute(const ModelParameters& params, const DisplayFlags& flags)
{
    ModelRun run;
    ComputeModel(params, flags, run.profile, run.curves);
    return run;
}

float TimeAt(const ModelParameters& params, int k)
{
    const float step = float(double(params.timeMax) / params.timePoints);
    return float(k * double(step));
}

TEST(SignalCurves, DefaultValuesAtTimeZero)
{
    const ModelRun run = Compute(DefaultParameters(), AllSignalFlags());
    ASSERT_EQ(run.curves.signalAtDepth.size(), 450u);
    EXPECT_EQ(run.curves.signalAtDepth[0], float(0.05f * std::exp(-10.0)));
    EXPECT_NEAR(run.curves.signalAtDepth[0], 0.0000022700f, 5e-11f);
    // rate1 times the sum of exp(-0.5 j) over the 40 sampled depths.
    double sum = 0;
    for (int j = 0; j < 40; ++j) {
        sum += std::exp(-0.5 * j);
    }
    EXPECT_NEAR(run.curves.totalSignalHomogeneous[0], 0.05 * sum, 1e-6);
    EXPECT_NEAR(run.curves.totalSignalHomogeneous[0], 0.1271f, 5e-5f);
    EXPECT_GT(run.curves.totalSignalLab[0], 0.0f);
    EXPECT_GT(run.curves.totalSignalNat[0], 0.0f);
    EXPECT_TRUE(run.curves.summedComputed);
    EXPECT_TRUE(run.curves.signalAtDepthComputed);
}

TEST(SignalCurves, TimeGrid)
{
    const ModelParameters params = DefaultParameters();
    ModelParameters slow = params;
    slow.extinction = 0.0f; // I = 1 everywhere: the curve is rate * exp(-rate * t)
    const ModelRun run = Compute(slow, AllSignalFlags());
    EXPECT_NEAR(GridPoint(449, TimeStep(params)), 598.67f, 0.005f);
    for (int k : {0, 1, 3, 449}) {
        const double t = TimeAt(params, k);
        EXPECT_EQ(run.curves.signalAtDepth[k], float(double(0.05f) * std::exp(-double(0.05f) * t))) << k;
    }
}

TEST(SignalCurves, CurveStep400SumsTheSurfaceOnly)
{
    ModelParameters params = DefaultParameters();
    params.curveStep = 400;
    const ModelRun run = Compute(params, AllSignalFlags());
    for (int k : {0, 7, 449}) {
        const double r = 0.05f;
        const float a = float(r * std::exp(-r * TimeAt(params, k)));
        EXPECT_EQ(run.curves.totalSignalHomogeneous[k], a) << k;
        EXPECT_EQ(run.curves.totalSignalLab[k], float(double(a) * 1.0008f)) << k;
        EXPECT_EQ(run.curves.totalSignalNat[k], float(double(a) * 0.5)) << k;
    }
}

TEST(SignalCurves, CurveStep3SamplesEveryThirdDepth)
{
    ModelParameters params = DefaultParameters();
    params.curveStep = 3;
    const ModelRun run = Compute(params, AllSignalFlags());
    float expected = 0.0f;
    for (int m = 0; m <= 396; m += 3) {
        expected = float(double(expected) + DecaySignal(0.0f, 10.0f, float(m * double(0.005f)), 0.05f));
    }
    EXPECT_EQ(run.curves.totalSignalHomogeneous[0], expected);
}

// A step that samples no depth (0 from an empty edit, beyond depthPoints,
// negative) leaves the summed curves computed and 0 at every time.
class EmptyCurveStep : public ::testing::TestWithParam<int> {};

TEST_P(EmptyCurveStep, GivesZeroSums)
{
    ModelParameters params = DefaultParameters();
    params.curveStep = GetParam();
    DisplayFlags flags;
    flags.showTotalSignalNat = true;
    ModelRun run;
    ComputeModel(DefaultParameters(), AllSignalFlags(), run.profile, run.curves); // leave values behind
    ComputeModel(params, flags, run.profile, run.curves);
    EXPECT_TRUE(run.curves.summedComputed);
    EXPECT_FALSE(run.curves.signalAtDepthComputed);
    for (const auto* curve : {&run.curves.totalSignalHomogeneous, &run.curves.totalSignalLab,
                              &run.curves.totalSignalNat, &run.curves.signalAtDepth}) {
        ASSERT_EQ(curve->size(), 450u);
        for (float v : *curve) {
            ASSERT_TRUE(SameBits(v, 0.0f));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Steps, EmptyCurveStep, ::testing::Values(0, 401, 100000, -1, -400, -2147483647 - 1));

TEST(SignalCurves, FlagsOffComputeNothingAndLeaveZeros)
{
    ModelRun run;
    ComputeModel(DefaultParameters(), AllSignalFlags(), run.profile, run.curves);
    ComputeModel(DefaultParameters(), DisplayFlags{}, run.profile, run.curves);
    EXPECT_FALSE(run.curves.summedComputed);
    EXPECT_FALSE(run.curves.signalAtDepthComputed);
    ASSERT_EQ(run.curves.totalSignalLab.size(), 450u);
    for (float v : run.curves.totalSignalLab) {
        ASSERT_EQ(v, 0.0f);
    }
    for (float v : run.curves.signalAtDepth) {
        ASSERT_EQ(v, 0.0f);
    }
}

TEST(SignalCurves, SingleCurveUsesTheSliderDepthNotTheGrid)
{
    ModelParameters params = DefaultParameters();
    params.top = 1.0f;
    params.bottom = 3.0f;
    params.signalDepth = PositionToValue(100, DepthScale(params.top, params.bottom));
    ASSERT_EQ(params.signalDepth, 2.0f);
    params.transparencyCorrection = true; // not applied to the single curve
    const ModelRun run = Compute(params, AllSignalFlags());
    EXPECT_EQ(run.curves.signalAtDepth[0], float(std::exp(-20.0) * double(0.05f)));
    EXPECT_NEAR(run.profile.intensity[399], std::exp(-10.0 * 1.995), 1e-12);
}

TEST(SignalCurves, TransparencyWeightsEachTermByItsOwnDepth)
{
    ModelParameters params = DefaultParameters();
    params.curveStep = 200; // depths 0 and 1 mm
    params.transparencyCorrection = true;
    const ModelRun run = Compute(params, AllSignalFlags());
    const float surface = DecaySignal(0.0f, 10.0f, 0.0f, 0.05f);
    const float deep = DecaySignal(0.0f, 10.0f, 1.0f, 0.05f);
    const float weighted = float(double(run.profile.intensity[200]) * deep);
    EXPECT_EQ(run.curves.totalSignalHomogeneous[0], float(double(surface) + weighted));
    EXPECT_EQ(run.curves.totalSignalLab[0],
              float(double(float(double(surface) * 1.0008f)) + double(weighted) * run.profile.labDose[200]));
}

TEST(ComputeModel, ReusedResultsMatchAFreshRun)
{
    // A result object that went through other sizes and flags gives the same
    // bits as a fresh one.
    ModelParameters small = DefaultParameters();
    small.depthPoints = 11;
    small.timePoints = 3;
    ModelRun reused;
    ComputeModel(small, AllSignalFlags(), reused.profile, reused.curves);
    ModelParameters params = DefaultParameters();
    params.transparencyCorrection = true;
    DisplayFlags flags = AllSignalFlags();
    flags.showSignalAtDepth = false;
    ComputeModel(params, flags, reused.profile, reused.curves);
    ComputeModel(params, flags, reused.profile, reused.curves);
    const ModelRun fresh = Compute(params, flags);
    ExpectSameProfile(reused.profile, fresh.profile);
    ExpectSameCurves(reused.curves, fresh.curves);
    EXPECT_EQ(reused.profile.intensity.size(), 400u);
    EXPECT_EQ(reused.curves.signalAtDepth.size(), 450u);
}

} // namespace
} // namespace tamrisk::testing
