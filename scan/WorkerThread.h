// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <thread>

namespace tamrisk {

// Starts a thread that runs work with SIGINT, SIGTERM and SIGHUP blocked, so
// that the tool's handler for them always runs on the main thread, which
// writes the output and ends the run. Every worker thread starts here.
// Throws std::system_error when no thread can be started.
std::thread StartWorkerThread(std::function<void()> work);

} // namespace tamrisk
