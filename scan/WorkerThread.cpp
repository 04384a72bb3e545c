// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/WorkerThread.h"

#include <csignal>

#include <pthread.h>

namespace tamrisk {

std::thread StartWorkerThread(std::function<void()> work)
{
    // A new thread inherits the signal mask of the thread that creates it.
    sigset_t interrupts;
    sigemptyset(&interrupts);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&interrupts, signal);
    sigset_t previous;
    pthread_sigmask(SIG_BLOCK, &interrupts, &previous);
    try {
        std::thread thread(std::move(work));
        pthread_sigmask(SIG_SETMASK, &previous, nullptr);
        return thread;
    } catch (...) {
        pthread_sigmask(SIG_SETMASK, &previous, nullptr);
        throw;
    }
}

} // namespace tamrisk
