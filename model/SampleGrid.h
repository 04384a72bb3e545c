// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/ModelParameters.h"

namespace tamrisk {

// The evenly spaced sample grids of the model: depth sample i lies at
// i * DepthStep, time sample k at k * TimeStep. The step is rounded to
// single precision once; each position in double, rounded where it is stored.

inline float GridStep(float from, float to, int points)
{
    return static_cast<float>((double(to) - double(from)) / double(points));
}

// Position i of a grid, unrounded (the profile export writes it so).
inline double GridPosition(int i, float step) { return double(i) * double(step); }

// Position i of a grid as the model stores it.
inline float GridPoint(int i, float step) { return static_cast<float>(GridPosition(i, step)); }

inline float DepthStep(const ModelParameters& params)
{
    return GridStep(params.top, params.bottom, params.depthPoints);
}

inline float TimeStep(const ModelParameters& params)
{
    return GridStep(params.timeMin, params.timeMax, params.timePoints);
}

} // namespace tamrisk
