// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/ReadParameters.h"
#include "model/ScanGridTexts.h"

#include <optional>

namespace tamrisk {

// Parameters set directly, after ReadParameters and before the model run,
// instead of through their slider.
struct ParameterOverrides {
    std::optional<double> extinction;
    std::optional<double> evalTime;
    std::optional<double> doseRate;
    std::optional<double> depth;
};

// Everything a user can set: the main window's controls, the grid dialog's
// fields and the directly set parameters. Defaults are the start state.
struct Inputs {
    ControlState controls;
    ScanGridTexts grid;
    ParameterOverrides overrides;
};

// Applies the directly set parameters to params read from the controls.
void ApplyOverrides(const ParameterOverrides& overrides, ModelParameters& params);

} // namespace tamrisk
