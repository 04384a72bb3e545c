// SPDX-License-Identifier: GPL-3.0-or-later
#include "InputArguments.h"

#include "model/CurveTable.h"
#include "model/NearestName.h"
#include "model/ParseText.h"
#include "model/ShortestText.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdint>

namespace tamrisk::python {

namespace {

std::string TypeName(py::handle value) { return py::str(py::type::handle_of(value).attr("__name__")); }

bool IsText(py::handle value) { return PyUnicode_Check(value.ptr()) != 0; }
bool IsBool(py::handle value) { return PyBool_Check(value.ptr()) != 0; }
// Python ints and numpy's integer scalars, not bools.
bool IsInteger(py::handle value) { return !IsBool(value) && PyIndex_Check(value.ptr()) != 0; }
// Python floats and numpy's floating scalars.
bool IsReal(py::handle value)
{
    return PyFloat_Check(value.ptr()) != 0 || (!IsText(value) && !IsBool(value) && !IsInteger(value) &&
                                               py::hasattr(value, "__float__") && !PyComplex_Check(value.ptr()));
}

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

// The text the tool would have been given for a text input.
std::string TextInput(const InputRow& row, py::handle value, const std::string& name)
{
    if (IsText(value))
        return value.cast<std::string>();
    if (IsInteger(value))
        return NumberText(value, name);
    if (IsReal(value) && !IsIntegerInput(row))
        return NumberText(value, name);
    throw py::type_error(name + " takes " + (IsIntegerInput(row) ? "a whole number (int)" : "a number") +
                         " or the text the tool takes, not " + TypeName(value));
}

// The warning the tool gives for a text the window reads only in part.
void WarnIfReadInPart(const InputRow& row, const std::string& text, const std::string& name)
{
    if (text.empty())
        return;
    std::string read;
    if (IsIntegerInput(row)) {
        int value = 0;
        const char* end = text.data() + text.size();
        const auto [ptr, error] = std::from_chars(text.data(), end, value);
        if (ptr == end && error == std::errc())
            return;
        read = std::to_string(ParseInteger(text)) + ", as the window reads it";
    } else {
        if (ParseStrictNumber(text))
            return;
        read = ShortestText(ParseNumber(text)) + ", as the window reads it (numbers take a decimal point)";
    }
    const std::string message = name + " " + Quoted(text) + " is read as " + read;
    if (PyErr_WarnEx(PyExc_UserWarning, message.c_str(), 1) != 0)
        throw py::error_already_set();
}

std::string PositionInput(const InputRow& row, py::handle value, const std::string& name)
{
    if (!IsInteger(value) && !IsText(value))
        throw py::type_error(name + " takes a slider position (int), not " + TypeName(value));
    const std::string text = IsText(value) ? value.cast<std::string>() : NumberText(value, name);
    if (!IsPositionText(row, text)) {
        const PositionRange range = *SliderRange(row);
        throw py::value_error(name + ": " + Quoted(text) + " is not an integer from " + std::to_string(range.low) +
                              " to " + std::to_string(range.high));
    }
    return text;
}

std::string SwitchInput(py::handle value, const std::string& name)
{
    if (IsBool(value))
        return value.cast<bool>() ? "1" : "0";
    std::string text;
    if (IsInteger(value))
        text = NumberText(value, name);
    else if (IsText(value))
        text = value.cast<std::string>();
    else
        throw py::type_error(name + " takes True or False, not " + TypeName(value));
    if (text != "0" && text != "1")
        throw py::value_error(name + ": " + Quoted(text) + " is not one of 0, 1 (or False, True)");
    return text;
}

std::string ValueInput(py::handle value, const std::string& name)
{
    if (value.is_none())
        return "";
    if (IsText(value)) {
        const std::string text = value.cast<std::string>();
        if (!ParseStrictNumber(text))
            throw py::value_error(name + ": " + Quoted(text) + " is not a number");
        return text;
    }
    if (IsInteger(value) || IsReal(value))
        return NumberText(value, name);
    throw py::type_error(name + " takes a number or None, not " + TypeName(value));
}

std::string CurveNames()
{
    std::string names;
    for (const CurveRow& curve : kCurves)
        names += (names.empty() ? "" : ",") + std::string(curve.name);
    return names;
}

void SetShown(py::handle value, Inputs& inputs)
{
    std::vector<std::string> names;
    if (IsText(value)) {
        // A comma-separated list, as the tool takes it.
        const std::string text = value.cast<std::string>();
        for (std::size_t begin = 0; begin <= text.size();) {
            const std::size_t end = std::min(text.find(',', begin), text.size());
            names.push_back(text.substr(begin, end - begin));
            begin = end + 1;
        }
    } else if (py::isinstance<py::iterable>(value)) {
        for (py::handle item : value) {
            if (!IsText(item))
                throw py::type_error("show takes curve names (str), not " + TypeName(item));
            names.push_back(item.cast<std::string>());
        }
    } else {
        throw py::type_error("show takes a list of curve names, not " + TypeName(value));
    }
    std::vector<std::string> known;
    for (const CurveRow& curve : kCurves)
        known.emplace_back(curve.name);
    for (const CurveRow& curve : kCurves)
        inputs.controls.flags.*curve.flag = false;
    for (const std::string& name : names) {
        const CurveRow* curve = FindCurve(name);
        if (curve == nullptr)
            throw py::value_error("show: " + Quoted(name) + " is not one of " + CurveNames() + DidYouMean(name, known));
        inputs.controls.flags.*curve->flag = true;
    }
}

// Whether a text reads as the number its shortest text reads as, to the bit.
bool ReadsAsItsNumber(const std::string& text, double number)
{
    return std::bit_cast<std::uint64_t>(ParseNumber(ShortestText(number))) ==
           std::bit_cast<std::uint64_t>(ParseNumber(text));
}

} // namespace

std::string PythonName(std::string_view optionName)
{
    std::string name(optionName);
    for (char& c : name)
        if (c == '-')
            c = '_';
    return name;
}

std::vector<std::string> InputNames()
{
    std::vector<std::string> names;
    for (const InputRow& row : InputTable())
        names.push_back(PythonName(row.name));
    names.emplace_back(kShowName);
    return names;
}

const char* KindName(const InputRow& row)
{
    switch (row.kind) {
    case InputKind::Text:
        return IsIntegerInput(row) ? "integer" : "number";
    case InputKind::Position:
        return "position";
    case InputKind::Switch:
        return "switch";
    case InputKind::Value:
        return "value";
    }
    return "number";
}

std::string DidYouMean(std::string_view typed, const std::vector<std::string>& known)
{
    const std::optional<std::string> nearest = NearestName(typed, known);
    return nearest ? " (did you mean " + Quoted(*nearest) + "?)" : std::string();
}

std::string NumberText(py::handle value, std::string_view name)
{
    if (IsInteger(value))
        return py::str(py::reinterpret_steal<py::object>(PyNumber_Index(value.ptr())));
    const double number = PyFloat_AsDouble(value.ptr());
    if (number == -1.0 && PyErr_Occurred())
        throw py::error_already_set();
    const std::string text = ShortestText(number);
    if (text.empty())
        throw py::value_error(std::string(name) + ": the number cannot be written as a text");
    return text;
}

void SetInput(const InputRow& row, py::handle value, Inputs& inputs)
{
    const std::string name = PythonName(row.name);
    switch (row.kind) {
    case InputKind::Text: {
        const std::string text = TextInput(row, value, name);
        WarnIfReadInPart(row, text, name);
        row.set(inputs, text);
        return;
    }
    case InputKind::Position:
        row.set(inputs, PositionInput(row, value, name));
        return;
    case InputKind::Switch:
        row.set(inputs, SwitchInput(value, name));
        return;
    case InputKind::Value:
        row.set(inputs, ValueInput(value, name));
        return;
    }
}

Inputs ReadInputs(const char* function, const py::kwargs& kwargs, const std::vector<std::string>& own)
{
    Inputs inputs;
    for (const auto& [key, value] : kwargs) {
        const std::string name = key.cast<std::string>();
        if (std::find(own.begin(), own.end(), name) != own.end())
            continue;
        if (name == kShowName) {
            SetShown(value, inputs);
            continue;
        }
        // The table's names take - where Python's take _.
        std::string option = name;
        for (char& c : option)
            c = c == '_' ? '-' : c;
        const InputRow* row = name.find('-') == std::string::npos ? FindInput(option) : nullptr;
        if (row == nullptr) {
            std::vector<std::string> known = InputNames();
            known.insert(known.end(), own.begin(), own.end());
            throw py::type_error(std::string(function) + "(): unknown input " + Quoted(name) + DidYouMean(name, known));
        }
        SetInput(*row, value, inputs);
    }
    return inputs;
}

py::object InputValue(const InputRow& row, const Inputs& inputs)
{
    const std::string text = row.get(inputs);
    switch (row.kind) {
    case InputKind::Text:
        if (IsIntegerInput(row)) {
            int value = 0;
            const char* end = text.data() + text.size();
            const auto [ptr, error] = std::from_chars(text.data(), end, value);
            if (!text.empty() && ptr == end && error == std::errc())
                return py::int_(value);
        } else if (const std::optional<double> number = ParseStrictNumber(text);
                   number && ReadsAsItsNumber(text, *number)) {
            return py::float_(*number);
        }
        return py::str(text);
    case InputKind::Position:
        return py::int_(ParseInteger(text));
    case InputKind::Switch:
        return py::bool_(text == "1");
    case InputKind::Value:
        if (text.empty())
            return py::none();
        return py::float_(*ParseStrictNumber(text));
    }
    return py::str(text);
}

py::list ShownCurves(const Inputs& inputs)
{
    py::list names;
    for (const CurveRow& curve : kCurves)
        if (inputs.controls.flags.*curve.flag)
            names.append(curve.name);
    return names;
}

std::string InputsHelp()
{
    std::string help;
    for (const InputRow& row : InputTable()) {
        help += "    " + PythonName(row.name) + ": " + row.meaning;
        if (*row.unit != '\0')
            help += std::string(" [") + row.unit + "]";
        const std::string text = DefaultText(row);
        if (row.kind == InputKind::Switch)
            help += text == "1" ? " (default: True)" : " (default: False)";
        else
            help += text.empty() ? " (default: not set)" : " (default: " + text + ")";
        help += "\n";
    }
    help += std::string("    ") + kShowName +
            ": curves to show, by flag name (list or comma-separated): " + CurveNames() + "; none by default\n";
    return help;
}

} // namespace tamrisk::python
