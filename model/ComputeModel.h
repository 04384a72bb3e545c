// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/DepthProfile.h"
#include "model/ModelParameters.h"
#include "model/SignalCurves.h"

namespace tamrisk {

// Rebuilds the depth profile and then the signal curves from the parameters
// as they stand. Either both are replaced completely or, if memory runs out
// (std::bad_alloc), both keep the previous run's result.
void ComputeModel(const ModelParameters& params, const DisplayFlags& flags, DepthProfile& profile,
                  SignalCurves& curves);

// Only the depth part (profile and totals), for callers that need no curves.
void ComputeDepthProfile(const ModelParameters& params, DepthProfile& profile);

} // namespace tamrisk
