#pragma once

#include "model/ControlIds.h"
#include "model/DepthProfile.h"
#include "model/ModelParameters.h"
#include "model/SignalCurves.h"
#include "output/ByteSink.h"
#include "scan/ScanGrid.h"

#include <cstdint>
#include <functional>
#include <string>

namespace tamrisk {

// Progress lines of the scan: the current extinction, the current evaluation
// time, the count and percentage.
using ScanProgress = std::function<void(ProgressLine line, const std::string& text)>;

// Asked before each grid point with the number of points written so far;
// false stops the scan there.
using ScanPoll = std::function<bool(std::uint64_t pointsDone)>;

// Evaluates the model at every grid point and writes the scan result file.
// params are those of the last ReadParameters; afterwards params, profile and
// curves hold the last grid point written, as if the points had been run in
// order. threads > 1 evaluates grid points in parallel; the file is the same.
// False when poll stopped the scan. Throws FileError when the sink fails.
// The grid must have passed CheckScanGrid.
bool ScanToFile(const ScanGrid& grid, ModelParameters& params, const DisplayFlags& flags,
                DepthProfile& profile, SignalCurves& curves, ByteSink& sink,
                const ScanProgress& progress = {}, int threads = 1, const ScanPoll& poll = {});

} // namespace tamrisk
