// SPDX-License-Identifier: GPL-3.0-or-later
#include "ModelTestSupport.h"
#include "model/SampleGrid.h"

#include <cmath>

namespace tamrisk::testing {
namespace {

class DefaultProfile : public ::testing::Test {
protected:
    void SetUp() override { ComputeDepthProfile(DefaultParameters(), profile); }
    DepthProfile profile;
};

TEST_F(DefaultProfile, SurfaceSample)
{
    ASSERT_EQ(profile.intensity.size(), 400u);
    EXPECT_EQ(profile.intensity[0], 1.0f);
    EXPECT_EQ(profile.labDose[0], 1.0008f);
    EXPECT_EQ(profile.natDoseRate[0], 0.5f);
    EXPECT_NEAR(profile.oslContribution[0], 0.99326f, 5e-6f);
    EXPECT_EQ(profile.ratio[0], 2.0016f);
    EXPECT_EQ(profile.intLabDose[0], float(double(1.0008f) * double(0.005f)));
    EXPECT_NEAR(profile.intLabDose[0], 0.005004f, 1e-9f);
    EXPECT_EQ(profile.intRatio[0], 2.0016f);
}

// Sample 182 lies a hair below 0.91 (rational fit), 336 a hair below 1.68
// (linear fit), and from 337 on the fit is 0.
TEST_F(DefaultProfile, LabDoseAtTheFitBoundaries)
{
    EXPECT_NEAR(profile.labDose[182], 0.68183f, 5e-6f);
    EXPECT_NEAR(profile.labDose[183], 1.484f - 0.883f * 0.915f, 1e-5f);
    EXPECT_NEAR(profile.labDose[336], 0.00056f, 5e-7f);
    for (std::size_t i = 337; i < 400; ++i) {
        EXPECT_EQ(profile.labDose[i], 0.0f) << i;
    }
}

TEST_F(DefaultProfile, Totals)
{
    EXPECT_NEAR(profile.effLabTotal, 19.3f, 0.05f);
    EXPECT_NEAR(profile.effNatTotal, 8.71f, 0.005f);
    EXPECT_NEAR(profile.effIntLabDose[399], profile.effLabTotal * 0.005f, 1e-6f);
}

TEST_F(DefaultProfile, DepthGrid)
{
    // The step is the float nearest 0.005, which lies just below it; the
    // samples next to the fit's bounds fall on either side of them.
    const float step = DepthStep(DefaultParameters());
    EXPECT_EQ(step, 0.005f);
    EXPECT_EQ(profile.intensity[1], float(std::exp(-10.0 * step)));
    EXPECT_EQ(GridPoint(182, step), 0.90999997f);
    EXPECT_LT(double(GridPoint(336, step)), 1.68);
    EXPECT_GE(double(GridPoint(337, step)), 1.68);
}

TEST(DepthProfile, ReversedEdgesLieAboveTheSurface)
{
    ModelParameters params = DefaultParameters();
    params.top = 2.0f;
    params.bottom = 0.0f;
    DepthProfile profile;
    ComputeDepthProfile(params, profile);
    EXPECT_EQ(profile.intensity[0], 1.0f);
    EXPECT_EQ(profile.labDose[0], 1.0008f); // z = 0 still
    for (std::size_t i = 1; i < 400; ++i) {
        EXPECT_EQ(profile.labDose[i], 0.0f);
        EXPECT_GT(profile.intensity[i], profile.intensity[i - 1]);
    }
}

TEST(DepthProfile, EqualEdgesRepeatTheSurface)
{
    ModelParameters params = DefaultParameters();
    params.top = 0.7f;
    params.bottom = 0.7f;
    DepthProfile profile;
    ComputeDepthProfile(params, profile);
    for (std::size_t i = 0; i < 400; ++i) {
        EXPECT_EQ(profile.intensity[i], 1.0f);
        EXPECT_EQ(profile.labDose[i], 1.0008f);
        EXPECT_EQ(profile.oslContribution[i], profile.oslContribution[0]);
    }
    // Running sums grow linearly while exactly representable: 0.5 per sample.
    EXPECT_EQ(profile.intNatDoseRate[9], float(5.0 * 0.005f));
    EXPECT_EQ(profile.intNatDoseRate[399], float(200.0 * 0.005f));
}

TEST(DepthProfile, TransparencyCorrectionWeightsTwice)
{
    ModelParameters params = DefaultParameters();
    DepthProfile plain;
    ComputeDepthProfile(params, plain);
    params.transparencyCorrection = true;
    DepthProfile corrected;
    ComputeDepthProfile(params, corrected);
    for (std::size_t i : {0u, 10u, 50u, 182u}) {
        const double I = corrected.intensity[i];
        EXPECT_EQ(corrected.oslContribution[i], float(I * plain.oslContribution[i])) << i;
        EXPECT_EQ(corrected.effLabDose[i], float(I * corrected.labDose[i] * corrected.oslContribution[i])) << i;
        EXPECT_NEAR(corrected.effLabDose[i], I * I * corrected.labDose[i] * plain.oslContribution[i],
                    1e-6 * corrected.effLabDose[i] + 1e-30)
            << i;
    }
    EXPECT_LT(corrected.effLabTotal, plain.effLabTotal);
}

TEST(DepthProfile, ZeroDenominatorsGiveNan)
{
    ModelParameters params = DefaultParameters();
    params.integralScale = 0.0f;
    params.rate1 = 0.0f;
    DepthProfile profile;
    ComputeDepthProfile(params, profile);
    EXPECT_EQ(profile.intLabDose[5], 0.0f);
    EXPECT_TRUE(std::isnan(profile.intRatio[5]));
    EXPECT_TRUE(std::isnan(profile.effIntRatio[5]));
    EXPECT_TRUE(std::isnan(profile.effRatio[5]));
    EXPECT_EQ(profile.effLabTotal, 0.0f);

    params = DefaultParameters();
    params.integralScale = 0.0f;
    ComputeDepthProfile(params, profile);
    DepthProfile scaled;
    ComputeDepthProfile(DefaultParameters(), scaled);
    EXPECT_EQ(profile.effLabTotal, scaled.effLabTotal); // totals ignore the scale
    EXPECT_EQ(profile.effNatTotal, scaled.effNatTotal);
}

TEST(DepthProfile, NoSamplesGiveEmptyArraysAndZeroTotals)
{
    DepthProfile profile;
    ComputeDepthProfile(DefaultParameters(), profile);
    for (int points : {0, -1, -2147483647 - 1}) {
        ModelParameters params = DefaultParameters();
        params.depthPoints = points;
        ComputeDepthProfile(params, profile);
        EXPECT_TRUE(profile.intensity.empty());
        EXPECT_TRUE(profile.effIntRatio.empty());
        EXPECT_EQ(profile.effLabTotal, 0.0f);
        EXPECT_EQ(profile.effNatTotal, 0.0f);
    }
}

TEST(DepthProfile, Rate2ChangesNothing)
{
    ModelParameters params = DefaultParameters();
    DepthProfile a;
    SignalCurves ca;
    ComputeModel(params, AllSignalFlags(), a, ca);
    params.rate2 = 0.9f;
    DepthProfile b;
    SignalCurves cb;
    ComputeModel(params, AllSignalFlags(), b, cb);
    ExpectSameProfile(a, b);
    ExpectSameCurves(ca, cb);
}

} // namespace
} // namespace tamrisk::testing
