// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/InputTable.h"
#include "model/Inputs.h"

#include <pybind11/pybind11.h>

#include <string>
#include <string_view>
#include <vector>

namespace tamrisk::python {

namespace py = pybind11;

// The keyword that names the shown curves, beside the input table's inputs.
inline constexpr const char* kShowName = "show";

// The Python name of an input: the command line's option name with _ for -.
std::string PythonName(std::string_view optionName);

// The keyword names of every input, in table order, then "show".
std::vector<std::string> InputNames();

// The kind of an input as inputs() names it: "number", "integer",
// "position", "switch", "value" (a parameter set directly, None when not
// set) or "curves".
const char* KindName(const InputRow& row);

// " (did you mean 'x'?)" for the nearest of `known`, or "".
std::string DidYouMean(std::string_view typed, const std::vector<std::string>& known);

// The inputs that keyword arguments of `function` set, from the start
// state; the names in `own` are the function's own arguments and are
// skipped. TypeError for a name that is no input (with the nearest one) or
// a value of the wrong type, ValueError for a value the tool refuses; a
// text that the window reads only in part gives a warning, as in the tool.
Inputs ReadInputs(const char* function, const py::kwargs& kwargs, const std::vector<std::string>& own = {});

// Sets one input from a Python value, as its option would.
void SetInput(const InputRow& row, py::handle value, Inputs& inputs);

// The text a Python number stands for: the shortest text that reads back
// to the same double, or the integer's digits.
std::string NumberText(py::handle value, std::string_view name);

// An input as a keyword argument's value: a text input as its number where
// the text is one number that reads back to it, else the text; a position
// as int, a switch as bool, a directly set value as float or None.
py::object InputValue(const InputRow& row, const Inputs& inputs);

// The shown curves' names.
py::list ShownCurves(const Inputs& inputs);

// One line per input for the docstrings: name, meaning, unit, default.
std::string InputsHelp();

} // namespace tamrisk::python
