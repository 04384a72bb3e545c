// SPDX-License-Identifier: GPL-3.0-or-later
// The fit recovers known inputs from data the model made with seeded noise,
// and its intervals are as wide as the noise makes them.
#include "SyntheticData.h"

#include "fit/FitCurve.h"
#include "fit/FitProblem.h"
#include "model/ComputeModel.h"
#include "model/ReadParameters.h"
#include "model/SampleGrid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

namespace tamrisk {
namespace {

using testing::Free;
using testing::InputsWith;
using testing::SampledSet;
using testing::Spaced;

// Every freed parameter's truth lies within its 95 % interval, covariance and profile.
void ExpectRecovered(const FitSetup& setup, const std::vector<double>& truth)
{
    const FitResult result = RunFit(setup);
    ASSERT_EQ(result.outcome, FitOutcome::Fitted) << (result.refusals.empty() ? "" : result.refusals.front());
    for (std::size_t j = 0; j < truth.size(); ++j) {
        const ParameterEstimate& e = result.estimates[j];
        SCOPED_TRACE(setup.parameters[j].name);
        EXPECT_GT(e.stdError, 0.0);
        EXPECT_LE(e.ci95.low, truth[j]);
        EXPECT_GE(e.ci95.high, truth[j]);
        if (setup.profile) {
            EXPECT_LE(e.profile95.low, truth[j]);
            EXPECT_GE(e.profile95.high, truth[j]);
            EXPECT_LT(e.profile68.low, e.estimate);
            EXPECT_GT(e.profile68.high, e.estimate);
        }
    }
    EXPECT_GT(result.pValue, 0.001);
    EXPECT_TRUE(result.notes.empty()) << result.notes.front();
}

TEST(FitRecovery, EachKindOfObservable)
{
    std::mt19937 random(20261208);
    struct Case {
        const char* what;
        DataSet set;
        std::vector<FitParameter> parameters;
        std::vector<double> truth;
        Inputs base; // the inputs that stay fixed
    };
    const Inputs profileTruth = InputsWith({{"extinction", 3.0}, {"eval-time", 100.0}});
    const Inputs curveTruth = InputsWith({{"rate1", 0.02}, {"extinction", 2.0}});
    const Inputs totalsTruth = InputsWith({{"extinction", 6.0}});
    const std::vector<Case> cases = {
        {"OSL-depth profile",
         SampledSet("osl_fraction", Spaced(0.1, 0.1, 15), profileTruth, 2000, 0.03, 5, random),
         {Free("extinction", 5.0), Free("scale", 1000.0)},
         {3.0, 2000.0},
         profileTruth},
        {"running integral of a profile",
         SampledSet("eff_int_lab_dose", Spaced(0.05, 0.1, 19), profileTruth, 1.0, 0.02, 0.0, random),
         {Free("extinction", 5.0)},
         {3.0},
         profileTruth},
        {"decay curve",
         SampledSet("total_signal_homogeneous", Spaced(2.0, 20.0, 25), curveTruth, 50.0, 0.02, 0.1, random),
         {Free("rate1", 0.05), Free("scale", 10.0)},
         {0.02, 50.0},
         curveTruth},
        {"totals over evaluation times",
         testing::TotalsSet("eff_ratio", "eval-time", {1, 3, 10, 30, 100, 300, 1000}, totalsTruth, 0.01, random),
         {Free("extinction", 10.0)},
         {6.0},
         totalsTruth},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FitSetup setup;
        setup.sets = {c.set};
        setup.parameters = c.parameters;
        setup.base = c.base;
        setup.profile = true;
        ExpectRecovered(setup, c.truth);
    }
}

TEST(FitRecovery, ThreeProfilesWithSharedExtinction)
{
    // Samples of one material with different exposures: one extinction, an evaluation time each.
    std::mt19937 random(7);
    FitSetup setup;
    const double exposures[] = {20.0, 100.0, 500.0};
    for (const double t : exposures)
        setup.sets.push_back(SampledSet("osl_fraction", Spaced(0.05, 0.1, 14),
                                        InputsWith({{"extinction", 2.5}, {"eval-time", t}}), 1.0, 0.02, 0.002, random));
    setup.parameters = {Free("extinction", 4.0)};
    for (int s = 0; s < 3; ++s)
        setup.parameters.push_back(Free("eval-time", 50.0, s, 0.0));
    ExpectRecovered(setup, {2.5, exposures[0], exposures[1], exposures[2]});
}

TEST(FitCoverage, SixtyEightPercentIntervalsHoldTheTruthSoOften)
{
    // With the given errors (Gaussian quantiles), and without them (errors
    // scaled by the residual variance, Student's t over few points).
    for (const bool weighted : {true, false}) {
        SCOPED_TRACE(weighted ? "with sigmas" : "equal weights");
        std::mt19937 random(weighted ? 1 : 2);
        const Inputs truth = InputsWith({{"extinction", 3.0}});
        int covered = 0, fitted = 0;
        constexpr int kRealisations = 200;
        for (int k = 0; k < kRealisations; ++k) {
            FitSetup setup;
            setup.sets = {SampledSet("osl_fraction", Spaced(0.1, 0.2, 7), truth, 2000, 0.0, 40, random)};
            if (!weighted)
                setup.sets[0].sigma.clear();
            setup.parameters = {Free("extinction", 5.0), Free("scale", 1000.0)};
            const FitResult result = RunFit(setup);
            if (result.outcome != FitOutcome::Fitted)
                continue;
            ++fitted;
            covered += result.estimates[0].ci68.low <= 3.0 && 3.0 <= result.estimates[0].ci68.high;
        }
        EXPECT_EQ(fitted, kRealisations);
        const double share = double(covered) / kRealisations;
        std::printf("coverage of the 68 %% intervals (%s): %.3f\n", weighted ? "with sigmas" : "equal weights", share);
        EXPECT_NEAR(share, kLevel68, 0.05);
    }
}

TEST(FitProfile, ProfileIntervalsOfALinearParameterAreTheCovariancesOnes)
{
    // In the scale alone chi2 is exactly quadratic: both intervals agree.
    std::mt19937 random(5);
    FitSetup setup;
    setup.base = InputsWith({{"extinction", 3.0}});
    setup.sets = {SampledSet("intensity", Spaced(0.1, 0.1, 12), setup.base, 40.0, 0.02, 0.5, random)};
    setup.parameters = {Free("scale", 30.0)};
    setup.profile = true;
    const FitResult result = RunFit(setup);
    ASSERT_EQ(result.outcome, FitOutcome::Fitted);
    const ParameterEstimate& e = result.estimates[0];
    for (const auto& [profile, covariance] : {std::pair{e.profile68, e.ci68}, std::pair{e.profile95, e.ci95}}) {
        EXPECT_NEAR(profile.low, covariance.low, 1e-3 * e.stdError);
        EXPECT_NEAR(profile.high, covariance.high, 1e-3 * e.stdError);
    }
}

TEST(FitNotes, ErrorsTooSmallForTheScatterAreSaid)
{
    std::mt19937 random(4);
    FitSetup setup;
    setup.sets = {
        SampledSet("osl_fraction", Spaced(0.1, 0.1, 15), InputsWith({{"extinction", 3.0}}), 2000, 0.03, 5, random)};
    for (double& sigma : setup.sets[0].sigma)
        sigma /= 10.0;
    setup.parameters = {Free("extinction", 5.0), Free("scale", 1000.0)};
    const FitResult result = RunFit(setup);
    ASSERT_EQ(result.outcome, FitOutcome::Fitted);
    ASSERT_EQ(result.notes.size(), 1u);
    EXPECT_NE(result.notes[0].find("improbably large (p < 0.001)"), std::string::npos) << result.notes[0];
}

TEST(FitRefusals, NoConfidentNumberWhereTheDataCannotGiveOne)
{
    std::mt19937 random(3);
    const Inputs truth = InputsWith({{"extinction", 3.0}});
    const DataSet profile = SampledSet("osl_fraction", Spaced(0.1, 0.1, 15), truth, 2000, 0.03, 5, random);
    struct Case {
        const char* what;
        std::vector<FitParameter> parameters;
        std::size_t points;
        std::vector<const char*> named;
    };
    const std::vector<Case> cases = {
        {"rate and evaluation time enter as a product",
         {Free("rate1", 0.03), Free("eval-time", 50.0), Free("scale", 1000.0)},
         15,
         {"rate1", "eval-time"}},
        {"an input the model does not use", {Free("rate2", 0.01), Free("scale", 1000.0)}, 15, {"rate2"}},
        {"an estimate on its bound",
         {Free("extinction", 1.0, -1, 0.0, 2.0), Free("scale", 1000.0)},
         15,
         {"extinction", "upper bound"}},
        {"fewer points than parameters", {Free("extinction", 5.0), Free("scale", 1000.0)}, 1, {"1 data points"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FitSetup setup;
        setup.sets = {profile};
        setup.sets[0].points.keys.resize(c.points);
        setup.sets[0].observed.resize(c.points);
        setup.sets[0].sigma.resize(c.points);
        setup.parameters = c.parameters;
        const FitResult result = RunFit(setup);
        EXPECT_EQ(result.outcome, FitOutcome::Refused);
        EXPECT_TRUE(result.estimates.empty());
        ASSERT_FALSE(result.refusals.empty());
        for (const char* name : c.named)
            EXPECT_NE(result.refusals.front().find(name), std::string::npos) << result.refusals.front();
    }
}

TEST(FitObservable, PointwiseColumnsAtSampleDepthsAreTheProfilesValues)
{
    for (const bool correction : {false, true}) {
        Inputs inputs = InputsWith({{"extinction", 7.5}, {"dose-rate", 0.4}, {"eval-time", 30.0}});
        inputs.controls.transparencyCorrection = correction;
        ModelParameters params;
        DisplayFlags flags;
        ReadParameters(inputs.controls, params, flags);
        ApplyOverrides(inputs.overrides, params);
        DepthProfile profile;
        ComputeDepthProfile(params, profile);
        int pointwise = 0;
        for (const ProfileArrayRow& column : kProfileArrays) {
            if (!IsPointwise(column))
                continue;
            ++pointwise;
            for (const int i : {0, 1, 57, 181, 399}) {
                const float z = GridPoint(i, DepthStep(params));
                EXPECT_EQ(std::bit_cast<std::uint32_t>(PointwiseValue(column, params, z)),
                          std::bit_cast<std::uint32_t>((profile.*column.values)[std::size_t(i)]))
                    << column.column << " at sample " << i;
            }
        }
        EXPECT_EQ(pointwise, 8);
    }
}

TEST(FitCurve, BandOfALinearParameterIsItsIntervalTimesTheModel)
{
    // Only the scale free: the curve is linear in it, so the band's half width
    // is 1.96 standard errors of the scale times the model's value.
    std::mt19937 random(11);
    FitSetup setup;
    setup.base = InputsWith({{"extinction", 3.0}});
    setup.sets = {SampledSet("intensity", Spaced(0.1, 0.1, 12), setup.base, 40.0, 0.02, 0.5, random)};
    setup.parameters = {Free("scale", 30.0)};
    const FitResult result = RunFit(setup);
    ASSERT_EQ(result.outcome, FitOutcome::Fitted);
    const std::vector<double> x = *CurveAbscissae(setup.sets[0], setup.base, false, 25);
    EXPECT_EQ(x.front(), 0.0);
    EXPECT_DOUBLE_EQ(x.back(), 1.2);
    FitCurveSamples curve;
    ASSERT_TRUE(FitCurve(setup, result, 0, x, curve));
    const ParameterEstimate& scale = result.estimates[0];
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double model = curve.y[i] / scale.estimate;
        EXPECT_NEAR(curve.high[i] - curve.y[i], 1.959963984540054 * scale.stdError * model, 1e-6 * curve.y[i]);
        EXPECT_NEAR(curve.y[i] - curve.low[i], curve.high[i] - curve.y[i], 1e-12 * curve.y[i]);
    }
    // The figure's points are the data, its residuals those of the fit.
    const auto figure = FitFigure(setup, result, false);
    ASSERT_TRUE(std::holds_alternative<FitFigureData>(figure));
    const FitFigureSet& shown = std::get<FitFigureData>(figure).sets.front();
    EXPECT_EQ(shown.y, setup.sets[0].observed);
    for (std::size_t i = 0; i < shown.x.size(); ++i)
        EXPECT_NEAR(shown.residual[i], (shown.y[i] - result.fitted[0][i]) / shown.sigma[i], 1e-12);
}

} // namespace
} // namespace tamrisk
