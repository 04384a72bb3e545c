#pragma once

#include "cli/CliRequest.h"

#include <CLI/CLI.hpp>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tamrisk::cli {

// The whole text is one number ("1e3", "-0.5", "inf"); nothing else.
std::optional<double> ParseStrictNumber(std::string_view text);

// Raw option texts that become values only after parsing.
struct RawOptions {
    std::vector<std::string> show;
    std::string extinction, evalTime, doseRate, depth;
    std::string extinctionLog = "1", evalTimeLog = "1";
    bool noAutoProfile = false;
    bool noAutoSignal = false;
};

// The window's inputs: edit texts, slider positions, check boxes, overrides.
// depthOverride names the option that sets the signal depth directly.
void AddInputOptions(CLI::App& command, CliRequest& request, RawOptions& raw,
                     const char* depthOverride = "--depth");
// The grid dialog's eight values and the number of threads.
void AddGridOptions(CLI::App& command, CliRequest& request, RawOptions& raw);
// Moves the validated raw texts into the request.
void ApplyRawOptions(const RawOptions& raw, CliRequest& request);

} // namespace tamrisk::cli
