// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/Figure.h"

#include <functional>
#include <string>
#include <vector>

typedef struct _cairo cairo_t;

namespace tamrisk {

// Lays out and draws one figure of width x height points on a cairo context
// whose user units are points; notes collects what the user should hear.
// Throws FigureStopped when `stop` (asked between curves and segments) says so.
FigureFrame DrawFigure(cairo_t* cr, double width, double height, const FigureOptions& options,
                       const ModelParameters& params, const DisplayFlags& flags, const DepthProfile& profile,
                       const SignalCurves& curves, std::vector<std::string>& notes, const FigureStopCheck& stop = {});

// Makes the page of a figure in the options' format and size (checked by the
// caller), lets `draw` draw on it in points, and writes the file to the sink.
// Throws FigureStopped when `stop` says so, FileError when the sink fails.
FigureFrame WritePage(const FigureOptions& options, ByteSink& sink, const FigureStopCheck& stop,
                      const std::function<FigureFrame(cairo_t*, double width, double height)>& draw);

} // namespace tamrisk
