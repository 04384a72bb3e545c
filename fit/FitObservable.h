// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/InputTable.h"
#include "model/Inputs.h"
#include "model/ProfileArrays.h"
#include "plot/ReadoutTable.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tamrisk {

// What the data's independent variable is: a depth of the profile, a time of
// the signal curves, or inputs of the model (a total or read-out at each).
enum class ObservableKind { Profile, Curve, Total };

// A modelled column, named as the clean tables name it.
struct Observable {
    ObservableKind kind = ObservableKind::Total;
    std::string column;
    const ProfileArrayRow* profile = nullptr; // Profile
    const SignalArrayRow* curve = nullptr;    // Curve
    const ReadoutRow* readout = nullptr;      // Total
};

// The observable of a column name, of the given kind where the name has
// several (eff_ratio is a profile column and the ratio of the totals).
std::optional<Observable> FindObservable(std::string_view column, std::optional<ObservableKind> kind = std::nullopt);
// Every column an observable may name, for "did you mean".
std::vector<std::string> ObservableNames();

// A real input of the model as a data column names it: the sweep's column
// names with their units ("eval_time_s", "extinction_per_mm", "dose_rate").
struct InputColumn {
    const InputRow* input;
    std::string column;
};
std::vector<InputColumn> InputColumns();
const InputRow* FindInputColumn(std::string_view column);

// The inputs of the model that a fit may free: the real inputs a sweep varies.
std::vector<std::string> FittableInputNames();
const InputRow* FindFittableInput(std::string_view name);

// Sets a real input to a value as its option would; the model uses it in
// single precision.
void SetInputValue(Inputs& inputs, const InputRow& input, double value);
// The value the model uses for a real input as the inputs stand.
double InputValue(const Inputs& inputs, const InputRow& input);

// Whether a profile column holds a value per sample (evaluated at any depth
// by the model's per-sample rules) rather than a running sum over samples.
bool IsPointwise(const ProfileArrayRow& column);

// The value of a pointwise profile column at depth z by the per-sample rules.
float PointwiseValue(const ProfileArrayRow& column, const ModelParameters& params, float z);

// The points of one data set where the model is evaluated.
struct ObservablePoints {
    Observable observable;
    std::vector<double> keys;              // Profile and Curve: one depth or time per point
    std::vector<const InputRow*> inputs;   // Total: the inputs the data set per point
    std::vector<std::vector<double>> rows; // Total: their values, one row per point
    std::size_t Count() const { return observable.kind == ObservableKind::Total ? rows.size() : keys.size(); }
};

// The grid range a sampled column reaches: depths or times the model's
// samples span, for the inputs as they stand.
struct SampleSpan {
    double first;
    double last;
};
std::optional<SampleSpan> InterpolatedSpan(const Observable& observable, const Inputs& inputs);

// The model's values at every point for the inputs: pointwise profile columns
// by the per-sample rules, running sums and curves interpolated linearly
// between the model's samples, totals and read-outs by a model run per point
// (on the table engine, up to `threads` threads). False when stopRequested
// ended it.
bool EvaluateObservable(const ObservablePoints& points, const Inputs& inputs, int threads,
                        const std::function<bool()>& stopRequested, std::vector<double>& values);

} // namespace tamrisk
