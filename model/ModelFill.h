// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The two halves of a model run, writing into arrays already sized to
// depthPoints and timePoints.

#include "model/DepthProfile.h"
#include "model/ModelParameters.h"
#include "model/SignalCurves.h"

namespace tamrisk::detail {

void FillDepthProfile(const ModelParameters& params, DepthProfile& profile);

// Reads intensity, labDose and natDoseRate of the profile of the same run.
void FillSignalCurves(const ModelParameters& params, const DisplayFlags& flags, const DepthProfile& profile,
                      SignalCurves& curves);

} // namespace tamrisk::detail
