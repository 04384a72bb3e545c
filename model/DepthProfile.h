// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

namespace tamrisk {

// Per-depth results of one model run, depthPoints values each, sample i at
// depth z_i = i * depthStep (single precision).
struct DepthProfile {
    std::vector<float> intensity;
    std::vector<float> oslContribution;
    std::vector<float> labDose;
    std::vector<float> natDoseRate;
    std::vector<float> ratio;
    std::vector<float> intLabDose;
    std::vector<float> intNatDoseRate;
    std::vector<float> intRatio;
    std::vector<float> effLabDose;
    std::vector<float> effNatDoseRate;
    std::vector<float> effRatio;
    std::vector<float> effIntLabDose;
    std::vector<float> effIntNatDoseRate;
    std::vector<float> effIntRatio;
    float effLabTotal = 0.0f;
    float effNatTotal = 0.0f;
};

// The per-depth functions; single-precision arguments and results, double
// precision inside.
float IntensityAt(float z, float extinction);
float OslFraction(float z, float evalTime, float extinction, float rate);
float LabDoseFit(float z);
float NatDoseRateAt(float z, float betaAttenuation, float externalDoseRate);

} // namespace tamrisk
