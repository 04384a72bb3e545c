// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Inputs.h"
#include "output/CleanTable.h"

#include <string>
#include <vector>

namespace tamrisk::cli {

// Everything one call of the tool asks for.
struct CliRequest {
    std::string command;
    std::vector<std::string> arguments; // the command line after the program name
    Inputs inputs;                      // the window's start state unless options say otherwise
    TableFormat format = TableFormat::Native;
    std::string output = "-";  // "-" is standard output
    std::string record;        // the parameter record's file, or ""
    std::string depthPicture;  // render
    std::string signalPicture; // render
    int threads = 1;           // scan
    bool quiet = false;        // scan: no progress line
};

} // namespace tamrisk::cli
