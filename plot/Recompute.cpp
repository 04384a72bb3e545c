// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/Recompute.h"

#include "plot/ReadoutTable.h"

namespace tamrisk {

PlotReadouts Recompute(const ControlState& controls, ModelState& state, const ParameterOverrides& overrides)
{
    ReadParameters(controls, state.params, state.flags);
    ApplyOverrides(overrides, state.params);
    ComputeModel(state.params, state.flags, state.profile, state.curves);
    return RenderPlots(state.params, state.flags, state.profile, state.curves, state.pictures);
}

PlotReadouts RecomputeNumbers(const ControlState& controls, ModelState& state, const ParameterOverrides& overrides)
{
    ReadParameters(controls, state.params, state.flags);
    ApplyOverrides(overrides, state.params);
    ComputeModel(state.params, state.flags, state.profile, state.curves);
    return ScalePlots(state.params, state.flags, state.profile, state.curves);
}

std::vector<Readout> ComputeReadouts(const Inputs& inputs, ModelState& state)
{
    // The slider read-outs use the edges of the previous ReadParameters; for a
    // fresh window that is its own first recomputation from the same controls.
    RecomputeNumbers(inputs.controls, state, inputs.overrides);
    const ModelParameters previous = state.params;
    const PlotReadouts plots = RecomputeNumbers(inputs.controls, state, inputs.overrides);
    const SliderValues values = ComputeSliderValues(inputs.controls.sliders, previous, inputs.overrides, state.params);
    const SliderReadouts sliders = FormatSliderReadouts(values);

    std::vector<Readout> readouts;
    for (const ReadoutRow& row : ReadoutTable()) {
        if (row.slider)
            readouts.push_back(
                {row.id, row.name, values.*row.sliderValue, sliders.*row.sliderText, row.computedInDouble});
        else
            readouts.push_back({row.id, row.name, row.renderedValue(state.params, state.profile),
                                row.renderedText(plots).value_or(kUnwrittenReadout), row.computedInDouble});
    }
    return readouts;
}

} // namespace tamrisk
