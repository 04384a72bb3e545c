// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/FigureDraw.h"

#include "plot/FigureSeries.h"
#include "plot/FigureText.h"
#include "plot/ShownCurves.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

namespace tamrisk {

namespace {

constexpr double kCurveWidth = 1.0;  // pt
constexpr double kCasingExtra = 0.7; // pt wider than the curve, both sides together
constexpr double kFrameWidth = 0.6;
constexpr double kValueOneWidth = 0.5;

// Pens too light to be seen on a white page: a light curve is drawn over a
// slightly wider dark grey line, so its own colour stays the window's.
bool NeedsCasing(const PenColor& pen) { return 0.2126 * pen.r + 0.7152 * pen.g + 0.0722 * pen.b > 170.0; }
constexpr double kCasingGrey = 64.0 / 255.0;

struct Labels {
    const char* horizontal;
    const char* vertical;
    const char* valueOne;
};

Labels AxisLabels(PlotKind kind, Language language)
{
    const bool de = language == Language::De;
    if (kind == PlotKind::Depth)
        return {de ? "Wert [relativ]" : "Value [relative]", de ? "Tiefe [mm]" : kDepthEnglishName,
                de ? "Wert 1" : "Value 1"};
    return {de ? "Stimulationszeit [s]" : kTimeEnglishName, de ? "OSL-Signal [relativ]" : "OSL signal [relative]", ""};
}

struct Layout {
    FigureFrame frame;
    double pad, tick, minorTick, gap, lineHeight;
};

void ThrowIfStopped(const FigureStopCheck& stop)
{
    if (stop && stop())
        throw FigureStopped();
}

// Curves are checked this many segments apart: often enough for a prompt stop, seldom enough to cost nothing.
constexpr std::size_t kSegmentsBetweenStopChecks = 64;

// The curve as a path through its samples, broken where a sample has no
// place, cut a little outside the plot area so that far-off values never
// reach the drawing library's coordinate range.
void CurvePath(cairo_t* cr, const Series& series, const FigureFrame& frame, bool verticalDown,
               const FigureStopCheck& stop)
{
    const FigureRect bounds = Grown(frame.plot, 2.0);
    bool open = false;
    for (std::size_t i = 1; i < series.samples.size(); ++i) {
        if (i % kSegmentsBetweenStopChecks == 0)
            ThrowIfStopped(stop);
        const auto& a = series.samples[i - 1];
        const auto& b = series.samples[i];
        if (!a || !b) {
            open = false;
            continue;
        }
        auto [x0, y0] = ToPage(frame, verticalDown, *a);
        auto [x1, y1] = ToPage(frame, verticalDown, *b);
        bool startMoved = false, endMoved = false;
        if (!ClipSegment(x0, y0, x1, y1, bounds, &startMoved, &endMoved)) {
            open = false;
            continue;
        }
        if (!open || startMoved)
            cairo_move_to(cr, x0, y0);
        cairo_line_to(cr, x1, y1);
        open = !endMoved;
    }
}

void StrokeWithPen(cairo_t* cr, const PenColor& pen)
{
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    if (NeedsCasing(pen)) {
        cairo_set_source_rgb(cr, kCasingGrey, kCasingGrey, kCasingGrey);
        cairo_set_line_width(cr, kCurveWidth + kCasingExtra);
        cairo_stroke_preserve(cr);
    }
    cairo_set_source_rgb(cr, pen.r / 255.0, pen.g / 255.0, pen.b / 255.0);
    cairo_set_line_width(cr, kCurveWidth);
    cairo_stroke(cr);
}

void DashedValueOne(cairo_t* cr)
{
    const double dashes[] = {3.0, 2.0};
    cairo_set_source_rgb(cr, 0.0, 0.0, 0.0);
    cairo_set_line_width(cr, kValueOneWidth);
    cairo_set_dash(cr, dashes, 2, 0.0);
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0.0);
}

// ---- legend ----

// Windows-1252 text of the export headers to UTF-8; their letters all lie in
// the Latin-1 part of the code page.
std::string Latin1ToUtf8(const char* text)
{
    std::string utf8;
    for (const char* p = text; *p; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c < 0x80) {
            utf8 += char(c);
        } else {
            utf8 += char(0xC0 | (c >> 6));
            utf8 += char(0x80 | (c & 0x3F));
        }
    }
    return utf8;
}

// English: the array's name with its unit. German: the check box's text; the
// four ratio boxes share one text, so where shown curves would share a name
// each takes its column header of the profile export instead.
std::string LegendName(const CurveRow& row, const std::vector<Series>& series, Language language)
{
    if (language == Language::En)
        return CurveEnglishName(row);
    int sharing = 0;
    for (const Series& s : series)
        sharing += std::string_view(s.row->germanText) == row.germanText;
    if (sharing > 1 && row.plot == PlotKind::Depth) {
        if (const char* header = kProfileArrays[std::size_t(row.array)].exportHeader)
            return Latin1ToUtf8(header);
    }
    return row.germanText;
}

struct LegendEntry {
    std::string markup;
    const PenColor* pen; // nullptr: the dashed value-1 line
};

struct Legend {
    std::vector<LegendEntry> entries;
    double entryWidth = 0.0, lineHeight = 0.0, inset = 0.0, sample = 0.0;
    int columns = 1;
    FigureRect box;
    double Width(int across) const { return across * entryWidth + 2 * inset; }
    double Height(int across) const
    {
        const int rows = (int(entries.size()) + across - 1) / across;
        return rows * lineHeight + 2 * inset;
    }
};

// True when a curve runs through the box (with a little room around it). The
// dashed value-1 line may pass under the legend: it is a guide, not data.
bool Covers(const FigureRect& box, const std::vector<Series>& series, const FigureFrame& frame, bool verticalDown,
            const FigureStopCheck& stop)
{
    const FigureRect zone = Grown(box, 2.0);
    for (const Series& s : series)
        for (std::size_t i = 1; i < s.samples.size(); ++i) {
            if (i % kSegmentsBetweenStopChecks == 0)
                ThrowIfStopped(stop);
            if (!s.samples[i - 1] || !s.samples[i])
                continue;
            auto [x0, y0] = ToPage(frame, verticalDown, *s.samples[i - 1]);
            auto [x1, y1] = ToPage(frame, verticalDown, *s.samples[i]);
            if (ClipSegment(x0, y0, x1, y1, frame.plot) && ClipSegment(x0, y0, x1, y1, zone))
                return true;
        }
    return false;
}

// ---- drawing ----

// The depth plot numbers its value axis above the plot area and its depth
// axis downward; the signal plot numbers time below and the signal upward.
void DrawTicks(cairo_t* cr, const FigureText& text, const Layout& layout, const FigureAxis& axis, bool horizontal,
               bool depthPlot, Language language, double fontSize)
{
    const FigureRect& p = layout.frame.plot;
    const AxisTicks ticks = MakeTicks(axis);
    const bool labelsBefore = horizontal && depthPlot;
    const bool down = !horizontal && depthPlot;
    const auto at = [&](double v) {
        const double f = *axis.Fraction(v);
        return horizontal ? p.x + f * p.width : (down ? p.y + f * p.height : p.y + p.height - f * p.height);
    };
    // Horizontal ticks lie on the top edge (depth plot) or the bottom edge (signal plot).
    const double edge = horizontal ? (labelsBefore ? p.y : p.y + p.height) : p.x;
    const double outward = horizontal ? (labelsBefore ? -1.0 : 1.0) : -1.0;

    cairo_set_source_rgb(cr, 0.0, 0.0, 0.0);
    cairo_set_line_width(cr, kFrameWidth);
    const auto mark = [&](double v, double length) {
        const double t = at(v);
        if (horizontal) {
            cairo_move_to(cr, t, edge);
            cairo_line_to(cr, t, edge + outward * length);
        } else {
            cairo_move_to(cr, edge, t);
            cairo_line_to(cr, edge + outward * length, t);
        }
    };
    for (double v : ticks.minor)
        mark(v, layout.minorTick);
    for (double v : ticks.major)
        mark(v, layout.tick);
    cairo_stroke(cr);

    // Numbers: where neighbours would touch, only every n-th is written.
    std::vector<std::string> numbers;
    double widest = 0.0;
    for (double v : ticks.major) {
        numbers.push_back(TickText(v, axis, ticks, language, fontSize));
        widest = std::max(widest, text.Measure(numbers.back()).width);
    }
    double closest = INFINITY;
    for (std::size_t i = 1; i < ticks.major.size(); ++i)
        closest = std::min(closest, std::fabs(at(ticks.major[i]) - at(ticks.major[i - 1])));
    const double needed = (horizontal ? widest : layout.lineHeight) + layout.gap * 2;
    const std::size_t every = std::isfinite(closest) && closest > 0 ? std::size_t(std::ceil(needed / closest)) : 1;
    const double off = layout.tick + layout.gap;
    for (std::size_t i = 0; i < numbers.size(); i += std::max<std::size_t>(every, 1)) {
        const double t = at(ticks.major[i]);
        if (horizontal)
            text.Show(numbers[i], t, edge + outward * off, 0.5, labelsBefore ? 1.0 : 0.0);
        else
            text.Show(numbers[i], edge - off, t, 1.0, 0.5);
    }
}

double WidestTick(const FigureText& text, const FigureAxis& axis, Language language, double fontSize)
{
    const AxisTicks ticks = MakeTicks(axis);
    double widest = 0.0;
    for (double v : ticks.major)
        widest = std::max(widest, text.Measure(TickText(v, axis, ticks, language, fontSize)).width);
    return widest;
}

double LastTickWidth(const FigureText& text, const FigureAxis& axis, Language language, double fontSize)
{
    const AxisTicks ticks = MakeTicks(axis);
    if (ticks.major.empty())
        return 0.0;
    return text.Measure(TickText(ticks.major.back(), axis, ticks, language, fontSize)).width;
}

void DrawLegend(cairo_t* cr, const FigureText& text, const Legend& legend)
{
    const FigureRect& b = legend.box;
    cairo_rectangle(cr, b.x, b.y, b.width, b.height);
    cairo_set_source_rgb(cr, 1.0, 1.0, 1.0);
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, 0.6, 0.6, 0.6);
    cairo_set_line_width(cr, 0.4);
    cairo_stroke(cr);
    for (std::size_t i = 0; i < legend.entries.size(); ++i) {
        const int column = int(i) % legend.columns;
        const int row = int(i) / legend.columns;
        const double x = b.x + legend.inset + column * legend.entryWidth;
        const double y = b.y + legend.inset + (row + 0.5) * legend.lineHeight;
        cairo_move_to(cr, x, y);
        cairo_line_to(cr, x + legend.sample, y);
        const LegendEntry& e = legend.entries[i];
        if (e.pen)
            StrokeWithPen(cr, *e.pen);
        else
            DashedValueOne(cr);
        text.Show(e.markup, x + legend.sample + legend.inset, y, 0.0, 0.5);
    }
}

} // namespace

FigureFrame DrawFigure(cairo_t* cr, double width, double height, const FigureOptions& options,
                       const ModelParameters& params, const DisplayFlags& flags, const DepthProfile& profile,
                       const SignalCurves& curves, std::vector<std::string>& notes, const FigureStopCheck& stop)
{
    ThrowIfStopped(stop);
    const PlotKind kind = options.kind;
    const bool depth = kind == PlotKind::Depth;
    const int points = depth ? params.depthPoints : params.timePoints;
    const std::vector<ShownCurve> shown = ShownCurves(kind, flags, profile, curves, points);
    if (shown.empty())
        notes.push_back("no curve of this plot is shown");
    const AxisSetup axes = MakeAxes(options, params, shown, points, notes);
    const std::vector<Series> series = MakeSeries(kind, shown, points, params, axes);
    const Labels labels = AxisLabels(kind, options.language);

    const FigureText text(cr, options.fontSize);
    const double fs = options.fontSize;
    Layout layout{{}, 0.6 * fs, 0.45 * fs, 0.25 * fs, 0.3 * fs, text.Measure("0").height};
    layout.frame.horizontal = axes.horizontal;
    layout.frame.vertical = axes.vertical;
    const std::string titleMarkup =
        options.title.empty() ? "" : "<span weight=\"bold\" size=\"larger\">" + EscapeMarkup(options.title) + "</span>";
    const double titleHeight = options.title.empty() ? 0.0 : text.Measure(titleMarkup).height + layout.pad;

    const double lh = layout.lineHeight;
    const double left =
        layout.pad + lh + layout.pad + WidestTick(text, axes.vertical, options.language, fs) + layout.gap + layout.tick;
    const double right =
        std::max(layout.pad, LastTickWidth(text, axes.horizontal, options.language, fs) / 2 + layout.pad / 2);
    double top, bottom;
    if (depth) {
        top = layout.pad + titleHeight + lh + layout.gap + lh + layout.gap + layout.tick;
        bottom = std::max(layout.pad, lh / 2 + layout.pad / 2);
    } else {
        top = layout.pad + titleHeight + lh / 2;
        bottom = layout.tick + layout.gap + lh + layout.gap + lh + layout.pad;
    }
    FigureRect& plot = layout.frame.plot;
    plot = {left, top, width - left - right, height - top - bottom};

    // The legend: inside a corner of the plot area that no curve crosses,
    // otherwise below everything, in as many columns as fit.
    Legend legend;
    legend.lineHeight = lh * 1.15;
    legend.inset = layout.pad * 0.7;
    legend.sample = 2.2 * fs;
    for (const Series& s : series)
        legend.entries.push_back({EscapeMarkup(LegendName(*s.row, series, options.language)), &s.row->pen});
    if (axes.valueOne)
        legend.entries.push_back({labels.valueOne, nullptr});
    for (const LegendEntry& e : legend.entries)
        legend.entryWidth =
            std::max(legend.entryWidth, legend.sample + 2 * legend.inset + text.Measure(e.markup).width);
    bool placed = legend.entries.empty();
    if (!placed) {
        const double w = legend.Width(1), h = legend.Height(1), in = layout.pad;
        const double xl = plot.x + in, xr = plot.x + plot.width - in - w, xm = plot.x + (plot.width - w) / 2;
        const double yt = plot.y + in, yb = plot.y + plot.height - in - h, ym = plot.y + (plot.height - h) / 2;
        // The corners first, then the middles of the sides.
        const std::pair<double, double> corners[] = {
            {xr, yb}, {xr, yt}, {xl, yb}, {xl, yt}, {xr, ym}, {xl, ym}, {xm, yt}, {xm, yb},
        };
        for (const auto& [x, y] : corners) {
            const FigureRect box{x, y, w, h};
            if (w <= plot.width - 2 * in && h <= plot.height - 2 * in &&
                !Covers(box, series, layout.frame, depth, stop)) {
                legend.box = box;
                placed = true;
                break;
            }
        }
    }
    if (!placed) {
        legend.columns = std::clamp(int((width - 2 * layout.pad - 2 * legend.inset) / std::max(legend.entryWidth, 1.0)),
                                    1, int(legend.entries.size()));
        const double h = legend.Height(legend.columns);
        plot.height -= h + layout.pad;
        legend.box = {plot.x, height - layout.pad - h, legend.Width(legend.columns), h};
        if (legend.box.x + legend.box.width > width - layout.pad)
            legend.box.x = std::max(layout.pad, width - layout.pad - legend.box.width);
    }
    if (plot.width < 20.0 || plot.height < 20.0)
        throw std::invalid_argument("the figure is too small for its texts: make it larger or the font smaller");

    // Page, frame, curves, ticks and labels, legend.
    ThrowIfStopped(stop);
    cairo_set_source_rgb(cr, 1.0, 1.0, 1.0);
    cairo_paint(cr);

    // The frame first: a curve along an axis (values of 0 are common) lies on
    // top of it, and the clip leaves room for half a curve's width outside.
    cairo_rectangle(cr, plot.x, plot.y, plot.width, plot.height);
    cairo_set_source_rgb(cr, 0.0, 0.0, 0.0);
    cairo_set_line_width(cr, kFrameWidth);
    cairo_stroke(cr);

    cairo_save(cr);
    const FigureRect clip = Grown(plot, (kCurveWidth + kCasingExtra) / 2);
    cairo_rectangle(cr, clip.x, clip.y, clip.width, clip.height);
    cairo_clip(cr);
    if (axes.valueOne) {
        const double x = plot.x + *axes.valueOne * plot.width;
        cairo_move_to(cr, x, plot.y);
        cairo_line_to(cr, x, plot.y + plot.height);
        DashedValueOne(cr);
    }
    for (const Series& s : series) {
        ThrowIfStopped(stop);
        CurvePath(cr, s, layout.frame, depth, stop);
        StrokeWithPen(cr, s.row->pen);
    }
    cairo_restore(cr);
    ThrowIfStopped(stop);

    DrawTicks(cr, text, layout, axes.horizontal, true, depth, options.language, fs);
    DrawTicks(cr, text, layout, axes.vertical, false, depth, options.language, fs);

    const double labelX = layout.pad + lh / 2;
    text.ShowUpward(labels.vertical, labelX, plot.y + plot.height / 2);
    if (depth)
        text.Show(labels.horizontal, plot.x + plot.width / 2, plot.y - layout.tick - layout.gap - lh - layout.gap, 0.5,
                  1.0);
    else
        text.Show(labels.horizontal, plot.x + plot.width / 2,
                  plot.y + plot.height + layout.tick + layout.gap + lh + layout.gap, 0.5, 0.0);
    if (!titleMarkup.empty())
        text.Show(titleMarkup, width / 2, layout.pad, 0.5, 0.0);

    if (!legend.entries.empty())
        DrawLegend(cr, text, legend);
    return layout.frame;
}

} // namespace tamrisk
