// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

namespace tamrisk {

// OSL decay curves over stimulation time, timePoints values each, sample k
// at t_k = k * timeStep. A curve whose flag was off in the last run holds
// zeros, and its *Computed marker says so.
struct SignalCurves {
    std::vector<float> totalSignalLab;
    std::vector<float> totalSignalNat;
    std::vector<float> totalSignalHomogeneous;
    std::vector<float> signalAtDepth;
    bool summedComputed = false;        // the three total* curves hold values of the last run
    bool signalAtDepthComputed = false; // signalAtDepth holds values of the last run
};

// I * rate * exp(-rate * I * t) with I = exp(-extinction * z).
float DecaySignal(float t, float extinction, float z, float rate);

} // namespace tamrisk
