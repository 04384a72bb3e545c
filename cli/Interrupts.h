// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <iosfwd>
#include <string>

namespace tamrisk::cli {

// Makes SIGINT, SIGTERM and SIGHUP only note that the run should end, so
// that the work stops at its next check, removes its temporary files and
// leaves any old file as it was; a write waiting for a reader then fails
// (FileSink::SetStopCheck). A second such signal ends the process at once.
// Worker threads are started with these signals blocked, so the handler runs
// on the main thread.
void CatchInterrupts();

// While it lives, a second signal, which ends the process at once, removes
// this file first: an unfinished output of the run. Any number of them may
// live at once, nested or not.
class RemovedOnForcedExit {
public:
    explicit RemovedOnForcedExit(const std::string& path);
    ~RemovedOnForcedExit();
    RemovedOnForcedExit(const RemovedOnForcedExit&) = delete;
    RemovedOnForcedExit& operator=(const RemovedOnForcedExit&) = delete;

private:
    friend struct ForcedExitList;
    std::string path_; // not changed while listed: the handler reads it
    RemovedOnForcedExit* previous_ = nullptr;
    RemovedOnForcedExit* next_ = nullptr;
    bool listed_ = false;
};

// The signal that asked the run to end, or 0.
int InterruptSignal();

// Says on err that the run was interrupted, followed by what became of its
// outputs ("; 'x' was not written; ..."), and gives the exit code: 128 + the
// signal's number.
int ReportInterrupted(const std::string& outputs, std::ostream& err);

} // namespace tamrisk::cli
