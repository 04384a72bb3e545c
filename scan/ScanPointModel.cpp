// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/ScanPointModel.h"

#include "lanes/ScanPassTables.h"
#include "model/DepthProfile.h"
#include "model/ModelFormulas.h"

#include <algorithm>
#include <cmath>
#include <limits>

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
    for (std::vector<double>* a : {&attenuation_, &weight_, &weightedLab_, &weightedNat_, &prefixMinAttenuation_})
        a->resize(count);
    for (std::vector<double>* a : {&tailAttenuation_, &tailLab_, &tailNat_})
        a->resize((count + detail::kSettleBlock - 1) / detail::kSettleBlock);
    fullLab_.resize(count + 1);
    fullNat_.resize(count + 1);
    SetExtinction(params.extinction);
}

void ScanPointModel::SetExtinction(float extinction)
{
    // Plain pointers and one simple loop per table, so that the compiler
    // keeps the arrays' addresses in registers.
    const std::size_t count = z_.size();
    const float* const z = z_.data();
    double* const attenuation = attenuation_.data();
    double* const weight = weight_.data();
    double* const weightedLab = weightedLab_.data();
    double* const weightedNat = weightedNat_.data();

    // As detail::Attenuation, as one batch.
    const double negExtinction = double(-extinction);
    for (std::size_t i = 0; i < count; ++i)
        attenuation[i] = negExtinction * double(z[i]);
    detail::ModelExpBatch(attenuation, attenuation, count);
    if (exponent_ == 1.0f) {
        for (std::size_t i = 0; i < count; ++i)
            weight[i] = double(float(attenuation[i]));
    } else {
        for (std::size_t i = 0; i < count; ++i)
            weight[i] = detail::IntensityWeight(float(attenuation[i]), exponent_);
    }
    const float* const labDose = labDose_.data();
    const float* const natDoseRate = natDoseRate_.data();
    for (std::size_t i = 0; i < count; ++i) {
        weightedLab[i] = weight[i] * double(labDose[i]);
        weightedNat[i] = weight[i] * double(natDoseRate[i]);
    }

    // Running minimum, NaN from the first NaN on.
    double* const prefixMin = prefixMinAttenuation_.data();
    const std::size_t firstNan = std::size_t(
        std::find_if(attenuation, attenuation + count, [](double a) { return std::isnan(a); }) - attenuation);
    double least = std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < firstNan; ++i) {
        least = std::min(least, attenuation[i]);
        prefixMin[i] = least;
    }
    std::fill(prefixMin + firstNan, prefixMin + count, std::numeric_limits<double>::quiet_NaN());

    // The terms of samples whose OSL fraction is 1, as the lanes compute them
    // (with the correction, the fraction is float(weight * 1)); a float sum of
    // two floats is their double sum rounded to float.
    float* const fullLab = fullLab_.data();
    float* const fullNat = fullNat_.data();
    float sumLab = 0.0f;
    float sumNat = 0.0f;
    for (std::size_t i = 0; i < count; ++i) {
        const double osl = transparencyCorrection_ ? double(float(weight[i])) : 1.0;
        fullLab[i] = sumLab;
        fullNat[i] = sumNat;
        sumLab += float(weightedLab[i] * osl);
        sumNat += float(weightedNat[i] * osl);
    }
    fullLab[count] = sumLab;
    fullNat[count] = sumNat;

    // The bounds of each block of samples, then over all later blocks. A NaN
    // anywhere in a block makes its bounds infinite.
    for (std::size_t b = 0; b < tailAttenuation_.size(); ++b) {
        double reach = 0.0;
        double lab = 0.0;
        double nat = 0.0;
        bool nan = false;
        const std::size_t end = std::min(count, (b + 1) * detail::kSettleBlock);
        for (std::size_t i = b * detail::kSettleBlock; i < end; ++i) {
            const double factor = transparencyCorrection_ ? std::fabs(weight[i]) : 1.0;
            const double a = std::fabs(attenuation[i]);
            const double l = std::fabs(weightedLab[i]) * factor;
            const double n = std::fabs(weightedNat[i]) * factor;
            reach = a > reach ? a : reach;
            lab = l > lab ? l : lab;
            nat = n > nat ? n : nat;
            nan = nan | std::isnan(a) | std::isnan(l) | std::isnan(n);
        }
        const double infinity = std::numeric_limits<double>::infinity();
        tailAttenuation_[b] = nan ? infinity : reach;
        tailLab_[b] = nan ? infinity : lab;
        tailNat_[b] = nan ? infinity : nat;
    }
    for (std::size_t b = tailAttenuation_.size(); b-- > 1;) {
        tailAttenuation_[b - 1] = std::max(tailAttenuation_[b - 1], tailAttenuation_[b]);
        tailLab_[b - 1] = std::max(tailLab_[b - 1], tailLab_[b]);
        tailNat_[b - 1] = std::max(tailNat_[b - 1], tailNat_[b]);
    }
}

detail::ScanPassTables ScanPointModel::Tables() const
{
    detail::ScanPassTables tables;
    tables.count = z_.size();
    tables.transparencyCorrection = transparencyCorrection_;
    tables.attenuation = attenuation_.data();
    tables.weight = weight_.data();
    tables.weightedLab = weightedLab_.data();
    tables.weightedNat = weightedNat_.data();
    tables.fullLab = fullLab_.data();
    tables.fullNat = fullNat_.data();
    tables.tailAttenuation = tailAttenuation_.data();
    tables.tailLab = tailLab_.data();
    tables.tailNat = tailNat_.data();
    return tables;
}

std::size_t ScanPointModel::FullSamples(double factor) const
{
    // prefixMinAttenuation_ falls (NaN last), so the samples that pass form a prefix.
    const auto end = std::partition_point(prefixMinAttenuation_.begin(), prefixMinAttenuation_.end(),
                                          [&](double a) { return factor * a <= detail::kAlwaysFull; });
    return std::size_t(end - prefixMinAttenuation_.begin());
}

ScanTotals ScanPointModel::Totals(float evalTime) const
{
    ScanTotals totals;
    Totals(&evalTime, &totals, 1, detail::LaneKernel::Scalar);
    return totals;
}

void ScanPointModel::Totals(const float* evalTimes, ScanTotals* totals, std::size_t count,
                            detail::LaneKernel kernel) const
{
    Totals(evalTimes, totals, count, detail::SumLanesWith(kernel), detail::LaneCount(kernel));
}

void ScanPointModel::Totals(const float* evalTimes, ScanTotals* totals, std::size_t count,
                            detail::SumLanesFunction sumLanes, std::size_t lanes) const
{
    const detail::ScanPassTables tables = Tables();
    for (std::size_t first = 0; first < count; first += lanes) {
        // A short last group repeats its last time in the spare lanes.
        double factors[detail::kMaxLaneCount];
        // Attenuations are not negative (or NaN), so the full samples are
        // fewest for the largest factor; a NaN factor has none.
        double largest = -std::numeric_limits<double>::infinity();
        bool anyNan = false;
        for (std::size_t l = 0; l < lanes; ++l) {
            const float evalTime = evalTimes[std::min(first + l, count - 1)];
            factors[l] = double(-rate_) * double(evalTime);
            anyNan = anyNan || std::isnan(factors[l]);
            largest = std::max(largest, factors[l]);
        }
        const std::size_t start = anyNan ? 0 : FullSamples(largest);
        float lab[detail::kMaxLaneCount];
        float nat[detail::kMaxLaneCount];
        const std::size_t end = sumLanes(tables, factors, start, lab, nat);
        evaluatedSamples_ += (end - start) * lanes;
        for (std::size_t l = 0; l < lanes && first + l < count; ++l)
            totals[first + l] = {lab[l], nat[l]};
    }
}

} // namespace tamrisk
