// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/SweepPlan.h"

#include "output/CleanTable.h"

#include <algorithm>

namespace tamrisk {

namespace {

// Row indices and their products stay far from the int64 limit.
constexpr std::int64_t kMaxPoints = std::int64_t(1) << 53;

} // namespace

std::optional<SweepAxisProblem> CheckSweep(const SweepPlan& plan)
{
    if (plan.axes.empty())
        return SweepAxisProblem{"give at least one --vary NAME=START:END:STEPS", {}};
    std::int64_t points = 1;
    for (std::size_t a = 0; a < plan.axes.size(); ++a) {
        for (std::size_t b = 0; b < a; ++b)
            if (plan.axes[a].input == plan.axes[b].input)
                return SweepAxisProblem{"--vary " + std::string(plan.axes[a].input->name) + " is given twice", {}};
        const std::int64_t count = plan.axes[a].Count();
        if (points > 0 && count > kMaxPoints / points)
            return SweepAxisProblem{"the sweep has more than 2^53 points", {}};
        points *= count;
    }
    for (const std::string& name : plan.readouts)
        if (FindReadout(name) == nullptr)
            return SweepAxisProblem{"--columns: '" + name + "' is not a read-out", name};
    return std::nullopt;
}

bool VariesExtinction(const SweepPlan& plan)
{
    const InputRow* extinction = FindInput("extinction");
    return std::any_of(plan.axes.begin(), plan.axes.end(), [&](const SweepAxis& a) { return a.input == extinction; });
}

std::int64_t SweepPointCount(const SweepPlan& plan)
{
    std::int64_t points = 1;
    for (const SweepAxis& axis : plan.axes)
        points *= axis.Count();
    return points;
}

std::vector<std::string> SweepColumnNames(const SweepPlan& plan)
{
    using M = MainControl;
    std::vector<std::string> names;
    const InputRow* extinction = FindInput("extinction");
    for (const SweepAxis& axis : plan.axes) {
        names.push_back(axis.ColumnName());
        if (axis.input == extinction)
            for (MainControl id : {M::HalfValueDepthReadout, M::TransmissionReadout})
                names.emplace_back(ReadoutOf(id).name);
    }
    for (MainControl id : {M::EffLabTotalReadout, M::EffNatTotalReadout, M::EffRatioReadout})
        names.emplace_back(ReadoutOf(id).name);
    names.insert(names.end(), plan.readouts.begin(), plan.readouts.end());
    return names;
}

nlohmann::ordered_json SweepJson(const SweepPlan& plan)
{
    nlohmann::ordered_json axes = nlohmann::ordered_json::array();
    for (const SweepAxis& axis : plan.axes) {
        nlohmann::ordered_json entry = {{"name", axis.input->name}, {"column", axis.ColumnName()}};
        if (axis.input->kind == InputKind::Switch) {
            entry["states"] = nlohmann::ordered_json::array();
            for (bool state : axis.states)
                entry["states"].push_back(state ? 1 : 0);
        } else {
            entry["start"] = JsonNumber(axis.range.start);
            entry["end"] = JsonNumber(axis.range.end);
            entry["steps"] = axis.range.steps;
            entry["logarithmic"] = axis.range.logarithmic;
        }
        entry["values"] = axis.Count();
        axes.push_back(std::move(entry));
    }
    return {{"axes", std::move(axes)}, {"readouts", plan.readouts}, {"points", SweepPointCount(plan)}};
}

RowRange ShardRows(std::int64_t points, std::int64_t k, std::int64_t n)
{
    // floor(points * j / n) without the product overflowing.
    const auto boundary = [&](std::int64_t j) { return (points / n) * j + (points % n) * j / n; };
    return {boundary(k - 1), boundary(k)};
}

} // namespace tamrisk
