// SPDX-License-Identifier: GPL-3.0-or-later
// First: the emulation defines the vector types itself.
#include "support/EmulatedAvx512.h"

#include "scan/ScanPointModel.h"

#include "lanes/Forms.h"
#include "lanes/LaneKernel.h"
#include "model/ComputeModel.h"
#include "model/ReadParameters.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace tamrisk {
namespace {

struct LaneForm {
    std::string name;
    detail::SumLanesFunction sumLanes;
    std::size_t lanes;
};

// Every form this processor runs, and the AVX-512 form under emulation.
std::vector<LaneForm> LaneForms()
{
    std::vector<LaneForm> forms;
    for (const detail::LaneKernel kernel : detail::kLaneKernels) {
        if (detail::LaneKernelAvailable(kernel))
            forms.push_back({detail::FormsOf(kernel).name, detail::SumLanesWith(kernel), detail::LaneCount(kernel)});
    }
    const lanes::Forms& emulated = lanes::emulated_avx512::kForms;
    forms.push_back({emulated.name, emulated.sumScan, emulated.lanes});
    return forms;
}

// Every NaN counts as one: its sign depends on the operand order.
std::uint32_t Bits(float value) { return std::isnan(value) ? 0x7fc00000u : std::bit_cast<std::uint32_t>(value); }

class RandomModel {
public:
    explicit RandomModel(std::uint64_t seed) : random_(seed) {}

    double LogUniform(double low, double high)
    {
        return std::exp(std::uniform_real_distribution<double>(std::log(low), std::log(high))(random_));
    }
    bool OneIn(int n) { return random_() % unsigned(n) == 0; }

    ModelParameters Parameters()
    {
        ModelParameters params;
        DisplayFlags flags;
        ReadParameters({}, params, flags);
        params.rate1 = float(LogUniform(2.5e-4, 3.0));
        if (OneIn(8))
            params.rate1 = OneIn(2) ? -params.rate1 : 0.0f;
        params.transparencyCorrection = OneIn(2);
        const float exponents[] = {1.0f, 1.0f, 2.0f, 0.5f};
        params.transparencyExponent = exponents[random_() % 4];
        params.externalDoseRate = float(std::uniform_real_distribution<double>(-3.0, 3.0)(random_));
        if (OneIn(3)) {
            params.top = float(std::uniform_real_distribution<double>(-1.0, 2.0)(random_));
            params.bottom = float(std::uniform_real_distribution<double>(-1.0, 4.0)(random_));
        }
        const int points[] = {400, 400, 37, 1, 0, 1000};
        params.depthPoints = points[random_() % 6];
        return params;
    }

    float Extinction() { return float(OneIn(10) ? -LogUniform(1e-3, 10.0) : LogUniform(1e-2, 1e5)); }

    float EvalTime()
    {
        if (OneIn(20)) {
            const float special[] = {0.0f, std::numeric_limits<float>::infinity(),
                                     std::numeric_limits<float>::quiet_NaN(), -5.0f};
            return special[random_() % 4];
        }
        return float(LogUniform(1e-3, 1e6));
    }

private:
    std::mt19937_64 random_;
};

// Each kernel, with its lanes carrying different evaluation times (and the
// exact shortcuts of the lanes in play), gives the totals of the full model
// run bit for bit, on random parameter sets.
TEST(ScanLanes, EveryKernelGivesComputeModelsTotals)
{
    RandomModel random(20261207);
    const std::vector<LaneForm> forms = LaneForms();
    for (int set = 0; set < 150; ++set) {
        ModelParameters params = random.Parameters();
        ScanPointModel model(params);
        DepthProfile profile;
        for (int e = 0; e < 6; ++e) {
            params.extinction = random.Extinction();
            model.SetExtinction(params.extinction);
            std::vector<float> times(std::size_t(1 + e * 2));
            for (float& t : times)
                t = random.EvalTime();
            for (const LaneForm& form : forms) {
                std::vector<ScanTotals> totals(times.size());
                model.Totals(times.data(), totals.data(), times.size(), form.sumLanes, form.lanes);
                for (std::size_t k = 0; k < times.size(); ++k) {
                    params.evalTime = times[k];
                    ComputeDepthProfile(params, profile);
                    ASSERT_EQ(Bits(totals[k].effLabTotal), Bits(profile.effLabTotal))
                        << form.name << ", set " << set << " extinction " << params.extinction << " evalTime "
                        << times[k];
                    ASSERT_EQ(Bits(totals[k].effNatTotal), Bits(profile.effNatTotal))
                        << form.name << ", set " << set << " extinction " << params.extinction << " evalTime "
                        << times[k];
                }
            }
        }
    }
}

} // namespace
} // namespace tamrisk
