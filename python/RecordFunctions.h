// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <pybind11/pybind11.h>

namespace tamrisk::python {

namespace py = pybind11;

// load_record() and save_record(): the tool's parameter records.
void AddRecordFunctions(py::module_& module);

} // namespace tamrisk::python
