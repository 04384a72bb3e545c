// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/ComputeModel.h"
#include "model/ReadParameters.h"
#include "output/ByteSink.h"
#include "scan/ScanRun.h"
#include "support/TestSupport.h"

#include <string>
#include <utility>
#include <vector>

namespace tamrisk::testing {

// The model state of the window after ReadParameters from the given controls.
struct ScanFixture {
    explicit ScanFixture(const ControlState& controls = {}) { ReadParameters(controls, params, flags); }
    ModelParameters params;
    DisplayFlags flags;
    DepthProfile profile;
    SignalCurves curves;
};

struct ScanResult {
    std::string file;
    std::vector<std::pair<int, std::string>> progress;
};

inline ScanResult RunScan(const ScanGrid& grid, ScanFixture& state, int threads = 1)
{
    ScanResult result;
    StringSink sink;
    ScanToFile(
        grid, state.params, state.flags, state.profile, state.curves, sink,
        [&](ProgressLine id, const std::string& text) { result.progress.emplace_back(IdNumber(id), text); }, threads);
    result.file = sink.data();
    return result;
}

inline ScanResult RunScan(const ScanGrid& grid, int threads = 1, const ControlState& controls = {})
{
    ScanFixture state(controls);
    return RunScan(grid, state, threads);
}

} // namespace tamrisk::testing
