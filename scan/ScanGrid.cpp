#include "scan/ScanGrid.h"

#include "model/ParseText.h"
#include "output/CleanTable.h"

#include <cmath>

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
    return value > 0.0f;  // false for NaN as well
}

} // namespace

std::optional<AxisFault> CheckAxis(const ScanAxis& axis)
{
    if (axis.steps < 0)
        return std::nullopt;
    const bool endUsed = axis.steps > 0;
    if (axis.logarithmic && !(Positive(axis.start) && (!endUsed || Positive(axis.end))))
        return AxisFault::LogarithmicThroughZero;
    if (!std::isfinite(axis.start) || (endUsed && !std::isfinite(axis.end)))
        return AxisFault::NotFinite;
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
    const char* const rule = ": Bei logarithmischer Einteilung m\u00fcssen Start- und Endwert gr\u00f6\u00dfer als 0 sein.";
    if (CheckAxis(grid.extinction) == AxisFault::LogarithmicThroughZero)
        return std::string("Transparenz (Ex. [1/mm])") + rule;
    if (CheckAxis(grid.evalTime) == AxisFault::LogarithmicThroughZero)
        return std::string("Auswertezeit [s]") + rule;
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
    return {{"extinction_per_mm", axis(grid.extinction)}, {"eval_time_s", axis(grid.evalTime)}, {"points", outer * inner}};
}

double AxisValue(float start, float end, int steps, int k, bool logarithmic)
{
    // A single-value axis has no step width; its one value is start.
    if (steps == 0)
        return double(start);
    if (logarithmic) {
        const double logStart = std::log(double(start));
        return std::exp(logStart + ((std::log(double(end)) - logStart) / steps) * k);
    }
    return double(start) + ((double(end) - double(start)) / steps) * k;
}

} // namespace tamrisk
