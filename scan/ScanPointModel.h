// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "lanes/ModelExp.h"
#include "lanes/ScanPassTables.h"
#include "model/ModelParameters.h"

#include <cstddef>
#include <vector>

namespace tamrisk {

// The two effective totals of one model run.
struct ScanTotals {
    float effLabTotal = 0.0f;
    float effNatTotal = 0.0f;
};

// The totals of ComputeDepthProfile for grid points, bit for bit, with the
// work that a scan repeats hoisted out: what depends only on depth is
// computed once, what depends only on the extinction once per extinction,
// leaving one exponential per depth sample and evaluation time, for several
// evaluation times at once in vector lanes (see lanes/ScanKernel.h).
class ScanPointModel {
public:
    // Every parameter except extinction and evalTime is taken from params.
    explicit ScanPointModel(const ModelParameters& params);

    void SetExtinction(float extinction);
    ScanTotals Totals(float evalTime) const;
    // The totals of count evaluation times; every kernel gives the same bits.
    void Totals(const float* evalTimes, ScanTotals* totals, std::size_t count,
                detail::LaneKernel kernel = detail::BestLaneKernel()) const;
    // The same with a given kernel function of `lanes` lanes (at most
    // kMaxLaneCount), such as a test's build of a vector form.
    void Totals(const float* evalTimes, ScanTotals* totals, std::size_t count, detail::SumLanesFunction sumLanes,
                std::size_t lanes) const;

    // Depth samples evaluated so far, summed over lanes: the exponentials
    // computed (spare lanes of a short group included).
    std::size_t EvaluatedSamples() const { return evaluatedSamples_; }

private:
    detail::ScanPassTables Tables() const;
    // Index of the first sample whose OSL fraction may differ from 1.
    std::size_t FullSamples(double factor) const;

    float rate_;
    float exponent_;
    bool transparencyCorrection_;
    // Per depth sample, independent of the grid point.
    std::vector<float> z_;
    std::vector<float> labDose_;
    std::vector<float> natDoseRate_;
    // Per depth sample, for the current extinction (ScanPassTables explains them).
    std::vector<double> attenuation_;
    std::vector<double> weight_;
    std::vector<double> weightedLab_;
    std::vector<double> weightedNat_;
    std::vector<double> prefixMinAttenuation_; // NaN from the first NaN on
    std::vector<float> fullLab_;
    std::vector<float> fullNat_;
    std::vector<double> tailAttenuation_;
    std::vector<double> tailLab_;
    std::vector<double> tailNat_;
    mutable std::size_t evaluatedSamples_ = 0;
};

} // namespace tamrisk
