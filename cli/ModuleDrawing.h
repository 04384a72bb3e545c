// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/DepthProfile.h"
#include "model/ModelParameters.h"
#include "model/SignalCurves.h"
#include "plot/FigureData.h"
#include "plot/FigureModule.h"
#include "plot/FigureOptions.h"
#include "plot/FitFigureData.h"

#include <string>
#include <vector>

namespace tamrisk::cli {

// The figure module's draw function (or tamrisk_draw_figure where the
// figures are linked in).
using DrawFigureFunction = TamriskDrawFigure;

// A figure drawn in memory: its bytes and notes, or why it could not be drawn.
struct FigureDrawing {
    std::string bytes;
    std::vector<std::string> notes;
    std::string error;    // empty when the figure was drawn
    bool stopped = false; // stopRequested stopped it: no bytes, no error
};

// Draws as WriteFigure does, through the module's C interface: the curves the
// plot shows go over with the grids and axis ranges, and the output comes back.
// stopRequested (may be nullptr) is asked often while it draws.
FigureDrawing DrawWithModule(DrawFigureFunction draw, const FigureOptions& options, const ModelParameters& params,
                             const DisplayFlags& flags, const DepthProfile& profile, const SignalCurves& curves,
                             int (*stopRequested)() = nullptr);

// A scan map or a sweep family (options.kind Scan or Sweep) from its numbers.
FigureDrawing DrawDataWithModule(DrawFigureFunction draw, const FigureOptions& options, const FigureData& data,
                                 int (*stopRequested)() = nullptr);

// A fit's figure (options.kind Fit): its data sets and curves.
FigureDrawing DrawFitWithModule(DrawFigureFunction draw, const FigureOptions& options, const FitFigureData& fit,
                                int (*stopRequested)() = nullptr);

} // namespace tamrisk::cli
