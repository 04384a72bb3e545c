#pragma once

#include "model/ReadParameters.h"
#include "scan/ScanGrid.h"

#include <optional>
#include <string>

namespace tamrisk::cli {

// Parameters set directly, after ReadParameters and before the model run.
struct ParameterOverrides {
    std::optional<double> extinction;
    std::optional<double> evalTime;
    std::optional<double> doseRate;
    std::optional<double> depth;
};

// Everything one call of the tool asks for.
struct CliRequest {
    ControlState controls;          // the window's start state unless options say otherwise
    ParameterOverrides overrides;
    ScanGridTexts grid;             // the grid dialog's defaults unless options say otherwise
    std::string output;             // export and scan; "-" is standard output
    std::string depthPicture;       // render
    std::string signalPicture;      // render
    int threads = 1;                // scan
};

} // namespace tamrisk::cli
