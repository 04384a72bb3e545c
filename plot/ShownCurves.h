// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/CurveTable.h"
#include "model/DepthProfile.h"
#include "model/ModelParameters.h"
#include "model/SignalCurves.h"

#include <vector>

namespace tamrisk {

struct ShownCurve {
    const CurveRow* row;
    const float* values; // `points` values of the last model run
};

// The curves of one plot whose flags are set, in drawing order, each with at
// least `points` values of the last model run. A curve whose array the run
// did not fill is left out rather than read. The pictures and the figures
// both draw exactly these.
std::vector<ShownCurve> ShownCurves(PlotKind plot, const DisplayFlags& flags, const DepthProfile& profile,
                                    const SignalCurves& curves, int points);

} // namespace tamrisk
