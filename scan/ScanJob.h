// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/DepthProfile.h"
#include "model/ModelParameters.h"
#include "model/ScanGridTexts.h"
#include "model/SignalCurves.h"
#include "output/OutputFile.h"
#include "scan/ScanEstimate.h"
#include "scan/ScanRun.h"

#include <functional>
#include <memory>
#include <string>

namespace tamrisk {

enum class ScanOutcome {
    Written,     // the whole file was written and put in place
    Refused,     // the grid has no defined values; message says why
    NotOpened,   // no file: the opener gave none (it reports why itself)
    Declined,    // the caller declined the estimate; nothing was written
    Stopped,     // the caller stopped the scan or did not put the file in place; nothing was written
    WriteFailed, // writing or closing failed; message has the system's reason
};

struct ScanJobResult {
    ScanOutcome outcome;
    std::string message;
};

// What a scan asks of its caller besides the model state.
struct ScanJobHooks {
    // Opens the result file, or gives nullptr when there is none.
    std::function<std::unique_ptr<OutputFile>()> open;
    // Told the cost of the grid once the file is open; false declines the scan.
    std::function<bool(const ScanEstimate& estimate, const OutputFile& file)> confirm;
    // Called once the file is open and the scan confirmed, before the first grid point.
    std::function<void()> started;
    ScanProgress progress;
    // Asked before each grid point; false stops the scan.
    ScanPoll poll;
    // Puts the complete file in place with whatever belongs with it; false
    // when it did not (it says why itself), any old file then unchanged.
    // Without it the file is put in place alone.
    std::function<bool(OutputFile& file)> commit;
    int threads = 1;
    ScanLayout layout;
};

// A whole t-Scan: reads the grid texts, checks the grid, opens the file,
// scans and puts the file in place. A scan that does not end with the whole
// file leaves any old file as it was. params are those of the last
// ReadParameters; afterwards params, profile and curves hold the last grid
// point that was written.
ScanJobResult RunScanJob(const ScanGridTexts& texts, ModelParameters& params, const DisplayFlags& flags,
                         DepthProfile& profile, SignalCurves& curves, const ScanJobHooks& hooks);

} // namespace tamrisk
