// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/DepthProfile.h"
#include "model/ModelParameters.h"
#include "model/SignalCurves.h"
#include "output/ByteSink.h"
#include "plot/FigureAxis.h"
#include "plot/FigureData.h"
#include "plot/FigureOptions.h"
#include "plot/FitFigureData.h"

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
    FigureAxis vertical;   // depth plot: top edge downward; the others: bottom edge upward
    FigureRect legend;     // width 0: no legend
    // A map's colour bar, the values along it (bottom to top) and its contour levels.
    FigureRect colourBar;
    FigureAxis colourAxis;
    std::vector<double> levels;
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

// Draws a scan map or a sweep family (options.kind Scan or Sweep) from its
// numbers, as WriteFigure draws the window's plots. Throws
// std::invalid_argument for options or data that cannot make a figure.
FigureFrame WriteDataFigure(const FigureOptions& options, const FigureData& data, ByteSink& sink,
                            std::vector<std::string>* notes = nullptr, const FigureStopCheck& stop = {});

// Draws the figure of a fit (options.kind Fit): the data with error bars,
// the fitted curves with their 95 % bands and the residuals below.
FigureFrame WriteFitFigure(const FigureOptions& options, const FitFigureData& data, ByteSink& sink,
                           std::vector<std::string>* notes = nullptr, const FigureStopCheck& stop = {});

} // namespace tamrisk
