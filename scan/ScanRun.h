// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/ControlIds.h"
#include "model/DepthProfile.h"
#include "model/ModelParameters.h"
#include "model/SignalCurves.h"
#include "output/ByteSink.h"
#include "output/CleanTable.h"
#include "scan/ScanGrid.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tamrisk {

// Progress lines of the scan: the current extinction, the current evaluation
// time, the count and percentage.
using ScanProgress = std::function<void(ProgressLine line, const std::string& text)>;

// How the result file is laid out: the window's file, or a clean table. A
// JSON document has its rows, one array per grid point, between jsonHead
// and jsonTail.
struct ScanLayout {
    TableFormat format = TableFormat::Native;
    std::string jsonHead;
    std::string jsonTail;
};

// The names of the seven columns of a clean scan table.
std::vector<std::string> ScanColumnNames();

// Asked before each grid point with the number of points written so far;
// false stops the scan there.
using ScanPoll = std::function<bool(std::uint64_t pointsDone)>;

// Evaluates the model at every grid point and writes the scan result file.
// params are those of the last ReadParameters; afterwards params, profile and
// curves hold the last grid point written, as if the points had been run in
// order. threads > 1 evaluates grid points in parallel; the file is the same.
// False when poll stopped the scan. Throws FileError when the sink fails.
// The grid must have passed CheckScanGrid.
bool ScanToFile(const ScanGrid& grid, ModelParameters& params, const DisplayFlags& flags, DepthProfile& profile,
                SignalCurves& curves, ByteSink& sink, const ScanProgress& progress = {}, int threads = 1,
                const ScanPoll& poll = {}, const ScanLayout& layout = {});

} // namespace tamrisk
