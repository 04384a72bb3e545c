// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/InputTable.h"

#include "model/ControlIds.h"
#include "model/ParseText.h"
#include "model/ShortestText.h"

#include <array>
#include <charconv>

namespace tamrisk {

namespace {

// Accessors of one field, as plain functions the table can hold.
template <std::string EditTexts::*Text>
std::string GetEdit(const Inputs& in)
{
    return in.controls.edits.*Text;
}
template <std::string EditTexts::*Text>
void SetEdit(Inputs& in, const std::string& text)
{
    in.controls.edits.*Text = text;
}

template <int SliderPositions::*Position>
std::string GetSlider(const Inputs& in)
{
    return std::to_string(in.controls.sliders.*Position);
}
template <int SliderPositions::*Position>
void SetSlider(Inputs& in, const std::string& text)
{
    in.controls.sliders.*Position = ParseInteger(text);
}

template <bool DisplayFlags::*Flag>
std::string GetFlag(const Inputs& in)
{
    return in.controls.flags.*Flag ? "1" : "0";
}
template <bool DisplayFlags::*Flag>
void SetFlag(Inputs& in, const std::string& text)
{
    in.controls.flags.*Flag = text == "1";
}

std::string GetTransparency(const Inputs& in) { return in.controls.transparencyCorrection ? "1" : "0"; }
void SetTransparency(Inputs& in, const std::string& text) { in.controls.transparencyCorrection = text == "1"; }

template <std::optional<double> ParameterOverrides::*Value>
std::string GetValue(const Inputs& in)
{
    const std::optional<double>& value = in.overrides.*Value;
    return value ? ShortestText(*value) : std::string();
}
template <std::optional<double> ParameterOverrides::*Value>
void SetValue(Inputs& in, const std::string& text)
{
    in.overrides.*Value = text.empty() ? std::nullopt : ParseStrictNumber(text);
}

template <std::string ScanGridTexts::*Text>
std::string GetGrid(const Inputs& in)
{
    return in.grid.*Text;
}
template <std::string ScanGridTexts::*Text>
void SetGrid(Inputs& in, const std::string& text)
{
    in.grid.*Text = text;
}

template <bool ScanGridTexts::*Flag>
std::string GetGridSwitch(const Inputs& in)
{
    return in.grid.*Flag ? "1" : "0";
}
template <bool ScanGridTexts::*Flag>
void SetGridSwitch(Inputs& in, const std::string& text)
{
    in.grid.*Flag = text == "1";
}

// The scale of a slider that does not follow the edges.
template <const SliderScale& Scale>
SliderScale FixedScale(float, float)
{
    return Scale;
}

using K = InputKind;
using M = MainControl;
using G = GridControl;
constexpr InputDialog Main = InputDialog::Main;
constexpr InputDialog Grid = InputDialog::Grid;

// Accessors, integer-ness and slider scale of a row, by the kind of field it sets.
#define EDIT(field) &GetEdit<&EditTexts::field>, &SetEdit<&EditTexts::field>, false, nullptr
#define INTEGER_EDIT(field) &GetEdit<&EditTexts::field>, &SetEdit<&EditTexts::field>, true, nullptr
#define SLIDER(field, scale) &GetSlider<&SliderPositions::field>, &SetSlider<&SliderPositions::field>, false, scale
#define FLAG(field) &GetFlag<&DisplayFlags::field>, &SetFlag<&DisplayFlags::field>, false, nullptr
#define VALUE(field) &GetValue<&ParameterOverrides::field>, &SetValue<&ParameterOverrides::field>, false, nullptr
#define GRID(field) &GetGrid<&ScanGridTexts::field>, &SetGrid<&ScanGridTexts::field>, false, nullptr
#define INTEGER_GRID(field) &GetGrid<&ScanGridTexts::field>, &SetGrid<&ScanGridTexts::field>, true, nullptr
#define GRID_SWITCH(field) &GetGridSwitch<&ScanGridTexts::field>, &SetGridSwitch<&ScanGridTexts::field>, false, nullptr

const std::array kInputs = {
    InputRow{"top", "mm", "top edge of the slab", K::Text, Main, IdNumber(M::TopEdit), EDIT(top)},
    InputRow{"bottom", "mm", "bottom edge of the slab", K::Text, Main, IdNumber(M::BottomEdit), EDIT(bottom)},
    InputRow{"plot-max", "", "value-axis maximum of the depth plot, used without automatic scaling", K::Text, Main,
             IdNumber(M::PlotMaxEdit), EDIT(plotMax)},
    InputRow{"integral-scale", "", "factor on every running integral over depth", K::Text, Main,
             IdNumber(M::IntegralScaleEdit), EDIT(integralScale)},
    InputRow{"intensity-max", "", "value-axis maximum of the signal plot, used without automatic scaling", K::Text,
             Main, IdNumber(M::IntensityMaxEdit), EDIT(intensityMax)},
    InputRow{"time-max", "s", "end of the time axis of the signal curves", K::Text, Main, IdNumber(M::TimeMaxEdit),
             EDIT(timeMax)},
    InputRow{"rate1", "1/s", "OSL decay rate (fraction per second)", K::Text, Main, IdNumber(M::Rate1Edit),
             EDIT(rate1)},
    InputRow{"rate2", "1/s", "second decay rate; kept, but the model does not use it", K::Text, Main,
             IdNumber(M::Rate2Edit), EDIT(rate2)},
    InputRow{"curve-step", "samples", "every N-th depth sample enters the summed signal curves", K::Text, Main,
             IdNumber(M::CurveStepEdit), INTEGER_EDIT(curveStep)},
    InputRow{"extinction-pos", "", "extinction slider: position p gives 10^(-2 + 5p/200) 1/mm", K::Position, Main,
             IdNumber(M::ExtinctionSlider), SLIDER(extinction, &FixedScale<kExtinctionScale>)},
    InputRow{"dose-rate-pos", "", "external dose-rate slider: position p gives 2p/200 of the internal rate",
             K::Position, Main, IdNumber(M::DoseRateSlider), SLIDER(doseRate, &FixedScale<kDoseRateScale>)},
    InputRow{"eval-time-pos", "", "evaluation-time slider: position p gives 10^(5p/200) s", K::Position, Main,
             IdNumber(M::EvalTimeSlider), SLIDER(evalTime, &FixedScale<kEvalTimeScale>)},
    InputRow{"depth-pos", "", "depth slider of the single decay curve: top + (bottom - top) p/200 mm", K::Position,
             Main, IdNumber(M::DepthSlider), SLIDER(depth, &DepthScale)},
    InputRow{"transparency-correction", "", "multiply the OSL fraction by the intensity", K::Switch, Main,
             IdNumber(M::TransparencyCorrectionBox), &GetTransparency, &SetTransparency, false, nullptr},
    InputRow{"auto-profile", "", "scale the depth plot's value axis to the largest shown value", K::Switch, Main,
             IdNumber(M::AutoScaleProfileBox), FLAG(autoScaleProfile)},
    InputRow{"auto-signal", "", "scale the signal plot's value axis to the largest shown value", K::Switch, Main,
             IdNumber(M::AutoScaleSignalBox), FLAG(autoScaleSignal)},
    InputRow{"extinction", "1/mm", "extinction coefficient, set directly instead of by its slider", K::Value, Main,
             IdNumber(M::ExtinctionSlider), VALUE(extinction)},
    InputRow{"eval-time", "s", "evaluation time, set directly instead of by its slider", K::Value, Main,
             IdNumber(M::EvalTimeSlider), VALUE(evalTime)},
    InputRow{"dose-rate", "", "external dose rate relative to the internal one, set directly", K::Value, Main,
             IdNumber(M::DoseRateSlider), VALUE(doseRate)},
    InputRow{"depth", "mm", "depth of the single decay curve, set directly", K::Value, Main, IdNumber(M::DepthSlider),
             VALUE(depth)},
    InputRow{"ext-start", "1/mm", "scan: first extinction coefficient", K::Text, Grid, IdNumber(G::ExtinctionStart),
             GRID(extinctionStart)},
    InputRow{"ext-end", "1/mm", "scan: last extinction coefficient", K::Text, Grid, IdNumber(G::ExtinctionEnd),
             GRID(extinctionEnd)},
    InputRow{"ext-steps", "", "scan: intervals on the extinction axis (values = steps + 1)", K::Text, Grid,
             IdNumber(G::ExtinctionSteps), INTEGER_GRID(extinctionSteps)},
    InputRow{"ext-log", "", "scan: 1 spaces the extinctions logarithmically, 0 linearly", K::Switch, Grid,
             IdNumber(G::ExtinctionLog), GRID_SWITCH(extinctionLog)},
    InputRow{"time-start", "s", "scan: first evaluation time", K::Text, Grid, IdNumber(G::EvalTimeStart),
             GRID(evalTimeStart)},
    InputRow{"time-end", "s", "scan: last evaluation time", K::Text, Grid, IdNumber(G::EvalTimeEnd), GRID(evalTimeEnd)},
    InputRow{"time-steps", "", "scan: intervals on the evaluation-time axis (values = steps + 1)", K::Text, Grid,
             IdNumber(G::EvalTimeSteps), INTEGER_GRID(evalTimeSteps)},
    InputRow{"time-log", "", "scan: 1 spaces the evaluation times logarithmically, 0 linearly", K::Switch, Grid,
             IdNumber(G::EvalTimeLog), GRID_SWITCH(evalTimeLog)},
};

#undef EDIT
#undef INTEGER_EDIT
#undef SLIDER
#undef FLAG
#undef VALUE
#undef GRID
#undef INTEGER_GRID
#undef GRID_SWITCH

} // namespace

std::span<const InputRow> InputTable() { return kInputs; }

const InputRow* FindInput(std::string_view name)
{
    for (const InputRow& row : kInputs)
        if (name == row.name)
            return &row;
    return nullptr;
}

std::string DefaultText(const InputRow& row) { return row.get(Inputs{}); }

const InputRow* FindSlider(int controlId)
{
    for (const InputRow& row : kInputs)
        if (row.kind == InputKind::Position && row.controlId == controlId)
            return &row;
    return nullptr;
}

bool IsIntegerInput(const InputRow& row) { return row.integer; }

std::optional<PositionRange> SliderRange(const InputRow& row)
{
    if (row.scale == nullptr)
        return std::nullopt;
    // The position range is the same whatever the edges.
    const SliderScale scale = row.scale(0.0f, 0.0f);
    return PositionRange{int(scale.posMin), int(scale.posMax)};
}

bool IsPositionText(const InputRow& row, std::string_view text)
{
    const std::optional<PositionRange> range = SliderRange(row);
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), end, value);
    return range && !text.empty() && error == std::errc() && ptr == end && value >= range->low && value <= range->high;
}

std::optional<double> ValueUsed(const InputRow& row, const Inputs& inputs)
{
    const std::string text = row.get(inputs);
    switch (row.kind) {
    case InputKind::Text:
        return IsIntegerInput(row) ? double(ParseInteger(text)) : double(float(ParseNumber(text)));
    case InputKind::Switch:
        return text == "1" ? 1.0 : 0.0;
    case InputKind::Value:
        if (text.empty() || !ParseStrictNumber(text))
            return std::nullopt;
        return double(float(*ParseStrictNumber(text)));
    case InputKind::Position:
        break;
    }
    const EditTexts& edits = inputs.controls.edits;
    const SliderScale scale = row.scale(float(ParseNumber(edits.top)), float(ParseNumber(edits.bottom)));
    return PositionToValue(ParseInteger(text), scale);
}

} // namespace tamrisk
