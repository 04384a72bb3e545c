// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <pybind11/pybind11.h>

namespace tamrisk::python {

namespace py = pybind11;

// sweep(): the totals, and read-outs asked for, over a grid of any inputs.
void AddSweepFunction(py::module_& module);

} // namespace tamrisk::python
