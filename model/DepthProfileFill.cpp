// SPDX-License-Identifier: GPL-3.0-or-later
#include "lanes/ColumnLoops.h"
#include "model/ModelFill.h"
#include "model/ModelFormulas.h"
#include "model/ProfileArrays.h"

#include <cstddef>
#include <vector>

namespace tamrisk::detail {

namespace {

// Exponential pass: intensity, OSL fraction and natural rate per sample,
// each formula's exponentials as one batch (the vector form of ModelExp
// where the processor has one; the bits are those of the scalar form).
// Kept apart from the running sums so that the exponentials do not stall
// the division and summation chain of the second pass.
void FillExponentialColumns(const ModelParameters& params, float depthStep, DepthProfile& profile)
{
    const std::size_t points = profile.intensity.size();
    std::vector<double> scratch(3 * points);
    double* attenuation = scratch.data();
    double* osl = attenuation + points;
    double* nat = osl + points;
    for (std::size_t i = 0; i < points; ++i) {
        const float z = GridPoint(static_cast<int>(i), depthStep);
        attenuation[i] = double(-params.extinction) * double(z); // as Attenuation
        nat[i] = double(-params.betaAttenuation) * double(z);    // as NatDoseRateAt
    }
    ModelExpBatch(attenuation, attenuation, points);
    ModelExpBatch(nat, nat, points);
    for (std::size_t i = 0; i < points; ++i)
        osl[i] = double(-params.rate1) * double(params.evalTime) * attenuation[i]; // as OslFractionFromAttenuation
    ModelExpBatch(osl, osl, points);
    const double external = 1.0 - double(params.externalDoseRate);
    for (std::size_t i = 0; i < points; ++i) {
        profile.intensity[i] = static_cast<float>(attenuation[i]);
        profile.oslContribution[i] = static_cast<float>(1.0 - osl[i]);
        profile.natDoseRate[i] = static_cast<float>(1.0 - nat[i] * external * 0.5);
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

        // Running single-precision sums: a float sum of two floats equals
        // their double sum rounded to float (53 >= 2 * 24 + 2 bits).
        sumLab += lab;
        sumNat += nat;
        const float intLab = static_cast<float>(double(sumLab) * scale);
        const float intNat = static_cast<float>(double(sumNat) * scale);

        const float effLab = static_cast<float>(weight * double(lab) * double(osl));
        const float effNat = static_cast<float>(weight * double(nat) * double(osl));
        sumEffLab += effLab;
        sumEffNat += effNat;
        const float effIntLab = static_cast<float>(double(sumEffLab) * scale);
        const float effIntNat = static_cast<float>(double(sumEffNat) * scale);

        profile.oslContribution[i] = osl;
        profile.labDose[i] = lab;
        profile.intLabDose[i] = intLab;
        profile.intNatDoseRate[i] = intNat;
        profile.effLabDose[i] = effLab;
        profile.effNatDoseRate[i] = effNat;
        profile.effIntLabDose[i] = effIntLab;
        profile.effIntNatDoseRate[i] = effIntNat;
    }
    // The ratios apart from the running sums: independent divisions, four at a time.
    for (const ProfileArrayRow& column : kProfileArrays)
        if (column.ratioOfLab != nullptr)
            RatioColumn((profile.*column.ratioOfLab).data(), (profile.*column.ratioOfNat).data(),
                        (profile.*column.values).data(), points);
    profile.effLabTotal = sumEffLab;
    profile.effNatTotal = sumEffNat;
}

} // namespace tamrisk::detail
