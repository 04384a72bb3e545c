// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScanFunction.h"

#include "FunctionDocs.h"
#include "InputArguments.h"
#include "NumpyArrays.h"
#include "ParallelRun.h"

#include "model/ReadParameters.h"
#include "plot/ReadoutTable.h"
#include "scan/ScanGrid.h"
#include "scan/ScanRun.h"
#include "scan/ScanValues.h"

#include <string>

namespace tamrisk::python {

namespace {

// An axis given as one argument, (start, end, steps[, log]), and the inputs it stands for.
struct AxisArgument {
    const char* argument;
    const char* meaning;
    const char* inputs[4]; // start, end, steps, log
};

constexpr AxisArgument kAxes[] = {
    {"ext", "the extinction axis", {"ext_start", "ext_end", "ext_steps", "ext_log"}},
    {"time", "the evaluation-time axis", {"time_start", "time_end", "time_steps", "time_log"}},
};

// Sets the grid inputs from an axis argument.
void SetAxis(const AxisArgument& axis, py::handle value, const py::kwargs& kwargs, Inputs& inputs)
{
    for (const char* name : axis.inputs)
        if (kwargs.contains(name))
            throw py::type_error(std::string("scan(): give ") + axis.argument + "=(start, end, steps, log) or " +
                                 axis.inputs[0] + ", ..., not both");
    if (!py::isinstance<py::tuple>(value) && !py::isinstance<py::list>(value))
        throw py::type_error(std::string(axis.argument) +
                             " takes (start, end, steps) or (start, end, steps, log), not " +
                             std::string(py::str(py::type::handle_of(value).attr("__name__"))));
    const py::sequence parts = py::reinterpret_borrow<py::sequence>(value);
    if (parts.size() != 3 && parts.size() != 4)
        throw py::value_error(std::string(axis.argument) +
                              " takes (start, end, steps) or (start, end, steps, log), not " +
                              std::to_string(parts.size()) + " values");
    for (std::size_t k = 0; k < parts.size(); ++k) {
        const std::string option = std::string(axis.inputs[k]);
        std::string dashed = option;
        for (char& c : dashed)
            c = c == '_' ? '-' : c;
        SetInput(*FindInput(dashed), parts[k], inputs);
    }
}

std::string AxisRefusal(const ScanGrid& grid)
{
    const ScanAxis* axes[] = {&grid.extinction, &grid.evalTime};
    for (std::size_t a = 0; a < 2; ++a)
        if (const std::optional<AxisFault> fault = CheckAxis(*axes[a]))
            return std::string("the grid is refused: ") + kAxes[a].meaning + " (" + kAxes[a].inputs[0] + ", " +
                   kAxes[a].inputs[1] + "): " +
                   (*fault == AxisFault::NotFinite ? "start and end must be finite numbers (in single precision)"
                                                   : "a logarithmic axis needs a start and an end above 0");
    return {};
}

py::dict Scan(const py::kwargs& kwargs)
{
    const std::vector<std::string> own = {"ext", "time", "threads"};
    Inputs inputs = ReadInputs("scan", kwargs, own);
    for (const AxisArgument& axis : kAxes)
        if (kwargs.contains(axis.argument) && !kwargs[axis.argument].is_none())
            SetAxis(axis, kwargs[axis.argument], kwargs, inputs);
    const int threads =
        ThreadCount(kwargs.contains("threads") ? py::object(kwargs["threads"]) : py::object(py::none()));

    ModelParameters params;
    DisplayFlags flags;
    ReadParameters(inputs.controls, params, flags);
    ApplyOverrides(inputs.overrides, params);
    const ScanGrid grid = ReadScanGrid(inputs.grid);
    if (const std::string refusal = AxisRefusal(grid); !refusal.empty())
        throw py::value_error(refusal);

    const py::ssize_t passes = py::ssize_t(ScanAxisCount(grid.extinction));
    const py::ssize_t times = py::ssize_t(ScanAxisCount(grid.evalTime));
    const std::vector<std::string> names = ScanColumnNames(); // extinction, hvd, transmission, time, lab, nat, ratio
    py::array_t<float> extinction = NewArray<float>({passes});
    py::array_t<float> halfValueDepth = NewArray<float>({passes});
    py::array_t<float> transmission = NewArray<float>({passes});
    py::array_t<float> evalTime = NewArray<float>({times});
    py::array_t<float> lab = NewArray<float>({passes, times});
    py::array_t<float> nat = NewArray<float>({passes, times});
    py::array_t<double> ratio = NewArray<double>({passes, times});
    const ScanValueArrays out{extinction.mutable_data(),   halfValueDepth.mutable_data(),
                              transmission.mutable_data(), evalTime.mutable_data(),
                              lab.mutable_data(),          nat.mutable_data(),
                              ratio.mutable_data()};
    const std::function<bool()> interrupted = InterruptCheck();
    bool complete = false;
    {
        const py::gil_scoped_release release;
        complete = ComputeScanValues(grid, params, threads, out, interrupted);
    }
    if (!complete)
        throw py::error_already_set();

    py::dict result;
    const py::array columns[] = {extinction, halfValueDepth, transmission, evalTime, lab, nat, ratio};
    for (std::size_t c = 0; c < names.size(); ++c)
        result[names[c].c_str()] = columns[c];
    return result;
}

} // namespace

void AddScanFunction(py::module_& module) { module.def("scan", &Scan, Doc("scan").c_str()); }

} // namespace tamrisk::python
