#include "model/ModelFill.h"
#include "model/ModelFormulas.h"

#include <cstddef>

namespace tamrisk::detail {

namespace {

// Exponential pass: intensity, OSL fraction and natural rate per sample.
// Kept apart from the running sums so that the calls into exp do not stall
// the division and summation chain of the second pass.
void FillExponentialColumns(const ModelParameters& params, float depthStep, DepthProfile& profile)
{
    const std::size_t points = profile.intensity.size();
    for (std::size_t i = 0; i < points; ++i) {
        const float z = GridPoint(static_cast<int>(i), depthStep);
        const double attenuation = Attenuation(z, params.extinction);
        profile.intensity[i] = static_cast<float>(attenuation);
        profile.oslContribution[i] = OslFractionFromAttenuation(attenuation, params.evalTime, params.rate1);
        profile.natDoseRate[i] = NatDoseRateAt(z, params.betaAttenuation, params.externalDoseRate);
    }
}

} // namespace

void FillDepthProfile(const ModelParameters& params, DepthProfile& profile)
{
    const float depthStep = DepthStep(params);
    FillExponentialColumns(params, depthStep, profile);

    const float p = params.transparencyExponent;
    const double scale = params.integralScale;
    float sumLab = 0.0f;
    float sumNat = 0.0f;
    float sumEffLab = 0.0f;
    float sumEffNat = 0.0f;
    const std::size_t points = profile.intensity.size();
    for (std::size_t i = 0; i < points; ++i) {
        const float z = GridPoint(static_cast<int>(i), depthStep);
        const double weight = IntensityWeight(profile.intensity[i], p);
        float osl = profile.oslContribution[i];
        if (params.transparencyCorrection) {
            osl = static_cast<float>(weight * double(osl));
        }
        const float lab = LabDoseFit(z);
        const float nat = profile.natDoseRate[i];

        sumLab = AddRounded(sumLab, lab);
        sumNat = AddRounded(sumNat, nat);
        const float intLab = static_cast<float>(double(sumLab) * scale);
        const float intNat = static_cast<float>(double(sumNat) * scale);

        const float effLab = static_cast<float>(weight * double(lab) * double(osl));
        const float effNat = static_cast<float>(weight * double(nat) * double(osl));
        sumEffLab = AddRounded(sumEffLab, effLab);
        sumEffNat = AddRounded(sumEffNat, effNat);
        const float effIntLab = static_cast<float>(double(sumEffLab) * scale);
        const float effIntNat = static_cast<float>(double(sumEffNat) * scale);

        profile.oslContribution[i] = osl;
        profile.labDose[i] = lab;
        profile.ratio[i] = static_cast<float>(double(lab) / double(nat));
        profile.intLabDose[i] = intLab;
        profile.intNatDoseRate[i] = intNat;
        profile.intRatio[i] = static_cast<float>(double(intLab) / double(intNat));
        profile.effLabDose[i] = effLab;
        profile.effNatDoseRate[i] = effNat;
        profile.effRatio[i] = static_cast<float>(double(effLab) / double(effNat));
        profile.effIntLabDose[i] = effIntLab;
        profile.effIntNatDoseRate[i] = effIntNat;
        profile.effIntRatio[i] = static_cast<float>(double(effIntLab) / double(effIntNat));
    }
    profile.effLabTotal = sumEffLab;
    profile.effNatTotal = sumEffNat;
}

} // namespace tamrisk::detail
