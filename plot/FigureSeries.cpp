// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/FigureSeries.h"

#include "model/SampleGrid.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tamrisk {

namespace {

constexpr double kHeadroom = 0.04; // of the span, above the largest value of a printed value axis

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

double SmallestPositive(const float* const* values, std::size_t curves, int points)
{
    double smallest = INFINITY;
    for (std::size_t c = 0; c < curves; ++c)
        for (int i = 0; i < points; ++i)
            if (values[c][i] > 0.0f && std::isfinite(values[c][i]))
                smallest = std::min(smallest, double(values[c][i]));
    return smallest;
}

double SmallestPositive(const std::vector<ShownCurve>& shown, int points)
{
    std::vector<const float*> values;
    for (const ShownCurve& c : shown)
        values.push_back(c.values);
    return SmallestPositive(values.data(), values.size(), points);
}

double SmallestFinite(const std::vector<ShownCurve>& shown, int points)
{
    double smallest = INFINITY;
    for (const ShownCurve& c : shown)
        for (int i = 0; i < points; ++i)
            if (std::isfinite(c.values[i]))
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

// A printed value axis: from 0 (or below, where values are) up to the
// window's maximum, with headroom, on round numbers.
FigureAxis PrintValueAxis(const FigureAxis& window, double smallest)
{
    if (window.log)
        return RoundedAxis(window.lo, window.hi, true, 0.0);
    const double lo = std::isfinite(smallest) ? std::min(window.lo, smallest) : window.lo;
    return RoundedAxis(lo, window.hi, false, kHeadroom);
}

// A printed axis of depth or time: the range itself, its ends moved out to round numbers.
FigureAxis PrintDomainAxis(const FigureAxis& window) { return RoundedAxis(window.lo, window.hi, window.log, 0.0); }

// Why nothing of a curve shows: no finite sample, or none within the axes.
std::string NothingDrawn(const std::vector<std::optional<std::pair<double, double>>>& samples, bool anyFinite)
{
    if (!anyFinite)
        return "not finite";
    constexpr double kIn = 1e-9;
    const auto inside = [](double f) { return f >= -kIn && f <= 1.0 + kIn; };
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (!samples[i])
            continue;
        if (inside(samples[i]->first) && inside(samples[i]->second))
            return {};
        // A segment may cross the plot area between two samples outside it.
        if (i > 0 && samples[i - 1]) {
            double x0 = samples[i - 1]->first, y0 = samples[i - 1]->second;
            double x1 = samples[i]->first, y1 = samples[i]->second;
            if (ClipSegment(x0, y0, x1, y1, FigureRect{0.0, 0.0, 1.0, 1.0}))
                return {};
        }
    }
    return "outside the axes";
}

std::string Lowered(std::string text)
{
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z')
        text[0] = char(text[0] - 'A' + 'a');
    return text;
}

// English: the array's name with its unit; German: the curve's German name.
// Ratios are numbered in legend order where more than one is shown.
std::string CurveLegendName(const CurveRow& row, Language language, int ratioNumber)
{
    const std::string name = language == Language::En ? CurveEnglishName(row) : row.germanName;
    if (ratioNumber == 0)
        return name;
    const std::string number = std::to_string(ratioNumber);
    if (language == Language::En)
        return "Ratio " + number + ": " + Lowered(name);
    static constexpr std::string_view kRatio = "Verhältnis";
    const std::size_t at = name.find(kRatio);
    if (at == std::string::npos)
        return "Verhältnis " + number + ": " + name;
    return name.substr(0, at + kRatio.size()) + " " + number + ":" + name.substr(at + kRatio.size());
}

} // namespace

std::string NotDrawnText(const std::string& reason, Language language)
{
    if (language == Language::En)
        return "not drawn: " + reason;
    if (reason == "not finite")
        return "nicht gezeichnet: nicht endlich";
    if (reason == "outside the axes")
        return "nicht gezeichnet: außerhalb der Achsen";
    return "nicht gezeichnet: " + reason;
}

std::string ShortNumber(double value, Language language)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.4g", value);
    std::string s = text;
    if (language == Language::De)
        std::replace(s.begin(), s.end(), '.', ',');
    if (!s.empty() && s.front() == '-')
        s.replace(0, 1, "\u2212");
    return s;
}

AxisSetup MakeAxes(const FigureOptions& options, const ModelParameters& params, const std::vector<ShownCurve>& shown,
                   int points, std::vector<std::string>& notes)
{
    AxisSetup axes;
    const bool print = options.style == FigureStyle::Print;
    if (options.logValues)
        NoteLeftOut(shown, points, notes);
    const double smallest = SmallestFinite(shown, points);
    if (options.kind == PlotKind::Depth) {
        axes.horizontal = options.logValues ? UsableLog(SmallestPositive(shown, points), params.plotMax, "value", notes)
                                            : UsableLinear(0.0, params.plotMax, "value", notes);
        // Depth below the lit surface, as the clean tables give it: the model's
        // samples lie from 0 to the slab's thickness whatever top is.
        axes.vertical = UsableLinear(0.0, double(params.bottom) - double(params.top), "depth", notes);
        if (print) {
            axes.horizontal = PrintValueAxis(axes.horizontal, smallest);
            axes.vertical = PrintDomainAxis(axes.vertical);
        }
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
        if (print) {
            axes.horizontal = PrintDomainAxis(axes.horizontal);
            axes.vertical = PrintValueAxis(axes.vertical, smallest);
        }
    }
    return axes;
}

std::vector<Series> MakeSeries(const FigureOptions& options, const std::vector<ShownCurve>& shown, int points,
                               const ModelParameters& params, const AxisSetup& axes, std::vector<std::string>& notes)
{
    const PlotKind kind = options.kind;
    const bool print = options.style == FigureStyle::Print;
    std::vector<Series> all;
    const float step = kind == PlotKind::Depth ? DepthStep(params) : TimeStep(params);
    int ratios = 0;
    for (const ShownCurve& c : shown)
        ratios += IsRatioCurve(*c.row);
    int ratioNumber = 0;
    for (const ShownCurve& c : shown) {
        Series series;
        if (ratios > 1 && IsRatioCurve(*c.row))
            ++ratioNumber;
        series.name = CurveLegendName(*c.row, options.language, IsRatioCurve(*c.row) && ratios > 1 ? ratioNumber : 0);
        const PenColor& window = c.row->pen;
        series.color = print ? c.row->print.color : window;
        series.dash = print ? c.row->print.dash : LineDash::Solid;
        series.casing = !print && 0.2126 * window.r + 0.7152 * window.g + 0.0722 * window.b > 170.0;
        series.samples.reserve(std::size_t(points));
        bool anyFinite = false;
        for (int i = 0; i < points; ++i) {
            const double position = GridPosition(i, step);
            const double value = c.values[i];
            anyFinite = anyFinite || std::isfinite(value);
            const std::optional<double> u = axes.horizontal.Fraction(kind == PlotKind::Depth ? value : position);
            const std::optional<double> w = axes.vertical.Fraction(kind == PlotKind::Depth ? position : value);
            series.samples.push_back(u && w ? std::optional(std::pair(*u, *w)) : std::nullopt);
        }
        series.notDrawn = NothingDrawn(series.samples, anyFinite);
        if (!series.notDrawn.empty())
            notes.push_back(std::string(c.row->name) + " is not drawn: " + series.notDrawn);
        all.push_back(std::move(series));
    }
    return all;
}

AxisSetup MakeFamilyAxes(const FigureOptions& options, const FigureData& data, std::vector<std::string>& notes)
{
    AxisSetup axes;
    const auto [xMin, xMax] = std::minmax_element(data.x.begin(), data.x.end());
    axes.horizontal = data.xLog ? RoundedAxis(*xMin, *xMax, true, 0.0)
                                : RoundedAxis(*xMin, *xMax > *xMin ? *xMax : *xMin + 1.0, false, 0.0);
    double lo = INFINITY, hi = -INFINITY, positive = INFINITY;
    int leftOut = 0;
    for (double v : data.z) {
        if (!std::isfinite(v))
            continue;
        lo = std::min(lo, v);
        hi = std::max(hi, v);
        if (v > 0.0)
            positive = std::min(positive, v);
        else
            ++leftOut;
    }
    if (options.logValues) {
        if (leftOut > 0)
            notes.push_back(std::to_string(leftOut) + " values of 0 or below left out of the logarithmic value axis");
        axes.vertical = std::isfinite(positive) ? RoundedAxis(positive, hi, true, 0.0) : FigureAxis{0.1, 1.0, true};
    } else if (std::isfinite(lo)) {
        axes.vertical =
            RoundedAxis(std::min(lo, 0.0), hi > std::min(lo, 0.0) ? hi : std::min(lo, 0.0) + 1.0, false, kHeadroom);
    } else {
        axes.vertical = RoundedAxis(0.0, 1.0, false, 0.0);
    }
    return axes;
}

std::vector<Series> MakeFamilySeries(const FigureOptions& options, const FigureData& data, const AxisSetup& axes,
                                     std::vector<std::string>& notes)
{
    std::vector<Series> all;
    const std::size_t n = data.x.size();
    for (std::size_t k = 0; k < data.y.size(); ++k) {
        Series series;
        series.name = ShortNumber(data.y[k], options.language);
        const PrintPen pen = FamilyPen(k);
        series.color = pen.color;
        series.dash = pen.dash;
        bool anyFinite = false;
        for (std::size_t j = 0; j < n; ++j) {
            const double v = data.z[k * n + j];
            anyFinite = anyFinite || std::isfinite(v);
            const std::optional<double> u = axes.horizontal.Fraction(data.x[j]);
            const std::optional<double> w = axes.vertical.Fraction(v);
            series.samples.push_back(u && w ? std::optional(std::pair(*u, *w)) : std::nullopt);
        }
        series.notDrawn = NothingDrawn(series.samples, anyFinite);
        if (!series.notDrawn.empty())
            notes.push_back("the curve " + data.yColumn + " = " + ShortNumber(data.y[k], Language::En) +
                            " is not drawn: " + series.notDrawn);
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
