// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/FitFigure.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace tamrisk {

namespace {

constexpr double kCurveWidth = 1.0; // pt, as the other figures' curves
constexpr double kBarWidth = 0.5;
constexpr double kMarker = 1.6;    // radius of a point
constexpr double kBandAlpha = 0.2; // of the 95 % band's fill

// One colour per data set, from the print palette.
PenColor SetColour(std::size_t set) { return kFamilyColors[set % kFamilyColors.size()]; }

void Source(cairo_t* cr, const PenColor& c, double alpha = 1.0)
{
    cairo_set_source_rgba(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0, alpha);
}

// A printed axis over the finite values (the positive ones on a logarithmic axis).
FigureAxis AxisOver(std::vector<double> values, bool log, double headroom, std::vector<std::string>& notes,
                    const char* which)
{
    values.erase(std::remove_if(values.begin(), values.end(),
                                [&](double v) { return !std::isfinite(v) || (log && !(v > 0.0)); }),
                 values.end());
    if (values.empty()) {
        notes.push_back(std::string("the ") + which + " axis has no value to show");
        return {log ? 0.1 : 0.0, log ? 10.0 : 1.0, log};
    }
    const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
    double a = *lo, b = *hi;
    if (a == b) {
        a = log ? a / 2.0 : a - std::max(std::abs(a), 1.0) * 0.5;
        b = log ? b * 2.0 : b + std::max(std::abs(b), 1.0) * 0.5;
    }
    return RoundedAxis(a, b, log, headroom);
}

struct Panel {
    FigureRect r;
    FigureAxis horizontal, vertical;
    double X(double v) const { return r.x + horizontal.Fraction(v).value_or(NAN) * r.width; }
    double Y(double v) const { return r.y + r.height - vertical.Fraction(v).value_or(NAN) * r.height; }
};

void Clip(cairo_t* cr, const FigureRect& r)
{
    cairo_rectangle(cr, r.x, r.y, r.width, r.height);
    cairo_clip(cr);
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

void Band(cairo_t* cr, const Panel& panel, const FitFigureSet& set, const PenColor& c)
{
    bool any = false;
    for (std::size_t i = 0; i < set.curveX.size(); ++i) {
        const double px = panel.X(set.curveX[i]), py = panel.Y(set.high[i]);
        if (!std::isfinite(px) || !std::isfinite(py))
            continue;
        if (any)
            cairo_line_to(cr, px, py);
        else
            cairo_move_to(cr, px, py);
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
    Source(cr, c, kBandAlpha);
    cairo_fill(cr);
}

void Dot(cairo_t* cr, double x, double y)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, x, y, kMarker, 0.0, 2.0 * std::numbers::pi);
    cairo_fill(cr);
}

// Points with error bars of `halfBars` (of 1 each without: residuals over their errors).
void Points(const Page& page, const Panel& panel, const std::vector<double>& x, const std::vector<double>& y,
            const std::vector<double>* halfBars, const PenColor& c)
{
    cairo_t* cr = page.cr;
    Source(cr, c);
    cairo_set_line_width(cr, kBarWidth);
    for (std::size_t i = 0; i < x.size(); ++i) {
        if (i % 64 == 63)
            page.CheckStop();
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
        if (std::isfinite(py))
            Dot(cr, px, py);
    }
}

} // namespace

FigureFrame DrawFit(const Page& page, const FitFigureData& data, std::vector<std::string>& notes)
{
    cairo_t* cr = page.cr;
    const bool de = page.options.language == Language::De;

    std::vector<double> xs, ys;
    double reach = 3.0;
    for (const FitFigureSet& set : data.sets) {
        xs.insert(xs.end(), set.x.begin(), set.x.end());
        xs.insert(xs.end(), set.curveX.begin(), set.curveX.end());
        for (std::size_t i = 0; i < set.y.size(); ++i) {
            ys.push_back(set.y[i] - set.sigma[i]);
            ys.push_back(set.y[i] + set.sigma[i]);
            if (std::isfinite(set.residual[i]))
                reach = std::max(reach, std::abs(set.residual[i]) + 1.0);
        }
        ys.insert(ys.end(), set.low.begin(), set.low.end());
        ys.insert(ys.end(), set.high.begin(), set.high.end());
    }
    Panel main{{},
               AxisOver(xs, page.options.logTime, 0.0, notes, "horizontal"),
               AxisOver(ys, page.options.logValues, 0.05, notes, "value")};
    Panel residuals{{}, main.horizontal, RoundedAxis(-reach, reach, false, 0.0)};

    const TickLabels hTicks = MakeTickLabels(page, main.horizontal);
    TickLabels hMarks = hTicks; // the main panel's ticks, numbered below the residuals only
    std::fill(hMarks.texts.begin(), hMarks.texts.end(), std::string());
    const TickLabels vTicks = MakeTickLabels(page, main.vertical);
    const TickLabels rTicks = MakeTickLabels(page, residuals.vertical);
    const std::string xLabel = LabelWithFactor(data.xLabel, hTicks.exponent);
    const std::string yLabel = LabelWithFactor(data.yLabel, vTicks.exponent);
    const std::string rLabel = de ? "Residuum / σ" : "Residual / σ";

    const double lh = page.lineHeight;
    const double left = page.pad + lh + page.pad + std::max(vTicks.widest, rTicks.widest) + page.gap + page.tick;
    const double right = std::max(page.pad, hTicks.widest / 2 + page.pad / 2);
    const double top = page.pad + TitleHeight(page) + lh / 2;
    const double bottom = page.tick + page.gap + lh + page.gap + lh + page.pad;
    const double between = 1.2 * page.pad;
    const double inner = page.height - top - bottom - between;
    const double width = page.width - left - right;
    if (width < 20.0 || inner < 40.0)
        throw std::invalid_argument("the figure is too small for its texts: make it larger or the font smaller");
    main.r = {left, top, width, inner * 0.72};
    residuals.r = {left, top + inner * 0.72 + between, width, inner * 0.28};

    cairo_set_source_rgb(cr, 1.0, 1.0, 1.0);
    cairo_paint(cr);

    // The bands under everything, then the curves, then the points.
    cairo_save(cr);
    Clip(cr, main.r);
    for (std::size_t s = 0; s < data.sets.size(); ++s)
        Band(cr, main, data.sets[s], SetColour(s));
    for (std::size_t s = 0; s < data.sets.size(); ++s) {
        page.CheckStop();
        Polyline(cr, main, data.sets[s].curveX, data.sets[s].curveY);
        Source(cr, SetColour(s));
        cairo_set_line_width(cr, kCurveWidth);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke(cr);
    }
    for (std::size_t s = 0; s < data.sets.size(); ++s)
        Points(page, main, data.sets[s].x, data.sets[s].y, &data.sets[s].sigma, SetColour(s));
    cairo_restore(cr);

    cairo_save(cr);
    Clip(cr, residuals.r);
    const double dashes[] = {3.0, 2.0};
    cairo_move_to(cr, residuals.r.x, residuals.Y(0.0));
    cairo_line_to(cr, residuals.r.x + width, residuals.Y(0.0));
    cairo_set_source_rgb(cr, 0.0, 0.0, 0.0);
    cairo_set_line_width(cr, 0.5);
    cairo_set_dash(cr, dashes, 2, 0.0);
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0.0);
    for (std::size_t s = 0; s < data.sets.size(); ++s)
        Points(page, residuals, data.sets[s].x, data.sets[s].residual, nullptr, SetColour(s));
    cairo_restore(cr);
    page.CheckStop();

    StrokeFrame(cr, main.r);
    StrokeFrame(cr, residuals.r);
    DrawTicks(page, main.r, main.horizontal, hMarks, Side::Bottom, false);
    DrawTicks(page, main.r, main.vertical, vTicks, Side::Left, false);
    DrawTicks(page, residuals.r, residuals.horizontal, hTicks, Side::Bottom, false);
    DrawTicks(page, residuals.r, residuals.vertical, rTicks, Side::Left, false);
    const double labelX = page.pad + lh / 2;
    page.text.ShowUpward(yLabel, labelX, main.r.y + main.r.height / 2);
    page.text.ShowUpward(rLabel, labelX, residuals.r.y + residuals.r.height / 2);
    page.text.Show(xLabel, left + width / 2, residuals.r.y + residuals.r.height + page.tick + page.gap + lh + page.gap,
                   0.5, 0.0);
    DrawTitle(page);

    // The legend in the main panel's upper right corner: the data and the fit of each set.
    FigureFrame frame{main.r, main.horizontal, main.vertical, {}, {}, {}, {}};
    if (page.options.legend == LegendPlace::None)
        return frame;
    std::vector<std::pair<std::string, std::size_t>> entries;
    for (std::size_t s = 0; s < data.sets.size(); ++s) {
        const std::string name = data.sets.size() > 1 ? " (" + data.sets[s].name + ")" : "";
        entries.push_back({(de ? "Daten" : "Data") + name, s});
        entries.push_back({(de ? "Anpassung, 95-%-Band" : "Fit, 95 % band") + name, s});
    }
    const double sample = 2.2 * page.fs, inset = 0.7 * page.pad, line = lh * 1.15;
    double entryWidth = 0.0;
    for (const auto& [text, s] : entries)
        entryWidth = std::max(entryWidth, sample + 2 * inset + page.text.Measure(text).width);
    const double boxWidth = entryWidth + 2 * inset, boxHeight = double(entries.size()) * line + 2 * inset;
    if (boxWidth > main.r.width - 2 * page.pad || boxHeight > main.r.height - 2 * page.pad) {
        notes.push_back("the legend does not fit in the plot and is left out");
        return frame;
    }
    frame.legend = {main.r.x + main.r.width - page.pad - boxWidth, main.r.y + page.pad, boxWidth, boxHeight};
    const FigureRect& b = frame.legend;
    cairo_rectangle(cr, b.x, b.y, b.width, b.height);
    cairo_set_source_rgb(cr, 1.0, 1.0, 1.0);
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, 0.6, 0.6, 0.6);
    cairo_set_line_width(cr, 0.4);
    cairo_stroke(cr);
    for (std::size_t k = 0; k < entries.size(); ++k) {
        const PenColor c = SetColour(entries[k].second);
        const double x = b.x + inset, y = b.y + inset + (double(k) + 0.5) * line;
        if (k % 2 == 0) {
            Source(cr, c);
            Dot(cr, x + sample / 2, y);
        } else {
            cairo_rectangle(cr, x, y - line * 0.3, sample, line * 0.6);
            Source(cr, c, kBandAlpha);
            cairo_fill(cr);
            cairo_move_to(cr, x, y);
            cairo_line_to(cr, x + sample, y);
            Source(cr, c);
            cairo_set_line_width(cr, kCurveWidth);
            cairo_stroke(cr);
        }
        page.text.Show(entries[k].first, x + sample + inset, y, 0.0, 0.5);
    }
    return frame;
}

} // namespace tamrisk
