// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/ReadoutTable.h"

#include "output/NumberText.h"

#include <array>
#include <stdexcept>

namespace tamrisk {

namespace {

using M = MainControl;
using T = ReadoutText;
using V = SliderValues;
using R = SliderReadouts;

template <auto Field>
double ParameterValue(const ModelParameters& p, const DepthProfile&)
{
    return p.*Field;
}
template <auto Field>
double ProfileValue(const ModelParameters&, const DepthProfile& d)
{
    return d.*Field;
}
// The ratio is the double it is computed in.
double TotalsRatio(const ModelParameters&, const DepthProfile& d)
{
    return double(d.effLabTotal) / double(d.effNatTotal);
}

template <auto Field>
std::optional<std::string> Written(const PlotReadouts& r)
{
    return r.*Field;
}

#define SLIDER(slider, field) false, M::slider, &V::field, &R::field, nullptr, nullptr
#define RENDERED(value, text)                                                                                          \
    value == &TotalsRatio, std::nullopt, nullptr, nullptr, value, &Written<&PlotReadouts::text>

const std::array<ReadoutRow, 11> kReadouts = {{
    {M::ExtinctionReadout, "extinction_per_mm", "1/mm", T::Slider, SLIDER(ExtinctionSlider, extinction)},
    {M::HalfValueDepthReadout, "half_value_depth_mm", "mm", T::Slider, SLIDER(ExtinctionSlider, halfValueDepth)},
    {M::TransmissionReadout, "transmission", "", T::Slider, SLIDER(ExtinctionSlider, transmission)},
    {M::DoseRateReadout, "external_dose_rate", "", T::Slider, SLIDER(DoseRateSlider, doseRate)},
    {M::EvalTimeReadout, "eval_time_s", "s", T::Slider, SLIDER(EvalTimeSlider, evalTime)},
    {M::DepthReadout, "signal_depth_mm", "mm", T::Slider, SLIDER(DepthSlider, depth)},
    // The axis maxima in use, whether a rendering wrote them or not.
    {M::ProfileAutoMaxReadout, "profile_axis_max", "", T::AxisMaximum,
     RENDERED(&ParameterValue<&ModelParameters::plotMax>, depthAutoMax)},
    {M::SignalAutoMaxReadout, "signal_axis_max", "", T::AxisMaximum,
     RENDERED(&ParameterValue<&ModelParameters::intensityMax>, signalAutoMax)},
    {M::EffLabTotalReadout, "eff_lab_total", "", T::Total,
     RENDERED(&ProfileValue<&DepthProfile::effLabTotal>, effLabTotal)},
    {M::EffNatTotalReadout, "eff_nat_total", "", T::Total,
     RENDERED(&ProfileValue<&DepthProfile::effNatTotal>, effNatTotal)},
    {M::EffRatioReadout, "eff_ratio", "", T::Total, RENDERED(&TotalsRatio, effRatio)},
}};

#undef SLIDER
#undef RENDERED

} // namespace

std::span<const ReadoutRow> ReadoutTable() { return kReadouts; }

const ReadoutRow* FindReadout(std::string_view name)
{
    for (const ReadoutRow& row : kReadouts)
        if (name == row.name)
            return &row;
    return nullptr;
}

const ReadoutRow& ReadoutOf(MainControl id)
{
    for (const ReadoutRow& row : kReadouts)
        if (row.id == id)
            return row;
    throw std::invalid_argument("control " + std::to_string(IdNumber(id)) + " is no read-out");
}

std::vector<std::string> ReadoutNames()
{
    std::vector<std::string> names;
    for (const ReadoutRow& row : kReadouts)
        names.emplace_back(row.name);
    return names;
}

std::string WidestReadoutText(ReadoutText text)
{
    const std::string slider = FormatReadout(-8.888e+37);
    switch (text) {
    case ReadoutText::Slider:
        return slider;
    case ReadoutText::AxisMaximum:
        return "(" + slider + ")";
    case ReadoutText::Total:
        return FormatGeneral(-8.88888e+37, 6);
    }
    return slider;
}

} // namespace tamrisk
