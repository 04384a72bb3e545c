#pragma once

#include "model/ModelParameters.h"
#include "model/ReadParameters.h"

#include <string>

namespace tamrisk {

// The read-outs that the four sliders write beside themselves, with 4 digits.
struct SliderReadouts {
    std::string extinction;      // 1002
    std::string halfValueDepth;  // 1052
    std::string transmission;    // 1053
    std::string doseRate;        // 1007
    std::string evalTime;        // 1016
    std::string depth;           // 1039
};

// `previous` supplies the top and bottom edges of the last ReadParameters,
// on which the depth slider's read-out is computed.
SliderReadouts ComputeSliderReadouts(const SliderPositions& sliders, const ModelParameters& previous);

} // namespace tamrisk
