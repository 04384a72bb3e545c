// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/Figure.h"

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

} // namespace tamrisk
