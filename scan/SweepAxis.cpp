// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/SweepAxis.h"

#include <algorithm>

#include "model/ParseText.h"
#include "model/ShortestText.h"

#include <charconv>
#include <cmath>

namespace tamrisk {

namespace {

bool IsSweepable(const InputRow& row)
{
    if (row.dialog != InputDialog::Main)
        return false;
    return (row.kind == InputKind::Text && !IsIntegerInput(row)) || row.kind == InputKind::Value ||
           row.kind == InputKind::Switch;
}

std::vector<std::string_view> Split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    for (std::size_t begin = 0;;) {
        const std::size_t end = text.find(separator, begin);
        parts.push_back(text.substr(begin, end == std::string_view::npos ? std::string_view::npos : end - begin));
        if (end == std::string_view::npos)
            return parts;
        begin = end + 1;
    }
}

std::optional<SweepAxisProblem> ParseSwitchStates(std::string_view name, std::string_view list, SweepAxis& axis)
{
    axis.states.clear();
    for (std::string_view state : Split(list, ',')) {
        if (state != "0" && state != "1")
            return SweepAxisProblem{"--vary " + std::string(name) + ": a switch takes 0, 1 or 0,1, not '" +
                                        std::string(list) + "'",
                                    {}};
        axis.states.push_back(state == "1");
    }
    return std::nullopt;
}

std::optional<SweepAxisProblem> ParseRange(std::string_view name, std::string_view range, SweepAxis& axis)
{
    const std::string where = "--vary " + std::string(name) + ": ";
    const std::vector<std::string_view> parts = Split(range, ':');
    if (parts.size() < 3 || parts.size() > 4)
        return SweepAxisProblem{where + "give START:END:STEPS or START:END:STEPS:log, not '" + std::string(range) + "'",
                                {}};
    const std::optional<double> start = ParseStrictNumber(parts[0]);
    const std::optional<double> end = ParseStrictNumber(parts[1]);
    if (!start || !end)
        return SweepAxisProblem{where + "'" + std::string(!start ? parts[0] : parts[1]) + "' is not a number", {}};
    int steps = -1;
    const auto [ptr, error] = std::from_chars(parts[2].data(), parts[2].data() + parts[2].size(), steps);
    if (parts[2].empty() || ptr != parts[2].data() + parts[2].size() ||
        (error != std::errc() && error != std::errc::result_out_of_range))
        return SweepAxisProblem{where + "STEPS '" + std::string(parts[2]) + "' is not a whole number", {}};
    if (error == std::errc::result_out_of_range)
        return SweepAxisProblem{where + "STEPS must be at most 2147483647 and at least -2147483648, not " +
                                    std::string(parts[2]),
                                {}};
    if (parts.size() == 4 && parts[3] != "log" && parts[3] != "lin")
        return SweepAxisProblem{where + "the scale is log or lin, not '" + std::string(parts[3]) + "'", {}};
    // Stored in single precision, as the scan's axes are.
    axis.range = {float(*start), float(*end), steps, parts.size() == 4 && parts[3] == "log"};
    if (const std::optional<AxisFault> fault = CheckAxis(axis.range))
        return SweepAxisProblem{where + (*fault == AxisFault::LogarithmicThroughZero
                                             ? "a logarithmic axis needs a start and an end above 0"
                                             : "start and end must be finite numbers (in single precision)"),
                                {}};
    return std::nullopt;
}

} // namespace

std::int64_t SweepAxis::Count() const
{
    // A negative step count gives the axis no values, as in the scan.
    return input->kind == InputKind::Switch ? std::int64_t(states.size())
                                            : std::max<std::int64_t>(0, std::int64_t(range.steps) + 1);
}

double SweepAxis::Value(std::int64_t k) const
{
    if (input->kind == InputKind::Switch)
        return states[std::size_t(k)] ? 1.0 : 0.0;
    return double(float(AxisValue(range.start, range.end, range.steps, int(k), range.logarithmic)));
}

std::string SweepAxis::ColumnName() const
{
    std::string name = input->name;
    for (char& c : name)
        if (c == '-')
            c = '_';
    const std::string_view unit = input->unit;
    if (unit.empty())
        return name;
    if (unit.starts_with("1/"))
        return name + "_per_" + std::string(unit.substr(2));
    return name + "_" + std::string(unit);
}

void SweepAxis::Set(Inputs& inputs, std::int64_t k) const
{
    if (input->kind == InputKind::Switch) {
        input->set(inputs, states[std::size_t(k)] ? "1" : "0");
        return;
    }
    // The value's shortest text reads back to the same number, as a text input or a direct value.
    input->set(inputs, ShortestText(Value(k)));
}

std::optional<SweepAxisProblem> ParseSweepAxis(std::string_view text, SweepAxis& axis)
{
    const std::size_t equals = text.find('=');
    const std::string_view name = text.substr(0, equals);
    const InputRow* row = FindInput(name);
    if (row == nullptr || !IsSweepable(*row)) {
        SweepAxisProblem problem{"--vary: '" + std::string(name) + "' is not an input that can be varied", {}};
        if (row == nullptr)
            problem.unknownName = std::string(name);
        return problem;
    }
    if (equals == std::string_view::npos)
        return SweepAxisProblem{"--vary " + std::string(name) + ": give " + std::string(name) +
                                    (row->kind == InputKind::Switch ? "=0,1" : "=START:END:STEPS[:log]"),
                                {}};
    axis.input = row;
    const std::string_view values = text.substr(equals + 1);
    return row->kind == InputKind::Switch ? ParseSwitchStates(name, values, axis) : ParseRange(name, values, axis);
}

std::vector<std::string> SweepableNames()
{
    std::vector<std::string> names;
    for (const InputRow& row : InputTable())
        if (IsSweepable(row))
            names.emplace_back(row.name);
    return names;
}

} // namespace tamrisk
