#include "scan/ScanPointModel.h"

#include "model/DepthProfile.h"
#include "model/ModelFormulas.h"

#include <algorithm>
#include <cmath>

namespace tamrisk {

ScanPointModel::ScanPointModel(const ModelParameters& params)
    : rate_(params.rate1),
      exponent_(params.transparencyExponent),
      transparencyCorrection_(params.transparencyCorrection)
{
    const std::size_t count = std::size_t(std::max(params.depthPoints, 0));
    const float depthStep = DepthStep(params);
    z_.resize(count);
    labDose_.resize(count);
    natDoseRate_.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        z_[i] = GridPoint(int(i), depthStep);
        labDose_[i] = LabDoseFit(z_[i]);
        natDoseRate_[i] = NatDoseRateAt(z_[i], params.betaAttenuation, params.externalDoseRate);
    }
    attenuation_.resize(count);
    weight_.resize(count);
    weightedLab_.resize(count);
    weightedNat_.resize(count);
    SetExtinction(params.extinction);
}

void ScanPointModel::SetExtinction(float extinction)
{
    live_.clear();
    for (std::size_t i = 0; i < z_.size(); ++i) {
        attenuation_[i] = detail::Attenuation(z_[i], extinction);
        const float intensity = float(attenuation_[i]);
        weight_[i] = detail::IntensityWeight(intensity, exponent_);
        weightedLab_[i] = weight_[i] * double(labDose_[i]);
        weightedNat_[i] = weight_[i] * double(natDoseRate_[i]);
        const bool addsZero = weightedLab_[i] == 0.0 && weightedNat_[i] == 0.0 && std::isfinite(attenuation_[i]);
        if (!addsZero)
            live_.push_back(i);
    }
}

ScanTotals ScanPointModel::Totals(float evalTime) const
{
    // Single-precision running sums, rounded after every addition, in depth order.
    float sumLab = 0.0f;
    float sumNat = 0.0f;
    const auto add = [&](std::size_t i) {
        float osl = detail::OslFractionFromAttenuation(attenuation_[i], evalTime, rate_);
        if (transparencyCorrection_)
            osl = float(weight_[i] * double(osl));
        const float effLab = float(weightedLab_[i] * double(osl));
        const float effNat = float(weightedNat_[i] * double(osl));
        sumLab = float(double(sumLab) + double(effLab));
        sumNat = float(double(sumNat) + double(effNat));
    };
    // With a finite exponent factor c <= 0 every skipped sample has a finite
    // OSL fraction in [0, 1]; otherwise (negative or non-finite rate or time)
    // every sample is summed.
    const double c = double(-rate_) * double(evalTime);
    if (std::isfinite(c) && c <= 0.0) {
        for (std::size_t i : live_)
            add(i);
    } else {
        for (std::size_t i = 0; i < z_.size(); ++i)
            add(i);
    }
    return {sumLab, sumNat};
}

} // namespace tamrisk
