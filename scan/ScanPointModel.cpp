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
        a->resize(count + 1);
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
        fullLab = detail::AddRounded(fullLab, float(weightedLab_[i] * double(osl)));
        fullNat = detail::AddRounded(fullNat, float(weightedNat_[i] * double(osl)));
    }
    fullLab_[count] = fullLab;
    fullNat_[count] = fullNat;

    tailAttenuation_[count] = tailLab_[count] = tailNat_[count] = 0.0;
    for (std::size_t i = count; i-- > 0;) {
        const double weight = transparencyCorrection_ ? std::fabs(weight_[i]) : 1.0;
        tailAttenuation_[i] = RaiseBound(tailAttenuation_[i + 1], attenuation_[i]);
        tailLab_[i] = RaiseBound(tailLab_[i + 1], std::fabs(weightedLab_[i]) * weight);
        tailNat_[i] = RaiseBound(tailNat_[i + 1], std::fabs(weightedNat_[i]) * weight);
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
        std::size_t start = z_.size();
        for (std::size_t l = 0; l < lanes; ++l) {
            const float evalTime = evalTimes[std::min(first + l, count - 1)];
            factors[l] = double(-rate_) * double(evalTime);
            start = std::min(start, FullSamples(factors[l]));
        }
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
