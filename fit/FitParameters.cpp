// SPDX-License-Identifier: GPL-3.0-or-later
#include "fit/FitParameters.h"

#include "fit/FitObservable.h"
#include "model/ParseText.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tamrisk {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// Inputs without a physical meaning below 0.
bool NonNegative(std::string_view name)
{
    return name == "extinction" || name == "eval-time" || name == "dose-rate" || name == "rate1";
}

std::optional<double> Bound(std::string_view text, bool& ok)
{
    ok = true;
    if (text.empty())
        return std::nullopt;
    const std::optional<double> value = ParseStrictNumber(text);
    ok = value.has_value() && !std::isnan(*value);
    return value;
}

} // namespace

std::vector<std::string> FreeableNames()
{
    std::vector<std::string> names = FittableInputNames();
    names.emplace_back(kScaleParameter);
    names.emplace_back(kOffsetParameter);
    return names;
}

std::optional<FreeOptionProblem> ParseFreeOption(std::string_view text, bool each, FreeOption& freed)
{
    const std::string option = each ? "--free-each" : "--free";
    freed = FreeOption{};
    freed.each = each;
    const std::size_t nameEnd = text.find_first_of("=:");
    freed.name = std::string(text.substr(0, nameEnd));
    const std::vector<std::string> names = FreeableNames();
    if (std::find(names.begin(), names.end(), freed.name) == names.end())
        return FreeOptionProblem{option + ": '" + freed.name + "' is not a real input of the model nor scale or offset",
                                 freed.name};
    std::string_view rest = nameEnd == std::string_view::npos ? std::string_view() : text.substr(nameEnd);
    const std::string where = option + " " + std::string(text) + ": ";
    if (rest.starts_with("=")) {
        const std::size_t colon = rest.find(':');
        const std::string_view start =
            rest.substr(1, colon == std::string_view::npos ? std::string_view::npos : colon - 1);
        freed.start = ParseStrictNumber(start);
        if (!freed.start || !std::isfinite(*freed.start))
            return FreeOptionProblem{where + "the start '" + std::string(start) + "' is not a finite number", {}};
        rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon);
    }
    if (!rest.empty()) {
        const std::size_t second = rest.find(':', 1);
        if (second == std::string_view::npos || rest.find(':', second + 1) != std::string_view::npos)
            return FreeOptionProblem{where + "give the bounds as NAME[=START]:LO:HI", {}};
        bool lowOk = true, highOk = true;
        freed.low = Bound(rest.substr(1, second - 1), lowOk);
        freed.high = Bound(rest.substr(second + 1), highOk);
        if (!lowOk || !highOk)
            return FreeOptionProblem{where + "a bound is not a number", {}};
        if (freed.low && freed.high && !(*freed.low < *freed.high))
            return FreeOptionProblem{where + "the lower bound must be below the upper one", {}};
    }
    return std::nullopt;
}

std::variant<std::vector<FitParameter>, std::string> MakeFitParameters(const std::vector<FreeOption>& freedOptions,
                                                                       std::size_t sets, const Inputs& base)
{
    std::vector<FitParameter> parameters;
    for (std::size_t a = 0; a < freedOptions.size(); ++a)
        for (std::size_t b = 0; b < a; ++b)
            if (freedOptions[a].name == freedOptions[b].name)
                return "'" + freedOptions[a].name + "' is freed twice";
    std::vector<const FreeOption*> ordered;
    for (const bool each : {false, true})
        for (const FreeOption& freed : freedOptions)
            if (freed.each == each)
                ordered.push_back(&freed);
    for (const FreeOption* freed : ordered) {
        FitParameter p;
        p.base = freed->name;
        p.input = FindFittableInput(freed->name);
        p.start = p.input != nullptr ? InputValue(base, *p.input) : freed->name == kScaleParameter ? 1.0 : 0.0;
        if (freed->start)
            p.start = *freed->start;
        p.low = freed->low.value_or(NonNegative(freed->name) ? 0.0 : -kInfinity);
        p.high = freed->high.value_or(kInfinity);
        if (!(p.start >= p.low && p.start <= p.high))
            return "the start of " + freed->name + ", " + std::to_string(p.start) + ", lies outside its bounds" +
                   (freed->low ? "" : " (an input that cannot be negative is bounded below by 0)");
        const std::size_t copies = freed->each ? sets : 1;
        for (std::size_t s = 0; s < copies; ++s) {
            p.set = freed->each ? int(s) : -1;
            p.name = freed->each && sets > 1 ? freed->name + "[" + std::to_string(s + 1) + "]" : freed->name;
            parameters.push_back(p);
        }
    }
    return parameters;
}

SetModel ApplyParameters(const std::vector<FitParameter>& parameters, const std::vector<double>& x, const Inputs& base,
                         int set)
{
    SetModel model{base};
    for (std::size_t j = 0; j < parameters.size(); ++j) {
        const FitParameter& p = parameters[j];
        if (p.set >= 0 && p.set != set)
            continue;
        if (p.input != nullptr)
            SetInputValue(model.inputs, *p.input, x[j]);
        else if (p.base == kScaleParameter)
            model.scale = x[j];
        else
            model.offset = x[j];
    }
    return model;
}

} // namespace tamrisk
