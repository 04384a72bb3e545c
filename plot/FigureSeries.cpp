// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/FigureSeries.h"

#include "model/SampleGrid.h"

#include <algorithm>
#include <cmath>

namespace tamrisk {

namespace {

// An axis from lo to hi, or a usable stand-in with a note.
FigureAxis UsableLinear(double lo, double hi, const char* what, std::vector<std::string>& notes)
{
    if (std::isfinite(lo) && std::isfinite(hi) && hi > lo)
        return {lo, hi, false};
    notes.push_back(std::string("the ") + what + " axis has no usable range; drawn from " +
                    (std::isfinite(lo) ? "its start" : "0") + " over one unit");
    const double start = std::isfinite(lo) ? lo : 0.0;
    return {start, start + 1.0, false};
}

// A logarithmic axis up to hi, reaching down to the whole decade below the
// smallest positive value it shows.
FigureAxis UsableLog(double smallestPositive, double hi, const char* what, std::vector<std::string>& notes)
{
    if (!(std::isfinite(hi) && hi > 0.0)) {
        notes.push_back(std::string("the logarithmic ") + what +
                        " axis has no positive maximum; drawn from 0.001 to 1");
        return {0.001, 1.0, true};
    }
    double lo = std::isfinite(smallestPositive) ? std::pow(10.0, std::floor(std::log10(smallestPositive))) : 0.0;
    if (!(lo > 0.0) || lo >= hi)
        lo = std::pow(10.0, std::ceil(std::log10(hi)) - 1.0);
    if (lo >= hi)
        lo = hi / 10.0;
    return {lo, hi, true};
}

double SmallestPositive(const std::vector<ShownCurve>& shown, int points)
{
    double smallest = INFINITY;
    for (const ShownCurve& c : shown)
        for (int i = 0; i < points; ++i)
            if (c.values[i] > 0.0f && std::isfinite(c.values[i]))
                smallest = std::min(smallest, double(c.values[i]));
    return smallest;
}

void NoteLeftOut(const std::vector<ShownCurve>& shown, int points, std::vector<std::string>& notes)
{
    for (const ShownCurve& c : shown) {
        int count = 0;
        for (int i = 0; i < points; ++i)
            if (c.values[i] <= 0.0f)
                ++count;
        if (count > 0)
            notes.push_back(std::string(c.row->name) + ": " + std::to_string(count) +
                            " values of 0 or below left out of the logarithmic value axis");
    }
}

} // namespace

AxisSetup MakeAxes(const FigureOptions& options, const ModelParameters& params, const std::vector<ShownCurve>& shown,
                   int points, std::vector<std::string>& notes)
{
    AxisSetup axes;
    if (options.logValues)
        NoteLeftOut(shown, points, notes);
    if (options.kind == PlotKind::Depth) {
        axes.horizontal = options.logValues ? UsableLog(SmallestPositive(shown, points), params.plotMax, "value", notes)
                                            : UsableLinear(0.0, params.plotMax, "value", notes);
        axes.vertical = UsableLinear(params.top, params.bottom, "depth", notes);
        if (options.logTime)
            notes.push_back("a logarithmic time axis applies to the signal plot only");
        const std::optional<double> one = axes.horizontal.Fraction(1.0);
        if (one && *one >= 0.0 && *one <= 1.0)
            axes.valueOne = one;
    } else {
        const double step = TimeStep(params);
        axes.horizontal = options.logTime ? UsableLog(step, params.timeMax, "time", notes)
                                          : UsableLinear(params.timeMin, params.timeMax, "time", notes);
        if (options.logTime && !shown.empty())
            notes.push_back("the sample at time 0 is left out of the logarithmic time axis");
        axes.vertical = options.logValues
                            ? UsableLog(SmallestPositive(shown, points), params.intensityMax, "signal", notes)
                            : UsableLinear(params.intensityMin, params.intensityMax, "signal", notes);
    }
    return axes;
}

std::vector<Series> MakeSeries(PlotKind kind, const std::vector<ShownCurve>& shown, int points,
                               const ModelParameters& params, const AxisSetup& axes)
{
    std::vector<Series> all;
    const float step = kind == PlotKind::Depth ? DepthStep(params) : TimeStep(params);
    for (const ShownCurve& c : shown) {
        Series series{c.row, {}};
        series.samples.reserve(std::size_t(points));
        for (int i = 0; i < points; ++i) {
            const double position = GridPosition(i, step);
            const double value = c.values[i];
            const std::optional<double> u = axes.horizontal.Fraction(kind == PlotKind::Depth ? value : position);
            const std::optional<double> w = axes.vertical.Fraction(kind == PlotKind::Depth ? position : value);
            series.samples.push_back(u && w ? std::optional(std::pair(*u, *w)) : std::nullopt);
        }
        all.push_back(std::move(series));
    }
    return all;
}

std::pair<double, double> ToPage(const FigureFrame& frame, bool verticalDown, std::pair<double, double> f)
{
    const FigureRect& p = frame.plot;
    const double y = verticalDown ? p.y + f.second * p.height : p.y + p.height - f.second * p.height;
    return {p.x + f.first * p.width, y};
}

bool ClipSegment(double& x0, double& y0, double& x1, double& y1, const FigureRect& r, bool* startMoved, bool* endMoved)
{
    double t0 = 0.0, t1 = 1.0;
    const double dx = x1 - x0, dy = y1 - y0;
    const auto edge = [&](double p, double q) {
        if (p == 0.0)
            return q >= 0.0;
        const double t = q / p;
        if (p < 0.0) {
            if (t > t1)
                return false;
            t0 = std::max(t0, t);
        } else {
            if (t < t0)
                return false;
            t1 = std::min(t1, t);
        }
        return true;
    };
    if (!edge(-dx, x0 - r.x) || !edge(dx, r.x + r.width - x0) || !edge(-dy, y0 - r.y) || !edge(dy, r.y + r.height - y0))
        return false;
    if (startMoved)
        *startMoved = t0 > 0.0;
    if (endMoved)
        *endMoved = t1 < 1.0;
    const double ox = x0, oy = y0;
    x0 = ox + t0 * dx;
    y0 = oy + t0 * dy;
    x1 = ox + t1 * dx;
    y1 = oy + t1 * dy;
    return true;
}

FigureRect Grown(const FigureRect& r, double by) { return {r.x - by, r.y - by, r.width + 2 * by, r.height + 2 * by}; }

} // namespace tamrisk
