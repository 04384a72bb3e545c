#include "cli/Interrupts.h"

#include "cli/OutputPaths.h"

#include <atomic>
#include <csignal>
#include <ostream>

namespace tamrisk::cli {

namespace {

std::atomic<int> gSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs a lock-free flag");

extern "C" void NoteSignal(int signal)
{
    int none = 0;
    if (!gSignal.compare_exchange_strong(none, signal)) {
        // Asked twice: the user wants out now, even from a blocked write.
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
