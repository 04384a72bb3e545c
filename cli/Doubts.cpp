// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Doubts.h"

#include "output/CleanText.h"

#include <algorithm>
#include <cmath>

namespace tamrisk::cli {

namespace {

// A parameter with a physical lower bound, and the options that set it.
struct PhysicalRange {
    float ModelParameters::*field;
    const char* meaning;
    const char* options;
    const char* sweepName; // the name --vary gives it
};

constexpr PhysicalRange kNonNegative[] = {
    {&ModelParameters::extinction, "the extinction coefficient", "--extinction, --extinction-pos", "extinction"},
    {&ModelParameters::evalTime, "the evaluation time", "--eval-time, --eval-time-pos", "eval-time"},
    {&ModelParameters::externalDoseRate, "the external dose rate", "--dose-rate, --dose-rate-pos", "dose-rate"},
    {&ModelParameters::rate1, "the decay rate", "--rate1", "rate1"},
};

bool Varied(std::span<const std::string> varied, const char* name)
{
    return std::find(varied.begin(), varied.end(), name) != varied.end();
}

} // namespace

void Doubts::CheckParameters(const ModelParameters& params, std::span<const std::string> varied)
{
    for (const PhysicalRange& range : kNonNegative) {
        const float value = params.*range.field;
        if (Varied(varied, range.sweepName))
            continue;
        if (!std::isfinite(value))
            Add(std::string(range.meaning) + " (" + range.options + ") is " + CleanText(value) +
                ", not a finite number");
        else if (value < 0.0f)
            Add(std::string(range.meaning) + " (" + range.options + ") is " + CleanText(value) +
                ", below 0, which has no physical meaning");
    }
    const bool edges = !Varied(varied, "top") && !Varied(varied, "bottom");
    if (edges && !(std::isfinite(params.top) && std::isfinite(params.bottom)))
        Add("the slab's edges (--top, --bottom) are " + CleanText(params.top) + " and " + CleanText(params.bottom) +
            " mm, not both finite numbers");
    else if (edges && params.top > params.bottom)
        Add("the top edge (--top " + CleanText(params.top) + " mm) lies below the bottom edge (--bottom " +
            CleanText(params.bottom) + " mm)");
    if (edges && !Varied(varied, "depth") && std::isfinite(params.top) && std::isfinite(params.bottom) &&
        params.top <= params.bottom && !(params.signalDepth >= params.top && params.signalDepth <= params.bottom))
        Add("the depth of the single decay curve (--depth, --depth-pos) is " + CleanText(params.signalDepth) +
            " mm, outside the slab from " + CleanText(params.top) + " to " + CleanText(params.bottom) + " mm");
}

void Doubts::CheckFinite(const std::string& what, std::span<const float> values)
{
    const auto count = std::count_if(values.begin(), values.end(), [](float v) { return !std::isfinite(v); });
    if (count == 0)
        return;
    Add(count == std::ptrdiff_t(values.size()) ? "every value of " + what + " is not finite"
                                               : std::to_string(count) + " of " + std::to_string(values.size()) +
                                                     " values of " + what + " are not finite");
}

void Doubts::CheckFinite(const std::string& what, double value)
{
    if (!std::isfinite(value))
        Add(what + " is " + CleanText(value));
}

} // namespace tamrisk::cli
