// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <pybind11/pybind11.h>

namespace tamrisk::python {

namespace py = pybind11;

// inputs(), profile(), curves() and readouts(), and the named tuples they return.
void AddModelFunctions(py::module_& module);

} // namespace tamrisk::python
