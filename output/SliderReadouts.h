// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Inputs.h"
#include "model/ModelParameters.h"

#include <string>

namespace tamrisk {

// The read-outs that the four sliders write beside themselves; the read-out
// table ties each to its label.
struct SliderReadouts {
    std::string extinction;
    std::string halfValueDepth;
    std::string transmission;
    std::string doseRate;
    std::string evalTime;
    std::string depth;
};

// The values behind those read-outs.
struct SliderValues {
    float extinction, halfValueDepth, transmission, doseRate, evalTime, depth;
};

// A slider's read-out text: general notation with 4 digits.
std::string FormatReadout(double value);

// `previous` supplies the top and bottom edges of the last ReadParameters,
// on which the depth slider's read-out is computed.
SliderReadouts ComputeSliderReadouts(const SliderPositions& sliders, const ModelParameters& previous);

// As above, but a parameter set directly is shown as it was used (taken from
// `used`, the parameters of the run), not as its slider stands.
SliderValues ComputeSliderValues(const SliderPositions& sliders, const ModelParameters& previous,
                                 const ParameterOverrides& overrides = {}, const ModelParameters& used = {});
SliderReadouts FormatSliderReadouts(const SliderValues& values);

} // namespace tamrisk
