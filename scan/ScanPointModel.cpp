#include "scan/ScanPointModel.h"

#include "model/DepthProfile.h"
#include "model/ModelFormulas.h"
#include "scan/ScanLanes.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tamrisk {

namespace {

// Larger of a bound and a magnitude; a NaN makes the bound infinite.
double RaiseBound(double bound, double value)
{
    const double magnitude = std::fabs(value);
    if (std::isnan(magnitude))
        return std::numeric_limits<double>::infinity();
    return std::max(bound, magnitude);
}

} // namespace

namespace detail {

std::size_t SumLanesScalar(const ScanPassTables& tables, const double* factors, std::size_t first, float* lab,
                           float* nat)
{
    return SumLanes<ScalarExpOps>(tables, factors, first, lab, nat);
}

} // namespace detail

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
    const std::size_t count = z_.size();
    double prefixMin = std::numeric_limits<double>::infinity();
    float fullLab = 0.0f;
    float fullNat = 0.0f;
    // As detail::Attenuation, as one batch.
    for (std::size_t i = 0; i < count; ++i)
        attenuation_[i] = double(-extinction) * double(z_[i]);
    detail::ModelExpBatch(attenuation_.data(), attenuation_.data(), count);
    for (std::size_t i = 0; i < count; ++i) {
        const float intensity = float(attenuation_[i]);
        weight_[i] = detail::IntensityWeight(intensity, exponent_);
        weightedLab_[i] = weight_[i] * double(labDose_[i]);
        weightedNat_[i] = weight_[i] * double(natDoseRate_[i]);

        prefixMin = std::isnan(attenuation_[i]) || std::isnan(prefixMin) ? std::numeric_limits<double>::quiet_NaN()
                                                                          : std::min(prefixMin, attenuation_[i]);
        prefixMinAttenuation_[i] = prefixMin;

        // The terms of a sample whose OSL fraction is 1, as the lanes compute them.
        float osl = 1.0f;
        if (transparencyCorrection_)
            osl = float(weight_[i] * double(osl));
        fullLab_[i] = fullLab;
        fullNat_[i] = fullNat;
        // A float sum of two floats is their double sum rounded once, as in AddRounded.
        fullLab += float(weightedLab_[i] * double(osl));
        fullNat += float(weightedNat_[i] * double(osl));
    }
    fullLab_[count] = fullLab;
    fullNat_[count] = fullNat;

    // The bounds of each block of samples, then over all later blocks.
    for (std::size_t b = 0; b < tailAttenuation_.size(); ++b) {
        double attenuation = 0.0;
        double lab = 0.0;
        double nat = 0.0;
        for (std::size_t i = b * detail::kSettleBlock; i < std::min(count, (b + 1) * detail::kSettleBlock); ++i) {
            const double weight = transparencyCorrection_ ? std::fabs(weight_[i]) : 1.0;
            attenuation = RaiseBound(attenuation, attenuation_[i]);
            lab = RaiseBound(lab, std::fabs(weightedLab_[i]) * weight);
            nat = RaiseBound(nat, std::fabs(weightedNat_[i]) * weight);
        }
        tailAttenuation_[b] = attenuation;
        tailLab_[b] = lab;
        tailNat_[b] = nat;
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
    const detail::ScanPassTables tables = Tables();
    const std::size_t lanes = kernel == detail::LaneKernel::Avx2 ? 8 : 1;
    for (std::size_t first = 0; first < count; first += lanes) {
        // A short last group repeats its last time in the spare lanes.
        double factors[8];
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
        float lab[8];
        float nat[8];
        const std::size_t end = kernel == detail::LaneKernel::Avx2
                                    ? detail::SumLanesAvx2(tables, factors, start, lab, nat)
                                    : detail::SumLanesScalar(tables, factors, start, lab, nat);
        evaluatedSamples_ += (end - start) * lanes;
        for (std::size_t l = 0; l < lanes && first + l < count; ++l)
            totals[first + l] = {lab[l], nat[l]};
    }
}

} // namespace tamrisk
