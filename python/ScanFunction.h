// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <pybind11/pybind11.h>

namespace tamrisk::python {

namespace py = pybind11;

// scan(): the totals over the grid of extinctions and evaluation times.
void AddScanFunction(py::module_& module);

} // namespace tamrisk::python
