// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/ScanPointModel.h"

#include "model/ComputeModel.h"
#include "model/ReadParameters.h"
#include "scan/ScanGrid.h"

#include <gtest/gtest.h>

#include <ostream>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

namespace tamrisk {
namespace {

// The bits of a value; every NaN counts as one, since the sign a NaN picks up
// in a product depends on the compiler's operand order.
std::uint32_t Bits(float value) { return std::isnan(value) ? 0x7fc00000u : std::bit_cast<std::uint32_t>(value); }

struct ModelCase {
    const char* name;
    ControlState controls;
    void (*adjust)(ModelParameters&) = nullptr; // a parameter set beyond the controls' range
};

void PrintTo(const ModelCase& c, std::ostream* os) { *os << c.name; }

ControlState With(void (*change)(ControlState&))
{
    ControlState controls;
    change(controls);
    return controls;
}

class ScanPointModelCases : public ::testing::TestWithParam<ModelCase> {};

// Every slider position of extinction and evaluation time, 1 to 1000 per mm
// and 1 to 100000 s and beyond: the totals equal those of the full model run.
TEST_P(ScanPointModelCases, TotalsEqualComputeModelBitForBit)
{
    ModelParameters params;
    DisplayFlags flags;
    ReadParameters(GetParam().controls, params, flags);
    if (GetParam().adjust)
        GetParam().adjust(params);
    ScanPointModel fast(params);
    DepthProfile profile;
    const float special[] = {0.0f, -7.0f, std::numeric_limits<float>::infinity(),
                             std::numeric_limits<float>::quiet_NaN()};
    for (int e = 0; e <= 40; ++e) {
        params.extinction = float(AxisValue(0.01f, 1e5f, 40, e, true));
        DeriveFromExtinction(params);
        fast.SetExtinction(params.extinction);
        for (int t = 0; t <= 28; ++t) {
            params.evalTime = t <= 24 ? float(AxisValue(0.5f, 3e5f, 24, t, true)) : special[t - 25];
            ComputeDepthProfile(params, profile);
            const ScanTotals totals = fast.Totals(params.evalTime);
            ASSERT_EQ(Bits(totals.effLabTotal), Bits(profile.effLabTotal))
                << "extinction " << params.extinction << " evalTime " << params.evalTime;
            ASSERT_EQ(Bits(totals.effNatTotal), Bits(profile.effNatTotal))
                << "extinction " << params.extinction << " evalTime " << params.evalTime;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Parameters, ScanPointModelCases,
    ::testing::Values(ModelCase{"StartState", {}}, ModelCase{"TransparencyCorrection", With([](ControlState& c) {
                                                                 c.transparencyCorrection = true;
                                                             })},
                      ModelCase{"ExternalDoseRate", With([](ControlState& c) { c.sliders.doseRate = 137; })},
                      ModelCase{"ShiftedEdges", With([](ControlState& c) {
                                    c.edits.top = "1";
                                    c.edits.bottom = "3.3";
                                })},
                      ModelCase{"ReversedEdges", With([](ControlState& c) {
                                    c.edits.top = "2";
                                    c.edits.bottom = "0";
                                })},
                      ModelCase{"EqualEdges", With([](ControlState& c) { c.edits.bottom = "0"; })},
                      ModelCase{"FastDecay", With([](ControlState& c) {
                                    c.edits.rate1 = "2.5";
                                    c.transparencyCorrection = true;
                                })},
                      ModelCase{"NoDecay", With([](ControlState& c) { c.edits.rate1 = "0"; })},
                      ModelCase{"NegativeRate", With([](ControlState& c) { c.edits.rate1 = "-0.02"; })},
                      ModelCase{"InfiniteRate", With([](ControlState& c) { c.edits.rate1 = "inf"; })},
                      // Natural dose rate 0 at the surface, negative below: both weighted doses can be 0.
                      ModelCase{"NegativeExternalRate", {}, [](ModelParameters& p) { p.externalDoseRate = -1.0f; }},
                      ModelCase{"OtherExponent", With([](ControlState& c) { c.transparencyCorrection = true; }),
                                [](ModelParameters& p) { p.transparencyExponent = -0.5f; }}),
    [](const auto& testCase) { return testCase.param.name; });

} // namespace
} // namespace tamrisk
