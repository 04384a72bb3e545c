// SPDX-License-Identifier: GPL-3.0-or-later
// The Python module tamrisk: the model's functions over the core, numpy arrays out.
#include "FunctionDocs.h"
#include "ModelFunctions.h"
#include "RecordFunctions.h"
#include "ScanFunction.h"
#include "SweepFunction.h"

#include "TamriskVersion.h"

#include <pybind11/pybind11.h>

namespace py = pybind11;

PYBIND11_MODULE(tamrisk, module)
{
    // The docstrings carry their own signature lines.
    py::options options;
    options.disable_function_signatures();
    module.doc() = tamrisk::python::ModuleDoc();
    module.attr("__version__") = TAMRISK_VERSION;
    tamrisk::python::AddModelFunctions(module);
    tamrisk::python::AddScanFunction(module);
    tamrisk::python::AddSweepFunction(module);
    tamrisk::python::AddRecordFunctions(module);
}
