#include "plot/Recompute.h"

namespace tamrisk {

PlotReadouts Recompute(const ControlState& controls, ModelState& state, const ParameterOverrides& overrides)
{
    ReadParameters(controls, state.params, state.flags);
    ApplyOverrides(overrides, state.params);
    ComputeModel(state.params, state.flags, state.profile, state.curves);
    return RenderPlots(state.params, state.flags, state.profile, state.curves, state.pictures);
}

std::vector<Readout> ComputeReadouts(const Inputs& inputs, ModelState& state)
{
    // The slider read-outs use the edges of the previous ReadParameters; for a
    // fresh window that is its own first recomputation from the same controls.
    Recompute(inputs.controls, state, inputs.overrides);
    const ModelParameters previous = state.params;
    const PlotReadouts plots = Recompute(inputs.controls, state, inputs.overrides);
    const SliderReadouts sliders =
        ComputeSliderReadouts(inputs.controls.sliders, previous, inputs.overrides, state.params);

    using M = MainControl;
    // "..." is an automatic maximum's label text until a rendering writes it.
    return {
        {M::ExtinctionReadout, "extinction", sliders.extinction},
        {M::HalfValueDepthReadout, "half_value_depth", sliders.halfValueDepth},
        {M::TransmissionReadout, "transmission", sliders.transmission},
        {M::DoseRateReadout, "dose_rate", sliders.doseRate},
        {M::EvalTimeReadout, "eval_time", sliders.evalTime},
        {M::DepthReadout, "depth", sliders.depth},
        {M::ProfileAutoMaxReadout, "profile_auto_max", plots.depthAutoMax.value_or("...")},
        {M::SignalAutoMaxReadout, "signal_auto_max", plots.signalAutoMax.value_or("...")},
        {M::EffLabTotalReadout, "eff_lab_total", plots.effLabTotal},
        {M::EffNatTotalReadout, "eff_nat_total", plots.effNatTotal},
        {M::EffRatioReadout, "eff_ratio", plots.effRatio},
    };
}

} // namespace tamrisk
