// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <CLI/CLI.hpp>

#include <string>
#include <vector>

namespace tamrisk::cli {

// The options of the sweep command besides the inputs.
struct SweepOptions {
    std::vector<std::string> vary;
    std::vector<std::string> columns;
    std::string format = "csv";
    std::string output = "-";
    std::string shard; // "K/N", or "" for the whole table
    bool count = false;
    int threads = 0; // 0: as many as there are cores
};

void AddSweepOptions(CLI::App& command, SweepOptions& options);

} // namespace tamrisk::cli
