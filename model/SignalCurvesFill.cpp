// SPDX-License-Identifier: GPL-3.0-or-later
#include "lanes/CurveTables.h"
#include "lanes/LaneKernel.h"
#include "lanes/ModelExp.h"
#include "model/ModelFill.h"
#include "model/ModelFormulas.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace tamrisk::detail {

namespace {

void FillSignalAtDepth(const ModelParameters& params, std::vector<float>& curve)
{
    const float timeStep = TimeStep(params);
    // Same operations, in the same order, as DecayFromAttenuation.
    const double attenuation = Attenuation(params.signalDepth, params.extinction);
    const double exponent = double(-params.rate1) * attenuation;
    const double amplitude = attenuation * double(params.rate1);
    std::vector<double> decay(curve.size());
    for (std::size_t k = 0; k < curve.size(); ++k)
        decay[k] = exponent * double(GridPoint(static_cast<int>(k), timeStep));
    ModelExpBatch(decay.data(), decay.data(), decay.size());
    for (std::size_t k = 0; k < curve.size(); ++k)
        curve[k] = static_cast<float>(amplitude * decay[k]);
}

// The three summed curves, lanes across time samples (see lanes/CurveKernel.h):
// what depends on the depth only is computed once per sampled depth.
void FillSummedCurves(const ModelParameters& params, const DepthProfile& profile, SignalCurves& curves)
{
    std::vector<float>& hom = curves.totalSignalHomogeneous;
    std::vector<float>& lab = curves.totalSignalLab;
    std::vector<float>& nat = curves.totalSignalNat;
    std::fill(hom.begin(), hom.end(), 0.0f);
    std::fill(lab.begin(), lab.end(), 0.0f);
    std::fill(nat.begin(), nat.end(), 0.0f);

    const int step = params.curveStep;
    // A step of 0 samples no depth at all; n < 1 likewise leaves the sums 0.
    if (step == 0 || params.depthPoints <= 0 || params.depthPoints / step <= 0) {
        return;
    }
    const auto depthCount = static_cast<std::size_t>(params.depthPoints / step);
    const float depthStep = DepthStep(params);
    const float timeStep = TimeStep(params);

    std::vector<double> columns(5 * depthCount);
    double* amplitude = columns.data();
    double* exponent = amplitude + depthCount;
    double* weight = exponent + depthCount;
    double* labDose = weight + depthCount;
    double* natDoseRate = labDose + depthCount;
    for (std::size_t j = 0; j < depthCount; ++j) {
        const auto m = static_cast<std::size_t>(int(j) * step);
        // Same operations, in the same order, as DecaySignal at z_m.
        const double attenuation = Attenuation(GridPoint(static_cast<int>(m), depthStep), params.extinction);
        amplitude[j] = attenuation * double(params.rate1);
        exponent[j] = double(-params.rate1) * attenuation;
        weight[j] = IntensityWeight(profile.intensity[m], params.transparencyExponent);
        labDose[j] = profile.labDose[m];
        natDoseRate[j] = profile.natDoseRate[m];
    }
    const CurveTables tables{depthCount, params.transparencyCorrection, amplitude, exponent, weight, labDose,
                             natDoseRate};

    const LaneKernel kernel = BestLaneKernel();
    const std::size_t lanes = LaneCount(kernel);
    for (std::size_t first = 0; first < hom.size(); first += lanes) {
        // A short last group repeats its last time in the spare lanes.
        double times[kMaxLaneCount];
        for (std::size_t l = 0; l < lanes; ++l)
            times[l] = GridPoint(static_cast<int>(std::min(first + l, hom.size() - 1)), timeStep);
        float sumHom[kMaxLaneCount];
        float sumLab[kMaxLaneCount];
        float sumNat[kMaxLaneCount];
        SumCurveLanesWith(kernel)(tables, times, sumHom, sumLab, sumNat);
        for (std::size_t l = 0; l < lanes && first + l < hom.size(); ++l) {
            hom[first + l] = sumHom[l];
            lab[first + l] = sumLab[l];
            nat[first + l] = sumNat[l];
        }
    }
}

} // namespace

void FillSignalCurves(const ModelParameters& params, const DisplayFlags& flags, const DepthProfile& profile,
                      SignalCurves& curves)
{
    curves.signalAtDepthComputed = flags.signalAtDepthShown();
    if (flags.signalAtDepthShown()) {
        FillSignalAtDepth(params, curves.signalAtDepth);
    } else {
        std::fill(curves.signalAtDepth.begin(), curves.signalAtDepth.end(), 0.0f);
    }

    curves.summedComputed = flags.anySummedSignal();
    if (curves.summedComputed) {
        FillSummedCurves(params, profile, curves);
    } else {
        for (std::vector<float>* a : {&curves.totalSignalLab, &curves.totalSignalNat, &curves.totalSignalHomogeneous}) {
            std::fill(a->begin(), a->end(), 0.0f);
        }
    }
}

} // namespace tamrisk::detail
