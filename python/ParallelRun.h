// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <pybind11/pybind11.h>

#include <functional>

namespace tamrisk::python {

namespace py = pybind11;

// The threads a table runs on: `threads` as given (1 to 1024, as the tool
// takes them), or for None the CPUs this process may run on.
int ThreadCount(py::handle threads);

// A stop check for the table engine, called without the GIL: true once a
// signal handler (Ctrl-C's KeyboardInterrupt) has raised, which is then the
// Python error to throw. Looks at most every 50 ms, and only on the main
// thread, where Python runs its signal handlers.
std::function<bool()> InterruptCheck();

} // namespace tamrisk::python
