// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/ScanGrid.h"

#include "lanes/ModelExp.h"
#include "model/ModelLog.h"
#include "model/ParseText.h"
#include "output/CleanTable.h"

#include <cmath>
#include <utility>

namespace tamrisk {

namespace {

ScanAxis ReadAxis(const std::string& start, const std::string& end, const std::string& steps, bool logarithmic)
{
    ScanAxis axis;
    axis.start = float(ParseNumber(start));
    axis.end = float(ParseNumber(end));
    axis.steps = ParseInteger(steps);
    axis.logarithmic = logarithmic;
    return axis;
}

bool Positive(float value)
{
    return value > 0.0f; // false for NaN as well
}

} // namespace

std::optional<AxisFault> CheckAxis(const ScanAxis& axis)
{
    // An end beyond the range of single precision (1e39) is stored as
    // infinity and would make every value of the axis NaN or infinite.
    if (!std::isfinite(axis.start) || !std::isfinite(axis.end))
        return AxisFault::NotFinite;
    if (axis.logarithmic && axis.steps >= 0 && !(Positive(axis.start) && (axis.steps == 0 || Positive(axis.end))))
        return AxisFault::LogarithmicThroughZero;
    return std::nullopt;
}

ScanGrid ReadScanGrid(const ScanGridTexts& texts)
{
    ScanGrid grid;
    grid.extinction = ReadAxis(texts.extinctionStart, texts.extinctionEnd, texts.extinctionSteps, texts.extinctionLog);
    grid.evalTime = ReadAxis(texts.evalTimeStart, texts.evalTimeEnd, texts.evalTimeSteps, texts.evalTimeLog);
    return grid;
}

std::optional<std::string> CheckScanGrid(const ScanGrid& grid)
{
    const char* const finite = ": Start- und Endwert m\u00fcssen endliche Zahlen sein.";
    const char* const positive =
        ": Bei logarithmischer Einteilung m\u00fcssen Start- und Endwert gr\u00f6\u00dfer als 0 sein.";
    const std::pair<const ScanAxis*, const char*> axes[] = {
        {&grid.extinction, "Transparenz (Ex. [1/mm])"},
        {&grid.evalTime, "Auswertezeit [s]"},
    };
    for (const auto& [axis, name] : axes)
        if (const std::optional<AxisFault> fault = CheckAxis(*axis))
            return std::string(name) + (*fault == AxisFault::NotFinite ? finite : positive);
    return std::nullopt;
}

nlohmann::ordered_json GridJson(const ScanGrid& grid)
{
    const auto axis = [](const ScanAxis& a) {
        return nlohmann::ordered_json{{"start", JsonNumber(a.start)},
                                      {"end", JsonNumber(a.end)},
                                      {"steps", a.steps},
                                      {"logarithmic", a.logarithmic},
                                      {"values", a.steps >= 0 ? std::int64_t(a.steps) + 1 : 0}};
    };
    const std::int64_t outer = grid.extinction.steps >= 0 ? std::int64_t(grid.extinction.steps) + 1 : 0;
    const std::int64_t inner = grid.evalTime.steps >= 0 ? std::int64_t(grid.evalTime.steps) + 1 : 0;
    return {{"extinction_per_mm", axis(grid.extinction)},
            {"eval_time_s", axis(grid.evalTime)},
            {"points", outer * inner}};
}

double AxisValue(float start, float end, int steps, int k, bool logarithmic)
{
    // A single-value axis has no step width; its one value is start.
    if (steps == 0)
        return double(start);
    if (logarithmic) {
        const double logStart = ModelLog(double(start));
        return detail::ModelExp(logStart + ((ModelLog(double(end)) - logStart) / steps) * k);
    }
    return double(start) + ((double(end) - double(start)) / steps) * k;
}

} // namespace tamrisk
