#include "plot/Recompute.h"

namespace tamrisk {

PlotReadouts Recompute(const ControlState& controls, ModelState& state)
{
    ReadParameters(controls, state.params, state.flags);
    ComputeModel(state.params, state.flags, state.profile, state.curves);
    return RenderPlots(state.params, state.flags, state.profile, state.curves, state.pictures);
}

} // namespace tamrisk
