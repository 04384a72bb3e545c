// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/Figure.h"
#include "plot/FigureText.h"
#include "plot/FitFigureData.h"

#include <string>
#include <vector>

typedef struct _cairo cairo_t;

namespace tamrisk {

// What a figure is drawn from: the window's state for its two plots, the
// numbers of a scan or a sweep, or a fit's data and curves.
struct FigureSource {
    const ModelParameters* params = nullptr;
    const DisplayFlags* flags = nullptr;
    const DepthProfile* profile = nullptr;
    const SignalCurves* curves = nullptr;
    const FigureData* data = nullptr;
    const FitFigureData* fit = nullptr;
};

// Lays out and draws one figure of width x height points on a cairo context
// whose user units are points; notes collects what the user should hear.
// With `placed` set, texts are listed there instead of drawn. Throws
// FigureStopped when `stop` (asked between curves, segments and contour
// levels) says so.
FigureFrame DrawFigure(cairo_t* cr, double width, double height, const FigureOptions& options,
                       const FigureSource& source, std::vector<std::string>& notes, const FigureStopCheck& stop = {},
                       std::vector<PlacedText>* placed = nullptr);

} // namespace tamrisk
