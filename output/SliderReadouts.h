#pragma once

#include "model/Inputs.h"
#include "model/ModelParameters.h"

#include <string>

namespace tamrisk {

// The read-outs that the four sliders write beside themselves.
struct SliderReadouts {
    std::string extinction;      // MainControl::ExtinctionReadout
    std::string halfValueDepth;  // MainControl::HalfValueDepthReadout
    std::string transmission;    // MainControl::TransmissionReadout
    std::string doseRate;        // MainControl::DoseRateReadout
    std::string evalTime;        // MainControl::EvalTimeReadout
    std::string depth;           // MainControl::DepthReadout
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
