// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Formulas shared by the per-depth functions and the model loops, so that a
// loop that reuses an exponential gets the very same bits as a direct call.
// Every argument is widened to double; the callers round what they store.

#include "lanes/ModelExp.h"
#include "model/SampleGrid.h"

#include <cmath>

namespace tamrisk::detail {

// exp(-mu * z), kept in double: IntensityAt rounds it, OslFraction and
// DecaySignal use it unrounded.
inline double Attenuation(float z, float extinction) { return ModelExp(double(-extinction) * double(z)); }

inline float OslFractionFromAttenuation(double attenuation, float evalTime, float rate)
{
    return static_cast<float>(1.0 - ModelExp(double(-rate) * double(evalTime) * attenuation));
}

inline float DecayFromAttenuation(double attenuation, float t, float rate)
{
    return static_cast<float>(attenuation * double(rate) * ModelExp(double(-rate) * attenuation * double(t)));
}

// intensity^p; p is 1 in practice, and pow(x, 1) is x exactly.
inline double IntensityWeight(float intensity, float exponent)
{
    return exponent == 1.0f ? double(intensity) : std::pow(double(intensity), double(exponent));
}

} // namespace tamrisk::detail
