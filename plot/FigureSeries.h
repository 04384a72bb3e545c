// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/Figure.h"
#include "plot/FigureData.h"
#include "plot/ShownCurves.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tamrisk {

// The axes of a figure.
struct AxisSetup {
    FigureAxis horizontal, vertical;
    std::optional<double> valueOne; // depth plot: where the value 1 lies along the value axis
};

// A curve as the figure draws it: its legend name and pen, and its samples
// as fractions along the two axes (nothing where a sample has no place).
struct Series {
    std::string name;
    PenColor color;
    LineDash dash = LineDash::Solid;
    bool casing = false; // a light window pen, drawn over a dark edge
    std::vector<std::optional<std::pair<double, double>>> samples;
    std::string notDrawn; // why nothing of it is drawn ("not finite"), or empty
};

// The axes for the shown curves. Window style: the window's ranges,
// logarithmic ones reaching down to the decade below the smallest positive
// value. Print style: the same ranges with headroom, reaching below 0 where
// values do, ending on round numbers. Ranges that cannot be drawn get a
// stand-in and a note, as do values a logarithmic axis leaves out.
AxisSetup MakeAxes(const FigureOptions& options, const ModelParameters& params, const std::vector<ShownCurve>& shown,
                   int points, std::vector<std::string>& notes);

// Each shown curve's samples at the model's depths or times, placed on the
// axes, with its legend name and pen. Curves of which nothing can be drawn
// are named in a note.
std::vector<Series> MakeSeries(const FigureOptions& options, const std::vector<ShownCurve>& shown, int points,
                               const ModelParameters& params, const AxisSetup& axes, std::vector<std::string>& notes);

// The axes and curves of a sweep's family: one curve per value of the second varied input.
AxisSetup MakeFamilyAxes(const FigureOptions& options, const FigureData& data, std::vector<std::string>& notes);
std::vector<Series> MakeFamilySeries(const FigureOptions& options, const FigureData& data, const AxisSetup& axes,
                                     std::vector<std::string>& notes);

// The legend text of a curve that is not drawn, in the language.
std::string NotDrawnText(const std::string& reason, Language language);

// A number as a legend or label shows it: up to 4 significant digits, the
// decimal comma and a true minus sign where the language asks for them.
std::string ShortNumber(double value, Language language);

// A point of fractions along the axes on the page.
std::pair<double, double> ToPage(const FigureFrame& frame, bool verticalDown, std::pair<double, double> f);

// Liang-Barsky: cuts the segment to the rectangle; false when nothing of it is inside.
bool ClipSegment(double& x0, double& y0, double& x1, double& y1, const FigureRect& r, bool* startMoved = nullptr,
                 bool* endMoved = nullptr);

FigureRect Grown(const FigureRect& r, double by);

} // namespace tamrisk
