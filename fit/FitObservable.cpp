// SPDX-License-Identifier: GPL-3.0-or-later
#include "fit/FitObservable.h"

#include "lanes/ColumnLoops.h"
#include "model/ComputeModel.h"
#include "model/ModelFormulas.h"
#include "model/ShortestText.h"
#include "plot/Recompute.h"
#include "scan/SweepAxis.h"
#include "scan/TableEngine.h"

#include <algorithm>
#include <cmath>

namespace tamrisk {

namespace {

using P = DepthProfile;

// The columns the model computes per sample; the others are running sums.
constexpr std::vector<float> P::*kPointwise[] = {&P::intensity, &P::oslContribution, &P::natDoseRate, &P::labDose,
                                                 &P::ratio,     &P::effNatDoseRate,  &P::effLabDose,  &P::effRatio};

// The totals come from the depth profile alone; other read-outs need the window's chain.
bool IsProfileTotal(const ReadoutRow& row)
{
    return row.id == MainControl::EffLabTotalReadout || row.id == MainControl::EffNatTotalReadout ||
           row.id == MainControl::EffRatioReadout;
}

ModelParameters ParametersOf(const Inputs& inputs)
{
    ModelParameters params;
    DisplayFlags flags;
    ReadParameters(inputs.controls, params, flags);
    ApplyOverrides(inputs.overrides, params);
    return params;
}

// Linear interpolation in a sampled array at position x of a grid of `step`;
// the ends held beyond the samples.
double Interpolate(const std::vector<float>& values, float step, double x)
{
    if (values.empty())
        return std::nan("");
    const double u = step > 0.0f ? x / double(step) : 0.0;
    if (!(u > 0.0))
        return double(values.front());
    const double last = double(values.size() - 1);
    if (u >= last)
        return double(values.back());
    const std::size_t i = std::size_t(u);
    const double w = u - double(i);
    return double(values[i]) + w * (double(values[i + 1]) - double(values[i]));
}

// One data point's total or read-out, on one thread.
class TotalPointMaker {
public:
    TotalPointMaker(const ObservablePoints& points, const Inputs& inputs) : points_(points), inputs_(inputs) {}

    double Value(std::size_t point)
    {
        const std::vector<double>& row = points_.rows[point];
        for (std::size_t c = 0; c < row.size(); ++c)
            SetInputValue(inputs_, *points_.inputs[c], row[c]);
        const ReadoutRow& readout = *points_.observable.readout;
        if (IsProfileTotal(readout)) {
            const ModelParameters params = ParametersOf(inputs_);
            ComputeDepthProfile(params, profile_);
            return readout.renderedValue(params, profile_);
        }
        const std::vector<Readout> readouts = ComputeReadouts(inputs_, state_);
        for (const Readout& r : readouts)
            if (r.id == readout.id)
                return r.value;
        return std::nan("");
    }

private:
    const ObservablePoints& points_;
    Inputs inputs_;
    DepthProfile profile_;
    ModelState state_;
};

struct ValueBlock {
    std::int64_t first = 0;
    std::vector<double> values;
};

} // namespace

std::optional<Observable> FindObservable(std::string_view column, std::optional<ObservableKind> kind)
{
    using K = ObservableKind;
    for (const ProfileArrayRow& row : kProfileArrays)
        if (column == row.column && kind.value_or(K::Profile) == K::Profile)
            return Observable{K::Profile, row.column, &row, nullptr, nullptr};
    for (const SignalArrayRow& row : kSignalArrays)
        if (column == row.column && kind.value_or(K::Curve) == K::Curve)
            return Observable{K::Curve, row.column, nullptr, &row, nullptr};
    if (const ReadoutRow* row = FindReadout(column); row && kind.value_or(K::Total) == K::Total)
        return Observable{K::Total, row->name, nullptr, nullptr, row};
    return std::nullopt;
}

std::vector<std::string> ObservableNames()
{
    std::vector<std::string> names;
    for (const ProfileArrayRow& row : kProfileArrays)
        names.emplace_back(row.column);
    for (const SignalArrayRow& row : kSignalArrays)
        names.emplace_back(row.column);
    for (const std::string& name : ReadoutNames())
        names.push_back(name);
    return names;
}

std::vector<std::string> FittableInputNames()
{
    std::vector<std::string> names;
    for (const std::string& name : SweepableNames())
        if (FindInput(name)->kind != InputKind::Switch)
            names.push_back(name);
    return names;
}

const InputRow* FindFittableInput(std::string_view name)
{
    const std::vector<std::string> names = FittableInputNames();
    return std::find(names.begin(), names.end(), name) != names.end() ? FindInput(name) : nullptr;
}

std::vector<InputColumn> InputColumns()
{
    std::vector<InputColumn> columns;
    for (const std::string& name : FittableInputNames()) {
        SweepAxis axis;
        axis.input = FindInput(name);
        columns.push_back({axis.input, axis.ColumnName()});
    }
    return columns;
}

const InputRow* FindInputColumn(std::string_view column)
{
    for (const InputColumn& c : InputColumns())
        if (c.column == column)
            return c.input;
    return nullptr;
}

void SetInputValue(Inputs& inputs, const InputRow& input, double value)
{
    // The shortest text reads back to the same number, as a typed text or a direct value.
    input.set(inputs, ShortestText(value));
}

double InputValue(const Inputs& inputs, const InputRow& input)
{
    if (const std::optional<double> value = ValueUsed(input, inputs))
        return *value;
    // A direct value that is not given: its slider's.
    if (const InputRow* slider = FindSlider(input.controlId))
        return ValueUsed(*slider, inputs).value_or(std::nan(""));
    return std::nan("");
}

bool IsPointwise(const ProfileArrayRow& column)
{
    return std::find(std::begin(kPointwise), std::end(kPointwise), column.values) != std::end(kPointwise);
}

float PointwiseValue(const ProfileArrayRow& column, const ModelParameters& params, float z)
{
    // The steps of the profile's loop for one sample, in its order and roundings.
    const double attenuation = detail::Attenuation(z, params.extinction);
    const float intensity = static_cast<float>(attenuation);
    const double weight = detail::IntensityWeight(intensity, params.transparencyExponent);
    float osl = detail::OslFractionFromAttenuation(attenuation, params.evalTime, params.rate1);
    if (params.transparencyCorrection)
        osl = static_cast<float>(weight * double(osl));
    const float lab = LabDoseFit(z);
    const float nat = NatDoseRateAt(z, params.betaAttenuation, params.externalDoseRate);
    const float effLab = static_cast<float>(weight * double(lab) * double(osl));
    const float effNat = static_cast<float>(weight * double(nat) * double(osl));
    DepthProfile one;
    for (auto [member, value] :
         {std::pair{&P::intensity, intensity}, std::pair{&P::oslContribution, osl}, std::pair{&P::labDose, lab},
          std::pair{&P::natDoseRate, nat}, std::pair{&P::effLabDose, effLab}, std::pair{&P::effNatDoseRate, effNat}})
        (one.*member).assign(1, value);
    if (column.ratioOfLab != nullptr) {
        float ratio = 0.0f;
        detail::RatioColumn((one.*column.ratioOfLab).data(), (one.*column.ratioOfNat).data(), &ratio, 1);
        return ratio;
    }
    return (one.*column.values).front();
}

std::optional<SampleSpan> InterpolatedSpan(const Observable& observable, const Inputs& inputs)
{
    const ModelParameters params = ParametersOf(inputs);
    if (observable.kind == ObservableKind::Profile && !IsPointwise(*observable.profile))
        return SampleSpan{0.0, GridPosition(params.depthPoints - 1, DepthStep(params))};
    if (observable.kind == ObservableKind::Curve)
        return SampleSpan{0.0, GridPosition(params.timePoints - 1, TimeStep(params))};
    return std::nullopt;
}

bool EvaluateObservable(const ObservablePoints& points, const Inputs& inputs, int threads,
                        const std::function<bool()>& stopRequested, std::vector<double>& values)
{
    const Observable& observable = points.observable;
    values.assign(points.Count(), 0.0);
    if (observable.kind == ObservableKind::Profile) {
        const ModelParameters params = ParametersOf(inputs);
        if (IsPointwise(*observable.profile)) {
            for (std::size_t i = 0; i < points.keys.size(); ++i)
                values[i] = double(PointwiseValue(*observable.profile, params, float(points.keys[i])));
            return true;
        }
        DepthProfile profile;
        ComputeDepthProfile(params, profile);
        for (std::size_t i = 0; i < points.keys.size(); ++i)
            values[i] = Interpolate(profile.*observable.profile->values, DepthStep(params), points.keys[i]);
        return true;
    }
    if (observable.kind == ObservableKind::Curve) {
        const ModelParameters params = ParametersOf(inputs);
        DisplayFlags flags;
        flags.showSignalAtDepth = observable.curve->computed == &SignalCurves::signalAtDepthComputed;
        flags.showTotalSignalHomogeneous = !flags.showSignalAtDepth;
        DepthProfile profile;
        SignalCurves curves;
        ComputeModel(params, flags, profile, curves);
        for (std::size_t i = 0; i < points.keys.size(); ++i)
            values[i] = Interpolate(curves.*observable.curve->values, TimeStep(params), points.keys[i]);
        return true;
    }
    // A model run per point, on the table engine in blocks of points.
    const RowRange range{0, std::int64_t(points.Count())};
    const TableBlocks blocks(range, 1, std::max(threads, 1));
    const auto makeProducer = [&] {
        return [&blocks, maker = TotalPointMaker(points, inputs)](std::int64_t b, ValueBlock& block) mutable {
            const RowRange rows = blocks.Block(b);
            block.first = rows.first;
            block.values.clear();
            for (std::int64_t row = rows.first; row < rows.last; ++row)
                block.values.push_back(maker.Value(std::size_t(row)));
        };
    };
    const auto consume = [&](std::int64_t, const ValueBlock& block) {
        std::copy(block.values.begin(), block.values.end(), values.begin() + block.first);
        return true;
    };
    return RunTable<ValueBlock>({blocks.Count(), std::max(threads, 1), stopRequested}, makeProducer, consume);
}

} // namespace tamrisk
