// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/RenderPlots.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace tamrisk::test {

inline constexpr Color kBlack = Rgb(0, 0, 0);

// Everything one rendering reads and writes.
struct Rendering {
    ModelParameters params;
    DisplayFlags flags;
    DepthProfile profile;
    SignalCurves curves;
    PlotPictures pictures;

    PlotReadouts Render() { return RenderPlots(params, flags, profile, curves, pictures); }
};

// A run of pixels set by rectangle filling, independent of the line drawing.
inline void SetRun(Raster& r, int x0, int y0, int x1, int y1, Color c)
{
    r.FillSolidRect(x0, y0, x1 - x0 + 1, y1 - y0 + 1, c);
}

inline Raster Background(int w, int h)
{
    Raster r(w, h);
    r.FillSolidRect(0, 0, w, h, kPlotBackground);
    return r;
}

// Background, value axis on row 50 to x = 449, depth axis on column 50 to
// y = 449, value-1 line on `oneColumn`.
inline Raster DepthAxesOnly(int oneColumn, int valueAxisLast = 449)
{
    Raster r = Background(500, 500);
    SetRun(r, 50, 50, valueAxisLast, 50, kBlack);
    SetRun(r, 50, 50, 50, 449, kBlack);
    SetRun(r, oneColumn, 50, oneColumn, 449, kBlack);
    return r;
}

// Background, time axis on row 225 to x = 498, signal axis on column 50 up to y = 27.
inline Raster SignalAxesOnly(int signalAxisTop = 27)
{
    Raster r = Background(500, 250);
    SetRun(r, 50, 225, 498, 225, kBlack);
    SetRun(r, 50, signalAxisTop, 50, 225, kBlack);
    return r;
}

// The differing pixels as "(x,y)=rrggbb" texts, so a failure shows where.
inline std::vector<std::string> Differences(const Raster& got, const Raster& want, std::size_t limit = 12)
{
    std::vector<std::string> out;
    if (got.width() != want.width() || got.height() != want.height())
        return {"size differs"};
    for (int y = 0; y < got.height() && out.size() < limit; ++y)
        for (int x = 0; x < got.width() && out.size() < limit; ++x)
            if (got.pixel(x, y) != want.pixel(x, y)) {
                char text[64];
                std::snprintf(text, sizeof text, "(%d,%d)=%06x want %06x", x, y, got.pixel(x, y), want.pixel(x, y));
                out.emplace_back(text);
            }
    return out;
}

// The rows (or columns) of a column (row) that hold `color`.
inline std::set<int> RowsWith(const Raster& r, int x, Color color)
{
    std::set<int> rows;
    for (int y = 0; y < r.height(); ++y)
        if (r.pixel(x, y) == color)
            rows.insert(y);
    return rows;
}

inline std::set<int> ColumnsWith(const Raster& r, int y, Color color)
{
    std::set<int> columns;
    for (int x = 0; x < r.width(); ++x)
        if (r.pixel(x, y) == color)
            columns.insert(x);
    return columns;
}

inline std::set<int> Range(int first, int last)
{
    std::set<int> s;
    for (int i = first; i <= last; ++i)
        s.insert(i);
    return s;
}

// A profile whose 14 arrays hold n copies of `value`.
inline DepthProfile FlatProfile(int n, float value)
{
    DepthProfile p;
    for (std::vector<float>* v : {&p.intensity, &p.oslContribution, &p.labDose, &p.natDoseRate, &p.ratio, &p.intLabDose,
                                  &p.intNatDoseRate, &p.intRatio, &p.effLabDose, &p.effNatDoseRate, &p.effRatio,
                                  &p.effIntLabDose, &p.effIntNatDoseRate, &p.effIntRatio})
        v->assign(static_cast<std::size_t>(n), value);
    return p;
}

inline SignalCurves FlatCurves(int n, float value)
{
    SignalCurves c;
    for (std::vector<float>* v : {&c.totalSignalLab, &c.totalSignalNat, &c.totalSignalHomogeneous, &c.signalAtDepth})
        v->assign(static_cast<std::size_t>(n), value);
    c.summedComputed = true;
    c.signalAtDepthComputed = true;
    return c;
}

// With plotMax 1 (0.0025 per pixel) this value lies in the middle of `column`.
inline float ValueAtColumn(int column) { return static_cast<float>((column - 49.5) * 0.0025); }

} // namespace tamrisk::test
