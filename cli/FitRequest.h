// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fit/FitProblem.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace tamrisk::cli {

// The options that say what to fit, shared by `fit` and `plot fit`.
struct FitOptions {
    std::vector<std::string> data;
    std::string observe;
    std::string sigma;
    std::vector<std::string> free;
    std::vector<std::string> freeEach;
};

// Registers --data, --observe, --sigma, --free and --free-each; `required`
// makes --data and --observe required.
void AddFitOptions(CLI::App& command, FitOptions& options, bool required);

// Reads the data files and the free parameters into setup.sets and
// setup.parameters (setup.base set by the caller), refusing everything that
// is wrong before any fitting: the exit code after a message on err
// (2 for bad data or names, 1 for a file that cannot be read), or 0.
int PrepareFit(const FitOptions& options, const char* command, FitSetup& setup, std::ostream& err);

// Says why a fit gave no confident number; the exit code 1.
int ReportRefusal(const FitResult& result, const char* command, std::ostream& err);

} // namespace tamrisk::cli
