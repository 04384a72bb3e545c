#pragma once

#include "model/ComputeModel.h"
#include "model/ReadParameters.h"
#include "plot/RenderPlots.h"

namespace tamrisk {

// Everything one recomputation reads and writes: what the main window owns.
struct ModelState {
    ModelParameters params;
    DisplayFlags flags;
    DepthProfile profile;
    SignalCurves curves;
    PlotPictures pictures;
};

// The recomputation chain: ReadParameters, ComputeModel, RenderPlots.
PlotReadouts Recompute(const ControlState& controls, ModelState& state);

} // namespace tamrisk
