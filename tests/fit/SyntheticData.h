// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Data sets made by the model itself at known inputs, with seeded Gaussian noise.
#include "fit/FitData.h"
#include "fit/FitParameters.h"

#include <random>
#include <string>
#include <vector>

namespace tamrisk::testing {

// Inputs with the given real inputs set, by option name.
inline Inputs InputsWith(const std::vector<std::pair<std::string, double>>& values)
{
    Inputs inputs;
    for (const auto& [name, value] : values)
        SetInputValue(inputs, *FindInput(name), value);
    return inputs;
}

// The observable at `keys` (depths or times) for the inputs, times scale,
// with noise of `relative` * value + `floor` standard error.
inline DataSet SampledSet(const std::string& column, const std::vector<double>& keys, const Inputs& truth, double scale,
                          double relative, double floor, std::mt19937& random)
{
    DataSet set;
    set.name = column;
    set.points.observable = *FindObservable(column);
    set.keyColumns = {set.points.observable.kind == ObservableKind::Profile ? "depth_mm" : "time_s"};
    set.points.keys = keys;
    std::vector<double> values;
    EvaluateObservable(set.points, truth, 1, {}, values);
    std::normal_distribution<double> noise;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const double y = scale * values[i];
        const double sigma = relative * std::abs(y) + floor;
        set.observed.push_back(y + sigma * noise(random));
        set.sigma.push_back(sigma);
        set.lines.push_back(int(i) + 2);
    }
    return set;
}

// A total or read-out at each value of one input.
inline DataSet TotalsSet(const std::string& column, const std::string& input, const std::vector<double>& values,
                         const Inputs& truth, double relative, std::mt19937& random)
{
    DataSet set;
    set.name = column;
    set.points.observable = *FindObservable(column, ObservableKind::Total);
    set.points.inputs = {FindInput(input)};
    for (double v : values)
        set.points.rows.push_back({v});
    set.keyColumns = {input};
    std::vector<double> model;
    EvaluateObservable(set.points, truth, 2, {}, model);
    std::normal_distribution<double> noise;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const double sigma = relative * std::abs(model[i]);
        set.observed.push_back(model[i] + sigma * noise(random));
        set.sigma.push_back(sigma);
        set.lines.push_back(int(i) + 2);
    }
    return set;
}

inline std::vector<double> Spaced(double first, double step, int count)
{
    std::vector<double> v;
    for (int k = 0; k < count; ++k)
        v.push_back(first + step * k);
    return v;
}

inline FitParameter Free(const std::string& name, double start, int set = -1, double low = -INFINITY,
                         double high = INFINITY)
{
    FitParameter p{name, name, FindFittableInput(name), set, start, low, high};
    if (set >= 0)
        p.name += "[" + std::to_string(set + 1) + "]";
    return p;
}

} // namespace tamrisk::testing
