// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/FitFigure.h"

#include "plot/FigureDraw.h"
#include "plot/FigureSeries.h"
#include "plot/FigureText.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace tamrisk {

namespace {

constexpr double kCurveWidth = 1.0; // pt, as the other figures' curves
constexpr double kFrameWidth = 0.6;
constexpr double kBarWidth = 0.5;
constexpr double kMarker = 1.6; // radius

struct Rgb {
    double r, g, b;
};
// One colour per data set, dark enough for print.
constexpr Rgb kSetColours[] = {{0.0, 0.2, 0.6}, {0.75, 0.1, 0.1}, {0.0, 0.45, 0.15},
                               {0.5, 0.2, 0.6}, {0.8, 0.45, 0.0}, {0.2, 0.2, 0.2}};
Rgb Colour(std::size_t set) { return kSetColours[set % std::size(kSetColours)]; }

void ThrowIfStopped(const FigureStopCheck& stop)
{
    if (stop && stop())
        throw FigureStopped();
}

// An axis over the values, padded a little; logarithmic ones over the positive values.
FigureAxis AxisOver(std::vector<double> values, bool log, double pad, std::vector<std::string>& notes,
                    const char* which)
{
    values.erase(std::remove_if(values.begin(), values.end(),
                                [&](double v) { return !std::isfinite(v) || (log && !(v > 0.0)); }),
                 values.end());
    if (values.empty()) {
        notes.push_back(std::string("the ") + which + " axis has no value to show");
        return {log ? 0.1 : 0.0, log ? 10.0 : 1.0, log};
    }
    auto [lo, hi] = std::minmax_element(values.begin(), values.end());
    double a = *lo, b = *hi;
    if (log) {
        const double la = std::log10(a), lb = std::log10(b), d = std::max(lb - la, 0.1) * pad;
        return {std::pow(10.0, la - d), std::pow(10.0, lb + d), true};
    }
    if (a == b) {
        a -= std::max(std::abs(a), 1.0) * 0.5;
        b += std::max(std::abs(b), 1.0) * 0.5;
    }
    const double d = (b - a) * pad;
    return {a - d, b + d, false};
}

struct Panel {
    FigureFrame frame;
    double X(double v) const
    {
        const std::optional<double> f = frame.horizontal.Fraction(v);
        return frame.plot.x + f.value_or(NAN) * frame.plot.width;
    }
    double Y(double v) const
    {
        const std::optional<double> f = frame.vertical.Fraction(v);
        return frame.plot.y + frame.plot.height - f.value_or(NAN) * frame.plot.height;
    }
};

void Clip(cairo_t* cr, const FigureRect& r)
{
    cairo_rectangle(cr, r.x, r.y, r.width, r.height);
    cairo_clip(cr);
}

// Ticks and their numbers along one edge of a panel.
void Ticks(cairo_t* cr, const FigureText& text, const Panel& panel, bool horizontal, bool numbers, Language language,
           double fontSize)
{
    const FigureRect& p = panel.frame.plot;
    const FigureAxis& axis = horizontal ? panel.frame.horizontal : panel.frame.vertical;
    const AxisTicks ticks = MakeTicks(axis);
    const double tick = 0.45 * fontSize, minor = 0.25 * fontSize, gap = 0.3 * fontSize;
    cairo_set_source_rgb(cr, 0.0, 0.0, 0.0);
    cairo_set_line_width(cr, kFrameWidth);
    const auto mark = [&](double v, double length) {
        if (horizontal) {
            const double x = panel.X(v);
            cairo_move_to(cr, x, p.y + p.height);
            cairo_line_to(cr, x, p.y + p.height + length);
        } else {
            const double y = panel.Y(v);
            cairo_move_to(cr, p.x, y);
            cairo_line_to(cr, p.x - length, y);
        }
    };
    for (const double v : ticks.minor)
        mark(v, minor);
    for (const double v : ticks.major)
        mark(v, tick);
    cairo_stroke(cr);
    if (!numbers)
        return;
    // Where neighbours would touch, only every n-th number is written.
    double widest = 0.0;
    std::vector<std::string> texts;
    for (const double v : ticks.major) {
        texts.push_back(TickText(v, axis, ticks, language, fontSize));
        widest = std::max(widest, text.Measure(texts.back()).width);
    }
    double closest = INFINITY;
    for (std::size_t i = 1; i < ticks.major.size(); ++i)
        closest = std::min(closest, horizontal ? std::abs(panel.X(ticks.major[i]) - panel.X(ticks.major[i - 1]))
                                               : std::abs(panel.Y(ticks.major[i]) - panel.Y(ticks.major[i - 1])));
    const double needed = (horizontal ? widest : text.Measure("0").height) + 2 * gap;
    const std::size_t every =
        std::isfinite(closest) && closest > 0 ? std::max<std::size_t>(1, std::size_t(std::ceil(needed / closest))) : 1;
    for (std::size_t i = 0; i < texts.size(); i += every) {
        if (horizontal)
            text.Show(texts[i], panel.X(ticks.major[i]), p.y + p.height + tick + gap, 0.5, 0.0);
        else
            text.Show(texts[i], p.x - tick - gap, panel.Y(ticks.major[i]), 1.0, 0.5);
    }
}

double WidestTick(const FigureText& text, const FigureAxis& axis, Language language, double fontSize)
{
    const AxisTicks ticks = MakeTicks(axis);
    double widest = 0.0;
    for (const double v : ticks.major)
        widest = std::max(widest, text.Measure(TickText(v, axis, ticks, language, fontSize)).width);
    return widest;
}

// A polyline through the points that have a place on the axes, broken where one has none.
void Polyline(cairo_t* cr, const Panel& panel, const std::vector<double>& x, const std::vector<double>& y)
{
    bool open = false;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double px = panel.X(x[i]), py = panel.Y(y[i]);
        if (!std::isfinite(px) || !std::isfinite(py)) {
            open = false;
            continue;
        }
        if (open)
            cairo_line_to(cr, px, py);
        else
            cairo_move_to(cr, px, py);
        open = true;
    }
}

void Band(cairo_t* cr, const Panel& panel, const FitFigureSet& set, const Rgb& c)
{
    bool any = false;
    for (std::size_t i = 0; i < set.curveX.size(); ++i) {
        const double px = panel.X(set.curveX[i]), py = panel.Y(set.high[i]);
        if (!std::isfinite(px) || !std::isfinite(py))
            continue;
        any ? cairo_line_to(cr, px, py) : cairo_move_to(cr, px, py);
        any = true;
    }
    for (std::size_t i = set.curveX.size(); i-- > 0;) {
        const double px = panel.X(set.curveX[i]), py = panel.Y(set.low[i]);
        if (std::isfinite(px) && std::isfinite(py))
            cairo_line_to(cr, px, py);
    }
    if (!any)
        return;
    cairo_close_path(cr);
    cairo_set_source_rgba(cr, c.r, c.g, c.b, 0.18);
    cairo_fill(cr);
}

// Points with error bars (bars of `halfBars`, or 1 each for normalised residuals).
void Points(cairo_t* cr, const Panel& panel, const std::vector<double>& x, const std::vector<double>& y,
            const std::vector<double>* halfBars, const Rgb& c, const FigureStopCheck& stop)
{
    cairo_set_source_rgb(cr, c.r, c.g, c.b);
    cairo_set_line_width(cr, kBarWidth);
    for (std::size_t i = 0; i < x.size(); ++i) {
        if (i % 64 == 63)
            ThrowIfStopped(stop);
        const double px = panel.X(x[i]);
        const double half = halfBars ? (*halfBars)[i] : 1.0;
        const double top = panel.Y(y[i] + half), bottom = panel.Y(y[i] - half), py = panel.Y(y[i]);
        if (!std::isfinite(px))
            continue;
        if (std::isfinite(top) && std::isfinite(bottom)) {
            cairo_move_to(cr, px, top);
            cairo_line_to(cr, px, bottom);
            for (const double end : {top, bottom}) {
                cairo_move_to(cr, px - kMarker, end);
                cairo_line_to(cr, px + kMarker, end);
            }
            cairo_stroke(cr);
        }
        if (std::isfinite(py)) {
            cairo_new_sub_path(cr);
            cairo_arc(cr, px, py, kMarker, 0.0, 2.0 * std::numbers::pi);
            cairo_fill(cr);
        }
    }
}

void Frame(cairo_t* cr, const FigureRect& r)
{
    cairo_rectangle(cr, r.x, r.y, r.width, r.height);
    cairo_set_source_rgb(cr, 0.0, 0.0, 0.0);
    cairo_set_line_width(cr, kFrameWidth);
    cairo_stroke(cr);
}

FigureFrame DrawFit(cairo_t* cr, double width, double height, const FigureOptions& options, const FitFigureData& data,
                    std::vector<std::string>& notes, const FigureStopCheck& stop)
{
    ThrowIfStopped(stop);
    const bool de = options.language == Language::De;
    const double fs = options.fontSize;
    const FigureText text(cr, fs);
    const double lh = text.Measure("0").height, pad = 0.6 * fs, tick = 0.45 * fs, gap = 0.3 * fs;

    std::vector<double> xs, ys, rs;
    for (const FitFigureSet& set : data.sets) {
        xs.insert(xs.end(), set.x.begin(), set.x.end());
        xs.insert(xs.end(), set.curveX.begin(), set.curveX.end());
        for (std::size_t i = 0; i < set.y.size(); ++i) {
            ys.push_back(set.y[i] - set.sigma[i]);
            ys.push_back(set.y[i] + set.sigma[i]);
            rs.push_back(std::abs(set.residual[i]) + 1.0);
        }
        ys.insert(ys.end(), set.low.begin(), set.low.end());
        ys.insert(ys.end(), set.high.begin(), set.high.end());
    }
    const FigureAxis horizontal = AxisOver(xs, options.logTime, 0.03, notes, "horizontal");
    const FigureAxis vertical = AxisOver(ys, options.logValues, 0.05, notes, "value");
    double reach = 3.0;
    for (const double r : rs)
        if (std::isfinite(r))
            reach = std::max(reach, r);
    const FigureAxis residualAxis{-reach * 1.05, reach * 1.05, false};

    const std::string titleMarkup =
        options.title.empty() ? "" : "<span weight=\"bold\" size=\"larger\">" + EscapeMarkup(options.title) + "</span>";
    const double titleHeight = options.title.empty() ? 0.0 : text.Measure(titleMarkup).height + pad;
    const double left = pad + lh + pad +
                        std::max(WidestTick(text, vertical, options.language, fs),
                                 WidestTick(text, residualAxis, options.language, fs)) +
                        gap + tick;
    const double right = 1.5 * pad;
    const double top = pad + titleHeight + lh / 2;
    const double bottom = tick + gap + lh + gap + lh + pad;
    const double between = 1.2 * pad;
    const double inner = height - top - bottom - between;
    const double plotWidth = width - left - right;
    if (plotWidth < 20.0 || inner < 40.0)
        throw std::invalid_argument("the figure is too small for its texts: make it larger or the font smaller");
    Panel main{{{left, top, plotWidth, inner * 0.72}, horizontal, vertical}};
    Panel residuals{{{left, top + inner * 0.72 + between, plotWidth, inner * 0.28}, horizontal, residualAxis}};

    cairo_set_source_rgb(cr, 1.0, 1.0, 1.0);
    cairo_paint(cr);

    // The bands under everything, then the curves, then the points.
    cairo_save(cr);
    Clip(cr, main.frame.plot);
    for (std::size_t s = 0; s < data.sets.size(); ++s)
        Band(cr, main, data.sets[s], Colour(s));
    for (std::size_t s = 0; s < data.sets.size(); ++s) {
        ThrowIfStopped(stop);
        const Rgb c = Colour(s);
        Polyline(cr, main, data.sets[s].curveX, data.sets[s].curveY);
        cairo_set_source_rgb(cr, c.r, c.g, c.b);
        cairo_set_line_width(cr, kCurveWidth);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke(cr);
    }
    for (std::size_t s = 0; s < data.sets.size(); ++s)
        Points(cr, main, data.sets[s].x, data.sets[s].y, &data.sets[s].sigma, Colour(s), stop);
    cairo_restore(cr);

    cairo_save(cr);
    Clip(cr, residuals.frame.plot);
    const double dashes[] = {3.0, 2.0};
    cairo_move_to(cr, residuals.frame.plot.x, residuals.Y(0.0));
    cairo_line_to(cr, residuals.frame.plot.x + plotWidth, residuals.Y(0.0));
    cairo_set_source_rgb(cr, 0.0, 0.0, 0.0);
    cairo_set_line_width(cr, 0.5);
    cairo_set_dash(cr, dashes, 2, 0.0);
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0.0);
    for (std::size_t s = 0; s < data.sets.size(); ++s)
        Points(cr, residuals, data.sets[s].x, data.sets[s].residual, nullptr, Colour(s), stop);
    cairo_restore(cr);
    ThrowIfStopped(stop);

    Frame(cr, main.frame.plot);
    Frame(cr, residuals.frame.plot);
    Ticks(cr, text, main, true, false, options.language, fs);
    Ticks(cr, text, main, false, true, options.language, fs);
    Ticks(cr, text, residuals, true, true, options.language, fs);
    Ticks(cr, text, residuals, false, true, options.language, fs);

    const double labelX = pad + lh / 2;
    text.ShowUpward(EscapeMarkup(data.yLabel), labelX, main.frame.plot.y + main.frame.plot.height / 2);
    text.ShowUpward(de ? "Residuum / σ" : "Residual / σ", labelX,
                    residuals.frame.plot.y + residuals.frame.plot.height / 2);
    const FigureRect& r = residuals.frame.plot;
    text.Show(EscapeMarkup(data.xLabel), r.x + r.width / 2, r.y + r.height + tick + gap + lh + gap, 0.5, 0.0);
    if (!titleMarkup.empty())
        text.Show(titleMarkup, width / 2, pad, 0.5, 0.0);

    // The legend in the main panel's upper right corner: data, fit and band per set.
    std::vector<std::pair<std::string, std::size_t>> entries;
    for (std::size_t s = 0; s < data.sets.size(); ++s) {
        const std::string name = data.sets.size() > 1 ? " (" + EscapeMarkup(data.sets[s].name) + ")" : "";
        entries.push_back({(de ? "Daten" : "Data") + name, s});
        entries.push_back({(de ? "Anpassung, 95-%-Band" : "Fit, 95 % band") + name, s});
    }
    double entryWidth = 0.0;
    const double sample = 2.2 * fs, inset = 0.7 * pad, line = lh * 1.15;
    for (const auto& [markup, s] : entries)
        entryWidth = std::max(entryWidth, sample + 2 * inset + text.Measure(markup).width);
    const double boxWidth = entryWidth + 2 * inset, boxHeight = double(entries.size()) * line + 2 * inset;
    const FigureRect& m = main.frame.plot;
    if (boxWidth < m.width - 2 * pad && boxHeight < m.height - 2 * pad) {
        const double bx = m.x + m.width - pad - boxWidth, by = m.y + pad;
        cairo_rectangle(cr, bx, by, boxWidth, boxHeight);
        cairo_set_source_rgb(cr, 1.0, 1.0, 1.0);
        cairo_fill_preserve(cr);
        cairo_set_source_rgb(cr, 0.6, 0.6, 0.6);
        cairo_set_line_width(cr, 0.4);
        cairo_stroke(cr);
        for (std::size_t k = 0; k < entries.size(); ++k) {
            const Rgb c = Colour(entries[k].second);
            const double x = bx + inset, y = by + inset + (double(k) + 0.5) * line;
            if (k % 2 == 0) {
                cairo_set_source_rgb(cr, c.r, c.g, c.b);
                cairo_new_sub_path(cr);
                cairo_arc(cr, x + sample / 2, y, kMarker, 0.0, 2.0 * std::numbers::pi);
                cairo_fill(cr);
            } else {
                cairo_rectangle(cr, x, y - line * 0.3, sample, line * 0.6);
                cairo_set_source_rgba(cr, c.r, c.g, c.b, 0.18);
                cairo_fill(cr);
                cairo_move_to(cr, x, y);
                cairo_line_to(cr, x + sample, y);
                cairo_set_source_rgb(cr, c.r, c.g, c.b);
                cairo_set_line_width(cr, kCurveWidth);
                cairo_stroke(cr);
            }
            text.Show(entries[k].first, x + sample + inset, y, 0.0, 0.5);
        }
    }
    return main.frame;
}

} // namespace

void WriteFitFigure(const FigureOptions& options, const FitFigureData& data, ByteSink& sink,
                    std::vector<std::string>* notes, const FigureStopCheck& stop)
{
    if (const std::optional<std::string> refusal = CheckFigureOptions(options))
        throw std::invalid_argument(*refusal);
    std::vector<std::string> ownNotes;
    WritePage(options, sink, stop, [&](cairo_t* cr, double width, double height) {
        return DrawFit(cr, width, height, options, data, notes ? *notes : ownNotes, stop);
    });
}

} // namespace tamrisk
