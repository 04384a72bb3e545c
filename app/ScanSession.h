// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/BackgroundJob.h"
#include "app/MainWindowInputGuard.h"
#include "app/ProgressDlg.h"
#include "model/ScanGridTexts.h"
#include "scan/ScanJob.h"

#include <memory>

namespace tamrisk {

// What the main window keeps of a t-Scan while the scan runs on its worker.
struct ScanSession {
    ScanGridTexts texts;
    // Written by the worker, read once the job has ended.
    std::shared_ptr<ScanJobResult> result = std::make_shared<ScanJobResult>(ScanJobResult{ScanOutcome::Stopped, {}});
    std::unique_ptr<MainWindowInputGuard> guard;
    std::unique_ptr<CProgressDlg> progress;
    std::unique_ptr<BackgroundJob> job; // destroyed first: it waits for its worker
};

} // namespace tamrisk
