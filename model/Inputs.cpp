// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/Inputs.h"

namespace tamrisk {

void ApplyOverrides(const ParameterOverrides& overrides, ModelParameters& params)
{
    if (overrides.extinction) {
        params.extinction = float(*overrides.extinction);
        DeriveFromExtinction(params);
    }
    if (overrides.evalTime)
        params.evalTime = float(*overrides.evalTime);
    if (overrides.doseRate)
        params.externalDoseRate = float(*overrides.doseRate);
    if (overrides.depth)
        params.signalDepth = float(*overrides.depth);
}

} // namespace tamrisk
