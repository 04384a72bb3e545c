// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/Figure.h"
#include "plot/ShownCurves.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tamrisk {

// The axes of a figure, set from the window's ranges.
struct AxisSetup {
    FigureAxis horizontal, vertical;
    std::optional<double> valueOne; // depth plot: where the value 1 lies along the value axis
};

// A curve's samples as fractions along the two axes; nothing where a sample has no place.
struct Series {
    const CurveRow* row;
    std::vector<std::optional<std::pair<double, double>>> samples;
};

// The axes for the shown curves: the window's ranges, logarithmic ones
// reaching down to the decade below the smallest positive value. Ranges that
// cannot be drawn get a stand-in and a note, as do values a logarithmic axis
// leaves out.
AxisSetup MakeAxes(const FigureOptions& options, const ModelParameters& params, const std::vector<ShownCurve>& shown,
                   int points, std::vector<std::string>& notes);

// Each shown curve's samples at the model's depths or times, placed on the axes.
std::vector<Series> MakeSeries(PlotKind kind, const std::vector<ShownCurve>& shown, int points,
                               const ModelParameters& params, const AxisSetup& axes);

// A point of fractions along the axes on the page.
std::pair<double, double> ToPage(const FigureFrame& frame, bool verticalDown, std::pair<double, double> f);

// Liang-Barsky: cuts the segment to the rectangle; false when nothing of it is inside.
bool ClipSegment(double& x0, double& y0, double& x1, double& y1, const FigureRect& r, bool* startMoved = nullptr,
                 bool* endMoved = nullptr);

FigureRect Grown(const FigureRect& r, double by);

} // namespace tamrisk
