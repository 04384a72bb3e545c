#include "plot/Recompute.h"

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
    const ModelParameters& p = state.params;
    const DepthProfile& d = state.profile;

    using M = MainControl;
    // "..." is an automatic maximum's label text until a rendering writes it;
    // the value is the axis maximum in use either way.
    return {
        {M::ExtinctionReadout, "extinction_per_mm", values.extinction, sliders.extinction},
        {M::HalfValueDepthReadout, "half_value_depth_mm", values.halfValueDepth, sliders.halfValueDepth},
        {M::TransmissionReadout, "transmission", values.transmission, sliders.transmission},
        {M::DoseRateReadout, "external_dose_rate", values.doseRate, sliders.doseRate},
        {M::EvalTimeReadout, "eval_time_s", values.evalTime, sliders.evalTime},
        {M::DepthReadout, "signal_depth_mm", values.depth, sliders.depth},
        {M::ProfileAutoMaxReadout, "profile_axis_max", p.plotMax, plots.depthAutoMax.value_or("...")},
        {M::SignalAutoMaxReadout, "signal_axis_max", p.intensityMax, plots.signalAutoMax.value_or("...")},
        {M::EffLabTotalReadout, "eff_lab_total", d.effLabTotal, plots.effLabTotal},
        {M::EffNatTotalReadout, "eff_nat_total", d.effNatTotal, plots.effNatTotal},
        {M::EffRatioReadout, "eff_ratio", double(d.effLabTotal) / double(d.effNatTotal), plots.effRatio},
    };
}

} // namespace tamrisk
