// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/ComputeModel.h"
#include "model/ControlIds.h"
#include "model/Inputs.h"
#include "model/ReadParameters.h"
#include "output/SliderReadouts.h"
#include "plot/RenderPlots.h"

#include <string>
#include <vector>

namespace tamrisk {

// Everything one recomputation reads and writes: what the main window owns.
struct ModelState {
    ModelParameters params;
    DisplayFlags flags;
    DepthProfile profile;
    SignalCurves curves;
    PlotPictures pictures;
};

// The recomputation chain: ReadParameters, the directly set parameters,
// ComputeModel, RenderPlots.
PlotReadouts Recompute(const ControlState& controls, ModelState& state, const ParameterOverrides& overrides = {});
// The same chain with ScalePlots instead of RenderPlots: every number and
// read-out of Recompute, state.pictures left as they are.
PlotReadouts RecomputeNumbers(const ControlState& controls, ModelState& state,
                              const ParameterOverrides& overrides = {});

// One read-out label of the main window (a row of the read-out table): its
// id, its column name, the value it shows and its text.
struct Readout {
    MainControl id;
    const char* name;
    double value;
    std::string text;
    bool computedInDouble = false; // see ReadoutRow
};

// Every read-out of the window in table order, as a freshly opened
// window shows them for these inputs: the slider read-outs use the edges of
// the window's first recomputation. Leaves the numbers of the last run in
// state; the pictures are not drawn.
std::vector<Readout> ComputeReadouts(const Inputs& inputs, ModelState& state);

} // namespace tamrisk
