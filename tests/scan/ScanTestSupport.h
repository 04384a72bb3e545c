#pragma once

#include "model/ComputeModel.h"
#include "model/ReadParameters.h"
#include "output/ByteSink.h"
#include "scan/ScanRun.h"

#include <string>
#include <utility>
#include <vector>

namespace tamrisk::testing {

// The texts between the NUL bytes of an output file.
inline std::vector<std::string> Pieces(const std::string& file)
{
    std::vector<std::string> pieces;
    std::size_t begin = 0;
    for (std::size_t nul = file.find('\0'); nul != std::string::npos; nul = file.find('\0', begin)) {
        pieces.push_back(file.substr(begin, nul - begin));
        begin = nul + 1;
    }
    return pieces;
}

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
    ScanToFile(grid, state.params, state.flags, state.profile, state.curves, sink,
               [&](int id, const std::string& text) { result.progress.emplace_back(id, text); }, threads);
    result.file = sink.data();
    return result;
}

inline ScanResult RunScan(const ScanGrid& grid, int threads = 1, const ControlState& controls = {})
{
    ScanFixture state(controls);
    return RunScan(grid, state, threads);
}

} // namespace tamrisk::testing
