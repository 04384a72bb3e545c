// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/DepthProfile.h"
#include "model/ModelFormulas.h"
#include "model/SignalCurves.h"

#include <cmath>

namespace tamrisk {

float IntensityAt(float z, float extinction) { return static_cast<float>(detail::Attenuation(z, extinction)); }

float OslFraction(float z, float evalTime, float extinction, float rate)
{
    return detail::OslFractionFromAttenuation(detail::Attenuation(z, extinction), evalTime, rate);
}

float NatDoseRateAt(float z, float betaAttenuation, float externalDoseRate)
{
    const double decay = detail::ModelExp(double(-betaAttenuation) * double(z));
    return static_cast<float>(1.0 - decay * (1.0 - double(externalDoseRate)) * 0.5);
}

float LabDoseFit(float z)
{
    const double x = z;
    if (!(x >= 0.0)) { // negative or NaN
        return 0.0f;
    }
    if (x >= 1.68) {
        return 0.0f;
    }
    if (x < 0.91) {
        // z^2: x holds a float (24 significant bits), so x * x is exact in
        // double and equals pow(x, 2) of any library within an ulp, on every
        // processor.
        const double x2 = x * x;
        return static_cast<float>((1.0008 + 23.3236 * x - 15.4861 * x2) / (1.0 + 15.7639 * x - 1.88 * x2));
    }
    return static_cast<float>(1.484 - 0.883 * x);
}

float DecaySignal(float t, float extinction, float z, float rate)
{
    return detail::DecayFromAttenuation(detail::Attenuation(z, extinction), t, rate);
}

} // namespace tamrisk
