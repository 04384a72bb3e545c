#pragma once

#include "cli/CliRequest.h"

#include <CLI/CLI.hpp>

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace tamrisk::cli {

// The options of the sweep command besides the inputs.
struct SweepOptions {
    std::vector<std::string> vary;
    std::vector<std::string> columns;
    std::string format = "csv";
    std::string output = "-";
    std::string shard;  // "K/N", or "" for the whole table
    bool count = false;
    int threads = 0;    // 0: the request's
};

// How a long sweep is stopped and followed: polled between blocks of rows,
// and told the rows done after each.
struct SweepControl {
    std::function<bool()> cancelled;
    std::function<void(std::int64_t done, std::int64_t total)> progress;
};

void AddSweepOptions(CLI::App& command, SweepOptions& options);

// Writes the sweep's table (or, with --count, its size); returns the exit code.
int RunSweep(const CliRequest& request, const SweepOptions& options, std::ostream& out, std::ostream& err,
             const SweepControl& control = {});

} // namespace tamrisk::cli
