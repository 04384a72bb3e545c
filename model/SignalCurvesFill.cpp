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
    const double attenuation = Attenuation(params.signalDepth, params.extinction);
    for (std::size_t k = 0; k < curve.size(); ++k) {
        const float t = GridPoint(static_cast<int>(k), timeStep);
        curve[k] = DecayFromAttenuation(attenuation, t, params.rate1);
    }
}

// The three summed curves. Each time sample k keeps its own single-precision
// sums over the depth samples j in ascending order. Running j outside k keeps
// that order, evaluates the depth's exponential once per depth instead of
// once per (depth, time) pair, and lets the exp calls of a block of times run
// in a loop of their own, apart from the summation.
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
    if (step == 0 || params.depthPoints <= 0) {
        return;
    }
    const int depthCount = params.depthPoints / step;
    const float depthStep = DepthStep(params);
    const float timeStep = TimeStep(params);
    const double rate = params.rate1;
    const double negRate = -params.rate1;

    // Block-local accumulators: distinct arrays that the compiler can keep
    // apart (and vectorise across k, each lane its own sequential sum).
    constexpr std::size_t kBlock = 256;
    double times[kBlock];
    double decay[kBlock];
    float sumHom[kBlock];
    float sumLab[kBlock];
    float sumNat[kBlock];
    const bool weighted = params.transparencyCorrection;
    for (std::size_t first = 0; first < hom.size(); first += kBlock) {
        const std::size_t count = std::min(kBlock, hom.size() - first);
        for (std::size_t b = 0; b < count; ++b) {
            times[b] = GridPoint(static_cast<int>(first + b), timeStep);
            sumHom[b] = sumLab[b] = sumNat[b] = 0.0f;
        }
        for (int j = 0; j < depthCount; ++j) {
            const auto m = static_cast<std::size_t>(j * step);
            // Same operations, in the same order, as DecaySignal at z_m.
            const double attenuation = Attenuation(GridPoint(static_cast<int>(m), depthStep), params.extinction);
            const double amplitude = attenuation * rate;
            const double exponent = negRate * attenuation;
            for (std::size_t b = 0; b < count; ++b) {
                decay[b] = exponent * times[b];
            }
            ModelExpBatch(decay, decay, count);
            const double weight = IntensityWeight(profile.intensity[m], params.transparencyExponent);
            const double labDose = profile.labDose[m];
            const double natDoseRate = profile.natDoseRate[m];
            for (std::size_t b = 0; b < count; ++b) {
                float a = static_cast<float>(amplitude * decay[b]);
                if (weighted) {
                    a = static_cast<float>(weight * double(a));
                }
                sumHom[b] = AddRounded(sumHom[b], a);
                sumLab[b] = AddRounded(sumLab[b], double(a) * labDose);
                sumNat[b] = AddRounded(sumNat[b], double(a) * natDoseRate);
            }
        }
        std::copy_n(sumHom, count, hom.begin() + static_cast<std::ptrdiff_t>(first));
        std::copy_n(sumLab, count, lab.begin() + static_cast<std::ptrdiff_t>(first));
        std::copy_n(sumNat, count, nat.begin() + static_cast<std::ptrdiff_t>(first));
    }
}

} // namespace

void FillSignalCurves(const ModelParameters& params, const DisplayFlags& flags, const DepthProfile& profile,
                      SignalCurves& curves)
{
    curves.signalAtDepthComputed = flags.showSignalAtDepth;
    if (flags.showSignalAtDepth) {
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
