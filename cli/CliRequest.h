#pragma once

#include "model/Inputs.h"

#include <string>
#include <vector>

namespace tamrisk::cli {

// Everything one call of the tool asks for.
struct CliRequest {
    Inputs inputs;                  // the window's start state unless options say otherwise
    std::string output;             // "-" is standard output
    std::string depthPicture;       // render
    std::string signalPicture;      // render
    int threads = 1;                // scan
    bool quiet = false;             // scan: no progress line
};

} // namespace tamrisk::cli
