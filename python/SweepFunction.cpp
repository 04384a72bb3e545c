// SPDX-License-Identifier: GPL-3.0-or-later
#include "SweepFunction.h"

#include "FunctionDocs.h"
#include "InputArguments.h"
#include "NumpyArrays.h"
#include "ParallelRun.h"

#include "plot/ReadoutTable.h"
#include "scan/SweepAxis.h"
#include "scan/SweepPlan.h"
#include "scan/SweepValues.h"

#include <algorithm>
#include <string>

namespace tamrisk::python {

namespace {

std::string TypeName(py::handle value) { return py::str(py::type::handle_of(value).attr("__name__")); }

std::string Dashed(std::string name)
{
    for (char& c : name)
        c = c == '_' ? '-' : c;
    return name;
}

std::vector<std::string> PythonNames(const std::vector<std::string>& names)
{
    std::vector<std::string> python;
    for (const std::string& name : names)
        python.push_back(PythonName(name));
    return python;
}

// The tool's text of one axis's values: a text as given, or a tuple
// (start, end, steps[, log]) of a number input, or the states of a switch.
std::string AxisText(const InputRow* row, const std::string& name, py::handle range)
{
    if (PyUnicode_Check(range.ptr()) != 0)
        return range.cast<std::string>();
    if (!py::isinstance<py::tuple>(range) && !py::isinstance<py::list>(range))
        throw py::type_error("vary " + name + " takes a text such as '0:2:20' or a tuple, not " + TypeName(range));
    const py::sequence parts = py::reinterpret_borrow<py::sequence>(range);
    std::string text;
    if (row != nullptr && row->kind == InputKind::Switch) {
        // (0, 1) or (False, True): the states in order.
        for (py::handle state : parts) {
            if (PyBool_Check(state.ptr()) == 0 && PyIndex_Check(state.ptr()) == 0)
                throw py::type_error("vary " + name + " takes switch states (True, False, 0 or 1), not " +
                                     TypeName(state));
            text += (text.empty() ? "" : ",") + NumberText(py::int_(py::reinterpret_borrow<py::object>(state)), name);
        }
        return text;
    }
    if (parts.size() != 3 && parts.size() != 4)
        throw py::value_error("vary " + name + " takes (start, end, steps) or (start, end, steps, log), not " +
                              std::to_string(parts.size()) + " values");
    for (std::size_t k = 0; k < 2; ++k) {
        const py::handle end = parts[k];
        if (PyUnicode_Check(end.ptr()) != 0)
            text += end.cast<std::string>();
        else if (PyBool_Check(end.ptr()) == 0 && py::hasattr(end, "__float__"))
            text += NumberText(end, name);
        else
            throw py::type_error("vary " + name + ": start and end take numbers, not " + TypeName(end));
        text += ":";
    }
    const py::handle steps = parts[2];
    if (PyBool_Check(steps.ptr()) != 0 || (PyIndex_Check(steps.ptr()) == 0 && PyUnicode_Check(steps.ptr()) == 0))
        throw py::type_error("vary " + name + ": steps takes a whole number (int), not " + TypeName(steps));
    text += PyUnicode_Check(steps.ptr()) != 0 ? steps.cast<std::string>() : NumberText(steps, name);
    if (parts.size() == 4) {
        const py::handle scale = parts[3];
        if (PyBool_Check(scale.ptr()) != 0)
            text += scale.cast<bool>() ? ":log" : ":lin";
        else if (PyUnicode_Check(scale.ptr()) != 0)
            text += ":" + scale.cast<std::string>();
        else
            throw py::type_error("vary " + name + ": log takes True or False, not " + TypeName(scale));
    }
    return text;
}

SweepAxis ReadAxis(const std::string& name, py::handle range)
{
    // The tool's names (eval-time) and Python's (eval_time) alike.
    const InputRow* row = FindInput(Dashed(name));
    const std::string text = Dashed(name) + "=" + AxisText(row, name, range);
    SweepAxis axis;
    if (const std::optional<SweepAxisProblem> problem = ParseSweepAxis(text, axis)) {
        if (!problem->unknownName.empty() || row == nullptr)
            throw py::value_error("vary: '" + name + "' is not an input that can be varied" +
                                  DidYouMean(name, PythonNames(SweepableNames())));
        throw py::value_error(problem->message);
    }
    return axis;
}

SweepPlan ReadPlan(py::handle vary, py::handle columns)
{
    SweepPlan plan;
    if (py::isinstance<py::dict>(vary)) {
        for (const auto& [name, range] : py::reinterpret_borrow<py::dict>(vary)) {
            if (PyUnicode_Check(name.ptr()) == 0)
                throw py::type_error("vary takes input names (str) as keys, not " + TypeName(name));
            plan.axes.push_back(ReadAxis(name.cast<std::string>(), range));
        }
    } else if (PyUnicode_Check(vary.ptr()) == 0 && py::isinstance<py::iterable>(vary)) {
        // The tool's texts, "NAME=START:END:STEPS[:log]".
        for (py::handle item : vary) {
            if (PyUnicode_Check(item.ptr()) == 0)
                throw py::type_error("vary takes a dict, or texts NAME=START:END:STEPS[:log], not " + TypeName(item));
            const std::string text = item.cast<std::string>();
            const std::size_t equals = text.find('=');
            if (equals == std::string::npos)
                throw py::value_error("vary: give NAME=START:END:STEPS[:log] or NAME=0,1, not '" + text + "'");
            plan.axes.push_back(ReadAxis(text.substr(0, equals), py::str(text.substr(equals + 1))));
        }
    } else if (!vary.is_none()) {
        throw py::type_error("vary takes a dict {name: '0:2:20', ...}, not " + TypeName(vary));
    }
    if (PyUnicode_Check(columns.ptr()) != 0) {
        const std::string text = columns.cast<std::string>();
        for (std::size_t begin = 0; begin <= text.size();) {
            const std::size_t end = std::min(text.find(',', begin), text.size());
            plan.readouts.push_back(text.substr(begin, end - begin));
            begin = end + 1;
        }
    } else if (!columns.is_none()) {
        for (py::handle name : columns) {
            if (PyUnicode_Check(name.ptr()) == 0)
                throw py::type_error("columns takes read-out names (str), not " + TypeName(name));
            plan.readouts.push_back(name.cast<std::string>());
        }
    }
    if (const std::optional<SweepAxisProblem> problem = CheckSweep(plan)) {
        if (plan.axes.empty())
            throw py::value_error("give at least one axis: vary={'rate1': '0.01:1:10:log'}");
        throw py::value_error(problem->message +
                              (problem->unknownName.empty() ? "" : DidYouMean(problem->unknownName, ReadoutNames())));
    }
    // A dict holds each column once; the tool's table would repeat the name.
    const std::vector<std::string> names = SweepColumnNames(plan);
    for (std::size_t c = 0; c < names.size(); ++c)
        if (std::find(names.begin(), names.begin() + std::ptrdiff_t(c), names[c]) != names.begin() + std::ptrdiff_t(c))
            throw py::value_error("columns: '" + names[c] + "' is a column of the sweep already");
    return plan;
}

py::object Sweep(const py::kwargs& kwargs)
{
    const std::vector<std::string> own = {"vary", "columns", "threads", "as_frame"};
    const auto argument = [&](const char* name) {
        return kwargs.contains(name) ? py::object(kwargs[name]) : py::object(py::none());
    };
    const Inputs inputs = ReadInputs("sweep", kwargs, own);
    const SweepPlan plan = ReadPlan(argument("vary"), argument("columns"));
    const int threads = ThreadCount(argument("threads"));
    const py::object asFrame = argument("as_frame");
    if (!asFrame.is_none() && PyBool_Check(asFrame.ptr()) == 0)
        throw py::type_error("as_frame takes True or False, not " + TypeName(asFrame));

    const std::int64_t points = SweepPointCount(plan);
    const std::vector<std::string> names = SweepColumnNames(plan);
    const std::vector<bool> inDouble = SweepColumnsInDouble(plan);
    std::vector<py::array> arrays;
    std::vector<SweepValueColumn> columns;
    for (std::size_t c = 0; c < names.size(); ++c) {
        if (inDouble[c]) {
            py::array_t<double> array = NewArray<double>({py::ssize_t(points)});
            columns.emplace_back(array.mutable_data());
            arrays.push_back(array);
        } else {
            py::array_t<float> array = NewArray<float>({py::ssize_t(points)});
            columns.emplace_back(array.mutable_data());
            arrays.push_back(array);
        }
    }
    const std::function<bool()> interrupted = InterruptCheck();
    bool complete = false;
    {
        const py::gil_scoped_release release;
        complete = ComputeSweepValues(plan, inputs, {0, points}, threads, columns, interrupted);
    }
    if (!complete)
        throw py::error_already_set();

    py::dict result;
    for (std::size_t c = 0; c < names.size(); ++c)
        result[names[c].c_str()] = arrays[c];
    if (!asFrame.is_none() && asFrame.cast<bool>())
        return py::module_::import("pandas").attr("DataFrame")(result);
    return result;
}

} // namespace

void AddSweepFunction(py::module_& module) { module.def("sweep", &Sweep, Doc("sweep").c_str()); }

} // namespace tamrisk::python
