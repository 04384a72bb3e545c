// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/DepthProfile.h"
#include "model/ModelParameters.h"
#include "model/SignalCurves.h"
#include "output/ByteSink.h"
#include "plot/FigureAxis.h"
#include "plot/FigureOptions.h"

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tamrisk {

struct FigureRect {
    double x = 0.0, y = 0.0, width = 0.0, height = 0.0; // points, y downward
};

// Where a figure put its plot area and which values lie along its edges.
struct FigureFrame {
    FigureRect plot;
    FigureAxis horizontal; // left edge to right edge
    FigureAxis vertical;   // depth plot: top edge downward; signal plot: bottom edge upward
};

// Thrown when the figure's stop check asked it to stop.
class FigureStopped : public std::runtime_error {
public:
    FigureStopped() : std::runtime_error("the figure was stopped") {}
};

// Asked often while a figure is drawn and encoded; true stops it.
using FigureStopCheck = std::function<bool()>;

// Draws one plot as a figure with axes, ticks, labels and a legend into the
// sink. It shows the curves the window shows, on the window's axis ranges:
// params are those after RenderPlots, so automatic maxima are in place.
// Things worth telling the user (values left off a logarithmic axis, an axis
// that cannot be drawn) go to notes. Throws std::invalid_argument for options
// CheckFigureOptions refuses, FileError when the sink fails and
// FigureStopped when `stop` asks it to stop (the sink may then have part).
FigureFrame WriteFigure(const FigureOptions& options, const ModelParameters& params, const DisplayFlags& flags,
                        const DepthProfile& profile, const SignalCurves& curves, ByteSink& sink,
                        std::vector<std::string>* notes = nullptr, const FigureStopCheck& stop = {});

} // namespace tamrisk
