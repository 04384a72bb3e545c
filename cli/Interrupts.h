#pragma once

#include <iosfwd>
#include <string>

namespace tamrisk::cli {

// Makes SIGINT, SIGTERM and SIGHUP only note that the run should end, so
// that the work stops at its next check, removes its temporary file and
// leaves any old file as it was. A second such signal ends the process at once.
void CatchInterrupts();

// While it lives, a second signal, which ends the process at once, removes
// this file first: the unfinished output of the run.
class RemovedOnForcedExit {
public:
    explicit RemovedOnForcedExit(const std::string& path);
    ~RemovedOnForcedExit();
    RemovedOnForcedExit(const RemovedOnForcedExit&) = delete;
    RemovedOnForcedExit& operator=(const RemovedOnForcedExit&) = delete;
};

// The signal that asked the run to end, or 0.
int InterruptSignal();

// Says on err that the run was interrupted and the output path not written,
// and gives the exit code: 128 + the signal's number.
int ReportInterrupted(const std::string& path, std::ostream& err);

} // namespace tamrisk::cli
