// SPDX-License-Identifier: GPL-3.0-or-later
#include "ModelTestSupport.h"
#include "ReferenceModel.h"

#include <functional>
#include <limits>

namespace tamrisk::testing {
namespace {

struct Scenario {
    std::string name;
    std::function<void(ModelParameters&, DisplayFlags&)> change;
};

void PrintTo(const Scenario& s, std::ostream* os) { *os << s.name; }

class MatchesReference : public ::testing::TestWithParam<Scenario> {};

// The optimised run (shared exponentials, depth-outer summation) must give
// exactly the bits of the literal computation.
TEST_P(MatchesReference, BitForBit)
{
    ModelParameters params = DefaultParameters();
    DisplayFlags flags = AllSignalFlags();
    GetParam().change(params, flags);

    DepthProfile expectedProfile;
    SignalCurves expectedCurves;
    ReferenceModel(params, flags, expectedProfile, expectedCurves);

    DepthProfile profile;
    SignalCurves curves;
    ComputeModel(params, flags, profile, curves);
    ExpectSameProfile(profile, expectedProfile);
    ExpectSameCurves(curves, expectedCurves);

    DepthProfile depthOnly;
    ComputeDepthProfile(params, depthOnly);
    ExpectSameProfile(depthOnly, expectedProfile);
}

constexpr float kNan = std::numeric_limits<float>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Scenarios, MatchesReference,
    ::testing::Values(
        Scenario{"Defaults", [](ModelParameters&, DisplayFlags&) {}},
        Scenario{"NoSignalFlags", [](ModelParameters&, DisplayFlags& f) { f = DisplayFlags{}; }},
        Scenario{"OnlyLabSum",
                 [](ModelParameters&, DisplayFlags& f) {
                     f = DisplayFlags{};
                     f.showTotalSignalLab = true;
                 }},
        Scenario{"Transparency", [](ModelParameters& p, DisplayFlags&) { p.transparencyCorrection = true; }},
        Scenario{"TransparencyExponent2",
                 [](ModelParameters& p, DisplayFlags&) {
                     p.transparencyCorrection = true;
                     p.transparencyExponent = 2.0f;
                 }},
        Scenario{"ExponentWithoutCorrection", [](ModelParameters& p, DisplayFlags&) { p.transparencyExponent = 0.5f; }},
        Scenario{"CurveStep1", [](ModelParameters& p, DisplayFlags&) { p.curveStep = 1; }},
        Scenario{"CurveStep3", [](ModelParameters& p, DisplayFlags&) { p.curveStep = 3; }},
        Scenario{"CurveStep400", [](ModelParameters& p, DisplayFlags&) { p.curveStep = 400; }},
        Scenario{"CurveStep401", [](ModelParameters& p, DisplayFlags&) { p.curveStep = 401; }},
        Scenario{"CurveStep0", [](ModelParameters& p, DisplayFlags&) { p.curveStep = 0; }},
        Scenario{"CurveStepNegative", [](ModelParameters& p, DisplayFlags&) { p.curveStep = -7; }},
        Scenario{"ReversedEdges",
                 [](ModelParameters& p, DisplayFlags&) {
                     p.top = 2.0f;
                     p.bottom = 0.0f;
                 }},
        Scenario{"EqualEdges",
                 [](ModelParameters& p, DisplayFlags&) {
                     p.top = 1.0f;
                     p.bottom = 1.0f;
                 }},
        Scenario{"OddEdges",
                 [](ModelParameters& p, DisplayFlags&) {
                     p.top = 0.3f;
                     p.bottom = 2.7f;
                     p.signalDepth = 0.77f;
                     p.timeMax = 333.3f;
                 }},
        Scenario{"IntegralScale0", [](ModelParameters& p, DisplayFlags&) { p.integralScale = 0.0f; }},
        Scenario{"Rate0", [](ModelParameters& p, DisplayFlags&) { p.rate1 = 0.0f; }},
        Scenario{"RateNan", [](ModelParameters& p, DisplayFlags&) { p.rate1 = kNan; }},
        Scenario{"Opaque", [](ModelParameters& p, DisplayFlags&) { p.extinction = 1000.0f; }},
        Scenario{"Clear",
                 [](ModelParameters& p, DisplayFlags&) {
                     p.extinction = 0.010592537f;
                     p.evalTime = 100000.0f;
                     p.externalDoseRate = 2.0f;
                 }},
        Scenario{"ExternalRate1", [](ModelParameters& p, DisplayFlags&) { p.externalDoseRate = 1.0f; }},
        Scenario{"TimeMax0", [](ModelParameters& p, DisplayFlags&) { p.timeMax = 0.0f; }},
        Scenario{"NoDepthPoints", [](ModelParameters& p, DisplayFlags&) { p.depthPoints = 0; }},
        Scenario{"NegativeTimePoints", [](ModelParameters& p, DisplayFlags&) { p.timePoints = -3; }},
        Scenario{"FewPoints",
                 [](ModelParameters& p, DisplayFlags&) {
                     p.depthPoints = 7;
                     p.timePoints = 5;
                     p.curveStep = 2;
                 }}),
    [](const ::testing::TestParamInfo<Scenario>& testCase) { return testCase.param.name; });

} // namespace
} // namespace tamrisk::testing
