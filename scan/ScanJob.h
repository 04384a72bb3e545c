#pragma once

#include "model/DepthProfile.h"
#include "model/ModelParameters.h"
#include "model/ScanGridTexts.h"
#include "model/SignalCurves.h"
#include "output/ByteSink.h"
#include "scan/ScanRun.h"

#include <functional>
#include <memory>
#include <string>

namespace tamrisk {

enum class ScanOutcome {
    Written,      // the whole file was written and closed
    Refused,      // the grid has no defined values; message says why
    NotOpened,    // no file: the opener gave none (it reports why itself)
    WriteFailed,  // writing or closing failed; message has the system's reason
};

struct ScanJobResult {
    ScanOutcome outcome;
    std::string message;
};

// What a scan asks of its caller besides the model state.
struct ScanJobHooks {
    // Opens the result file, or gives nullptr when there is none.
    std::function<std::unique_ptr<FileSink>()> open;
    // Called once the file is open, before the first grid point.
    std::function<void()> started;
    ScanProgress progress;
    int threads = 1;
    ScanLayout layout;
};

// A whole t-Scan: reads the grid texts, checks the grid, opens the file,
// scans and closes. params are those of the last ReadParameters; afterwards
// params, profile and curves hold the last grid point that was computed.
ScanJobResult RunScanJob(const ScanGridTexts& texts, ModelParameters& params, const DisplayFlags& flags,
                         DepthProfile& profile, SignalCurves& curves, const ScanJobHooks& hooks);

} // namespace tamrisk
