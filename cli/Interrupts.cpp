#include "cli/Interrupts.h"

#include "cli/OutputPaths.h"

#include <atomic>
#include <climits>
#include <csignal>
#include <ostream>

#include <unistd.h>

namespace tamrisk::cli {

namespace {

std::atomic<int> gSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs a lock-free flag");

// A copy, so that the handler never reads memory that the program frees.
char gUnfinished[PATH_MAX + 1];
std::atomic<bool> gHasUnfinished{false};

extern "C" void NoteSignal(int signal)
{
    int none = 0;
    if (!gSignal.compare_exchange_strong(none, signal)) {
        // Asked twice: the user wants out now, even from a blocked write.
        if (gHasUnfinished.load())
            ::unlink(gUnfinished);
        std::signal(signal, SIG_DFL);
        std::raise(signal);
    }
}

const char* SignalName(int signal)
{
    switch (signal) {
    case SIGINT:
        return "SIGINT";
    case SIGTERM:
        return "SIGTERM";
    case SIGHUP:
        return "SIGHUP";
    default:
        return "a signal";
    }
}

} // namespace

RemovedOnForcedExit::RemovedOnForcedExit(const std::string& path)
{
    if (path.empty() || path.size() > PATH_MAX)
        return;
    gHasUnfinished.store(false);
    path.copy(gUnfinished, path.size());
    gUnfinished[path.size()] = '\0';
    gHasUnfinished.store(true);
}

RemovedOnForcedExit::~RemovedOnForcedExit() { gHasUnfinished.store(false); }

void CatchInterrupts()
{
    struct sigaction action {};
    action.sa_handler = NoteSignal;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a write or open that blocks (a FIFO without reader)
    // returns, so the run can end.
    action.sa_flags = 0;
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
}

int InterruptSignal() { return gSignal.load(); }

int ReportInterrupted(const std::string& path, std::ostream& err)
{
    const int signal = InterruptSignal();
    err << "tamrisk-cli: interrupted by " << SignalName(signal) << "; " << NotWrittenText(path)
        << '\n';
    return 128 + signal;
}

} // namespace tamrisk::cli
