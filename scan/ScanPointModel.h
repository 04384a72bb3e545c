#pragma once

#include "model/ModelParameters.h"

#include <vector>

namespace tamrisk {

// The two effective totals of one model run.
struct ScanTotals {
    float effLabTotal = 0.0f;
    float effNatTotal = 0.0f;
};

// The totals of ComputeDepthProfile for one grid point, bit for bit, with
// the work that a scan repeats hoisted out: what depends only on depth is
// computed once, what depends only on the extinction once per extinction,
// leaving one exponential per depth sample for each evaluation time.
class ScanPointModel {
public:
    // Every parameter except extinction and evalTime is taken from params.
    explicit ScanPointModel(const ModelParameters& params);

    void SetExtinction(float extinction);
    ScanTotals Totals(float evalTime) const;

private:
    float rate_;
    float exponent_;
    bool transparencyCorrection_;
    // Per depth sample, independent of the grid point.
    std::vector<float> z_;
    std::vector<float> labDose_;
    std::vector<float> natDoseRate_;
    // Per depth sample, for the current extinction.
    std::vector<double> attenuation_;  // exp(-mu z), unrounded
    std::vector<double> weight_;       // intensity^p
    std::vector<double> weightedLab_;  // intensity^p * labDose
    std::vector<double> weightedNat_;  // intensity^p * natDoseRate
    // Samples whose effective values can be nonzero: where both weighted
    // doses are 0 (the intensity underflowed), a finite OSL fraction adds
    // only zeros to the sums, which leaves them unchanged.
    std::vector<std::size_t> live_;
};

} // namespace tamrisk
