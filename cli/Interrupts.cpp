// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Interrupts.h"

#include "output/ByteSink.h"

#include <atomic>
#include <csignal>
#include <ostream>

#include <pthread.h>
#include <unistd.h>

namespace tamrisk::cli {

// The list the handler walks on a forced exit. It is changed only with the
// interrupts blocked, so the handler never sees it half changed.
static RemovedOnForcedExit* gFirst = nullptr;

// Only async-signal-safe calls: the handler runs this.
struct ForcedExitList {
    static void RemoveAll()
    {
        for (const RemovedOnForcedExit* file = gFirst; file != nullptr; file = file->next_)
            ::unlink(file->path_.c_str());
    }
};

namespace {

std::atomic<int> gSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs a lock-free flag");

constexpr int kInterrupts[] = {SIGINT, SIGTERM, SIGHUP};

class InterruptsBlocked {
public:
    InterruptsBlocked()
    {
        sigset_t set;
        sigemptyset(&set);
        for (int signal : kInterrupts)
            sigaddset(&set, signal);
        pthread_sigmask(SIG_BLOCK, &set, &previous_);
    }
    ~InterruptsBlocked() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
    InterruptsBlocked(const InterruptsBlocked&) = delete;
    InterruptsBlocked& operator=(const InterruptsBlocked&) = delete;

private:
    sigset_t previous_;
};

extern "C" void NoteSignal(int signal)
{
    int none = 0;
    if (!gSignal.compare_exchange_strong(none, signal)) {
        // Asked twice: the user wants out now, even from a blocked write.
        ForcedExitList::RemoveAll();
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

RemovedOnForcedExit::RemovedOnForcedExit(const std::string& path) : path_(path)
{
    if (path_.empty())
        return;
    const InterruptsBlocked blocked;
    next_ = gFirst;
    if (gFirst != nullptr)
        gFirst->previous_ = this;
    gFirst = this;
    listed_ = true;
}

RemovedOnForcedExit::~RemovedOnForcedExit()
{
    if (!listed_)
        return;
    const InterruptsBlocked blocked;
    if (previous_ != nullptr)
        previous_->next_ = next_;
    else
        gFirst = next_;
    if (next_ != nullptr)
        next_->previous_ = previous_;
}

void CatchInterrupts()
{
    struct sigaction action {};
    action.sa_handler = NoteSignal;
    sigemptyset(&action.sa_mask);
    // The handler may run while another of the three is being handled: block them meanwhile.
    for (int signal : kInterrupts)
        sigaddset(&action.sa_mask, signal);
    // No SA_RESTART: a write or open that blocks (a FIFO without reader)
    // returns, so the run can end.
    action.sa_flags = 0;
    for (int signal : kInterrupts)
        sigaction(signal, &action, nullptr);
    // A write that had written part of its bytes when the signal came goes on waiting otherwise.
    FileSink::SetStopCheck([] { return InterruptSignal() != 0; });
}

int InterruptSignal() { return gSignal.load(); }

int ReportInterrupted(const std::string& outputs, std::ostream& err)
{
    const int signal = InterruptSignal();
    err << "tamrisk-cli: interrupted by " << SignalName(signal) << outputs << '\n';
    return 128 + signal;
}

} // namespace tamrisk::cli
