// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/FigureDraw.h"

#include "plot/FigureMap.h"
#include "plot/FitFigure.h"
#include "plot/FigurePage.h"
#include "plot/FigureSeries.h"
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
constexpr double kValueOneWidth = 0.5;
constexpr double kCasingGrey = 64.0 / 255.0;
constexpr double kLegendShare = 1.0 / 3.0; // of the figure a legend may take at most
// Curves are checked this many segments apart: often enough for a prompt stop, seldom enough to cost nothing.
constexpr std::size_t kSegmentsBetweenStopChecks = 64;

// A line plot: its axes, curves and labels.
struct LinePlot {
    AxisSetup axes;
    std::vector<Series> series;
    std::string horizontalLabel, verticalLabel;
    bool depth = false; // value axis along the top, depth downward
    std::string valueOneName;
    std::string legendTitle; // a family's varied input
};

LinePlot WindowPlot(const FigureOptions& options, const FigureSource& source, std::vector<std::string>& notes)
{
    const bool depth = options.kind == PlotKind::Depth;
    const ModelParameters& params = *source.params;
    const int points = depth ? params.depthPoints : params.timePoints;
    const std::vector<ShownCurve> shown =
        ShownCurves(options.kind, *source.flags, *source.profile, *source.curves, points);
    if (shown.empty())
        notes.push_back("no curve of this plot is shown");
    LinePlot plot;
    plot.depth = depth;
    plot.axes = MakeAxes(options, params, shown, points, notes);
    plot.series = MakeSeries(options, shown, points, params, plot.axes, notes);
    const bool de = options.language == Language::De;
    if (depth) {
        plot.horizontalLabel = de ? "Wert [relativ]" : "Value [relative]";
        plot.verticalLabel = de ? "Tiefe unter der beleuchteten Oberfläche [mm]" : "Depth below the lit surface [mm]";
        plot.valueOneName = de ? "Wert 1" : "Value 1";
    } else {
        plot.horizontalLabel = de ? "Stimulationszeit [s]" : kTimeEnglishName;
        plot.verticalLabel = de ? "OSL-Signal [relativ]" : "OSL signal [relative]";
    }
    return plot;
}

LinePlot FamilyPlot(const FigureOptions& options, const FigureData& data, std::vector<std::string>& notes)
{
    LinePlot plot;
    plot.axes = MakeFamilyAxes(options, data, notes);
    plot.series = MakeFamilySeries(options, data, plot.axes, notes);
    plot.horizontalLabel = ColumnLabel(data.xColumn, options.language);
    plot.verticalLabel = ColumnLabel(data.zColumn, options.language);
    plot.legendTitle = ColumnLabel(data.yColumn, options.language);
    return plot;
}

// The curve as a path through its samples, broken where a sample has no
// place, cut a little outside the plot area so that far-off values never
// reach the drawing library's coordinate range.
void CurvePath(const Page& page, const Series& series, const FigureFrame& frame, bool verticalDown)
{
    cairo_t* cr = page.cr;
    const FigureRect bounds = Grown(frame.plot, 2.0);
    bool open = false;
    for (std::size_t i = 1; i < series.samples.size(); ++i) {
        if (i % kSegmentsBetweenStopChecks == 0)
            page.CheckStop();
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

// Dash lengths in units of the line width. Dots are short dashes with round
// caps: a dash of length 0 would be left out of the vector files.
void SetDash(cairo_t* cr, LineDash dash, double width)
{
    const double dashed[] = {4.0 * width, 2.0 * width};
    const double dotted[] = {0.1 * width, 2.0 * width};
    const double dashDotted[] = {5.0 * width, 2.0 * width, 0.1 * width, 2.0 * width};
    cairo_set_line_cap(cr, dash == LineDash::Dotted || dash == LineDash::DashDotted ? CAIRO_LINE_CAP_ROUND
                                                                                    : CAIRO_LINE_CAP_BUTT);
    switch (dash) {
    case LineDash::Solid:
        cairo_set_dash(cr, nullptr, 0, 0.0);
        break;
    case LineDash::Dashed:
        cairo_set_dash(cr, dashed, 2, 0.0);
        break;
    case LineDash::Dotted:
        cairo_set_dash(cr, dotted, 2, 0.0);
        break;
    case LineDash::DashDotted:
        cairo_set_dash(cr, dashDotted, 4, 0.0);
        break;
    }
}

void StrokeSeries(cairo_t* cr, const Series& s)
{
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    SetDash(cr, s.dash, kCurveWidth);
    if (s.casing) {
        cairo_set_source_rgb(cr, kCasingGrey, kCasingGrey, kCasingGrey);
        cairo_set_line_width(cr, kCurveWidth + kCasingExtra);
        cairo_stroke_preserve(cr);
    }
    cairo_set_source_rgb(cr, s.color.r / 255.0, s.color.g / 255.0, s.color.b / 255.0);
    cairo_set_line_width(cr, kCurveWidth);
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0.0);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}

void DashedValueOne(cairo_t* cr)
{
    const double dashes[] = {3.0, 2.0};
    cairo_set_source_rgb(cr, 0.4, 0.4, 0.4);
    cairo_set_line_width(cr, kValueOneWidth);
    cairo_set_dash(cr, dashes, 2, 0.0);
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0.0);
}

// ---- legend ----

struct LegendEntry {
    std::string text;
    const Series* series; // nullptr: the value-1 line, or the title line
    bool title = false;
};

struct Legend {
    std::vector<LegendEntry> entries;
    double entryWidth = 0.0, lineHeight = 0.0, inset = 0.0, sample = 0.0;
    int columns = 1;
    FigureRect box;
    // Texts wider than the page wrap to this width (one column of entries
    // of as many lines as they take); 0: one line each.
    double wrap = 0.0;
    std::vector<int> lines;
    int Rows(int across) const { return (int(entries.size()) + across - 1) / across; }
    double Width(int across) const { return across * entryWidth + 2 * inset; }
    double Height(int across) const
    {
        if (wrap == 0.0)
            return Rows(across) * lineHeight + 2 * inset;
        int total = 0;
        for (int n : lines)
            total += n;
        return total * lineHeight + 2 * inset;
    }
};

// True when a curve runs through the box (with a little room around it). The
// dashed value-1 line may pass under the legend: it is a guide, not data.
bool Covers(const Page& page, const FigureRect& box, const std::vector<Series>& series, const FigureFrame& frame,
            bool verticalDown)
{
    const FigureRect zone = Grown(box, 2.0);
    for (const Series& s : series)
        for (std::size_t i = 0; i < s.samples.size(); ++i) {
            if (i % kSegmentsBetweenStopChecks == 0)
                page.CheckStop();
            if (!s.samples[i])
                continue;
            auto [x1, y1] = ToPage(frame, verticalDown, *s.samples[i]);
            double x0 = x1, y0 = y1;
            if (i > 0 && s.samples[i - 1])
                std::tie(x0, y0) = ToPage(frame, verticalDown, *s.samples[i - 1]);
            if (ClipSegment(x0, y0, x1, y1, frame.plot) && ClipSegment(x0, y0, x1, y1, zone))
                return true;
        }
    return false;
}

TextLook LegendLook(const Legend& legend, const LegendEntry& e)
{
    TextLook look;
    if (legend.wrap > 0.0)
        look.wrapWidth = e.title ? legend.wrap + legend.sample + legend.inset : legend.wrap;
    look.alignLeft = true;
    return look;
}

// Entries no wider than `room`: longer names wrap over several lines, in one column.
void WrapTo(const Page& page, Legend& legend, double room)
{
    if (legend.entryWidth <= room)
        return;
    legend.entryWidth = room;
    legend.wrap = room - legend.sample - 2 * legend.inset;
    legend.lines.clear();
    for (const LegendEntry& e : legend.entries)
        legend.lines.push_back(page.text.Lines(e.text, LegendLook(legend, e)));
}

Legend MakeLegend(const Page& page, const LinePlot& plot)
{
    Legend legend;
    legend.lineHeight = page.lineHeight * 1.15;
    legend.inset = page.pad * 0.7;
    legend.sample = 2.6 * page.fs;
    if (page.options.legend == LegendPlace::None)
        return legend;
    if (!plot.legendTitle.empty())
        legend.entries.push_back({plot.legendTitle, nullptr, true});
    for (const Series& s : plot.series) {
        std::string text = s.name;
        if (!s.notDrawn.empty())
            text += " (" + NotDrawnText(s.notDrawn, page.options.language) + ")";
        legend.entries.push_back({text, &s});
    }
    if (plot.axes.valueOne)
        legend.entries.push_back({plot.valueOneName, nullptr});
    for (const LegendEntry& e : legend.entries)
        legend.entryWidth = std::max(legend.entryWidth, (e.title ? 0.0 : legend.sample + legend.inset) + legend.inset +
                                                            page.text.Measure(e.text).width);
    // A name wider than the page is wrapped, never cut off.
    WrapTo(page, legend, page.width - 2 * page.pad - 2 * legend.inset);
    return legend;
}

// Inside a corner of the plot area (then the middles of its sides) that no
// curve crosses; false when no place fits.
bool PlaceInside(const Page& page, Legend& legend, const LinePlot& plot, const FigureFrame& frame, bool mayCover)
{
    const FigureRect& area = frame.plot;
    const double w = legend.Width(1), h = legend.Height(1), in = page.pad;
    if (w > area.width - 2 * in || h > area.height - 2 * in)
        return false;
    if (!mayCover && w * h > kLegendShare * area.width * area.height)
        return false;
    const double xl = area.x + in, xr = area.x + area.width - in - w, xm = area.x + (area.width - w) / 2;
    const double yt = area.y + in, yb = area.y + area.height - in - h, ym = area.y + (area.height - h) / 2;
    const std::pair<double, double> corners[] = {
        {xr, yb}, {xr, yt}, {xl, yb}, {xl, yt}, {xr, ym}, {xl, ym}, {xm, yt}, {xm, yb},
    };
    for (const auto& [x, y] : corners) {
        const FigureRect box{x, y, w, h};
        if (!Covers(page, box, plot.series, frame, plot.depth)) {
            legend.box = box;
            return true;
        }
    }
    if (!mayCover)
        return false;
    legend.box = {xr, yt, w, h};
    return true;
}

// Below the plot in as many columns as the page's width allows; the plot
// gives up the height.
void PlaceBelow(const Page& page, Legend& legend, FigureRect& area)
{
    legend.columns =
        legend.wrap > 0.0
            ? 1
            : std::clamp(int((page.width - 2 * page.pad - 2 * legend.inset) / std::max(legend.entryWidth, 1.0)), 1,
                         int(legend.entries.size()));
    const double h = legend.Height(legend.columns);
    area.height -= h + page.pad;
    legend.box = {area.x, page.height - page.pad - h, legend.Width(legend.columns), h};
    if (legend.box.x + legend.box.width > page.width - page.pad)
        legend.box.x = std::max(page.pad, page.width - page.pad - legend.box.width);
}

// Beside the plot, in as many columns as its height needs; the plot gives up the width.
void PlaceRight(const Page& page, Legend& legend, FigureRect& area)
{
    const int rowsThatFit = std::max(1, int((area.height - 2 * legend.inset) / legend.lineHeight));
    legend.columns = legend.wrap > 0.0 ? 1 : std::max(1, (int(legend.entries.size()) + rowsThatFit - 1) / rowsThatFit);
    const double w = legend.Width(legend.columns);
    area.width -= w + page.pad;
    legend.box = {page.width - page.pad - w, area.y, w, legend.Height(legend.columns)};
}

void DrawLegend(const Page& page, const Legend& legend)
{
    cairo_t* cr = page.cr;
    const FigureRect& b = legend.box;
    cairo_rectangle(cr, b.x, b.y, b.width, b.height);
    cairo_set_source_rgb(cr, 1.0, 1.0, 1.0);
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, 0.6, 0.6, 0.6);
    cairo_set_line_width(cr, 0.4);
    cairo_stroke(cr);
    // Filled column by column, so that neighbours in order stand under each
    // other; a wrapped entry takes as many lines as its text.
    const int rows = legend.Rows(legend.columns);
    double lineTop = b.y + legend.inset;
    for (std::size_t i = 0; i < legend.entries.size(); ++i) {
        const int column = legend.wrap > 0.0 ? 0 : int(i) / rows;
        const int row = int(i) % rows;
        const double x = b.x + legend.inset + column * legend.entryWidth;
        const double top = legend.wrap > 0.0 ? lineTop : b.y + legend.inset + row * legend.lineHeight;
        const double y = top + 0.5 * legend.lineHeight;
        if (legend.wrap > 0.0)
            lineTop += legend.lines[i] * legend.lineHeight;
        const LegendEntry& e = legend.entries[i];
        const TextLook look = LegendLook(legend, e);
        const double textTop = top + (legend.lineHeight - page.lineHeight) / 2;
        if (e.title) {
            page.text.Show(e.text, x, textTop, 0.0, 0.0, look);
            continue;
        }
        cairo_move_to(cr, x, y);
        cairo_line_to(cr, x + legend.sample, y);
        if (e.series)
            StrokeSeries(cr, *e.series);
        else
            DashedValueOne(cr);
        page.text.Show(e.text, x + legend.sample + legend.inset, textTop, 0.0, 0.0, look);
    }
}

FigureFrame DrawLinePlot(const Page& page, const LinePlot& plot, std::vector<std::string>& notes)
{
    cairo_t* cr = page.cr;
    const FigureOptions& options = page.options;
    const bool depth = plot.depth;
    FigureFrame frame;
    frame.horizontal = plot.axes.horizontal;
    frame.vertical = plot.axes.vertical;
    const TickLabels hTicks = MakeTickLabels(page, frame.horizontal);
    const TickLabels vTicks = MakeTickLabels(page, frame.vertical);
    const std::string hLabel = LabelWithFactor(plot.horizontalLabel, hTicks.exponent);
    const std::string vLabel = LabelWithFactor(plot.verticalLabel, vTicks.exponent);

    const double lh = page.lineHeight;
    const double titleHeight = TitleHeight(page);
    const double left = page.pad + lh + page.pad + vTicks.widest + page.gap + page.tick;
    const double lastTick = hTicks.texts.empty() ? 0.0 : page.text.Measure(hTicks.texts.back()).width;
    const double right = std::max(page.pad, lastTick / 2 + page.pad / 2);
    double top, bottom;
    if (depth) {
        top = page.pad + titleHeight + lh + page.gap + lh + page.gap + page.tick;
        bottom = std::max(page.pad, lh / 2 + page.pad / 2);
    } else {
        top = page.pad + titleHeight + lh / 2;
        bottom = page.tick + page.gap + lh + page.gap + lh + page.pad;
    }
    FigureRect& area = frame.plot;
    area = {left, top, page.width - left - right, page.height - top - bottom};
    // Labels longer than their side of the plot wrap, and the margins grow by their extra lines.
    AxisLabel vertical = FitLabel(page, vLabel, area.height);
    area.x += (vertical.lines - 1) * lh;
    area.width -= (vertical.lines - 1) * lh;
    const AxisLabel horizontal = FitLabel(page, hLabel, area.width);
    if (depth)
        area.y += (horizontal.lines - 1) * lh;
    area.height -= (horizontal.lines - 1) * lh;

    // The legend: inside where it covers no curve, otherwise below in
    // columns, or beside the plot where below would take more than a third
    // of the figure's height.
    Legend legend = MakeLegend(page, plot);
    if (!legend.entries.empty()) {
        const LegendPlace place = options.legend;
        bool placed = false;
        if (place == LegendPlace::Auto || place == LegendPlace::Inside)
            placed = PlaceInside(page, legend, plot, frame, place == LegendPlace::Inside);
        if (!placed) {
            const int columns =
                std::clamp(int((page.width - 2 * page.pad - 2 * legend.inset) / std::max(legend.entryWidth, 1.0)), 1,
                           int(legend.entries.size()));
            const bool belowFits = legend.Height(columns) + page.pad <= kLegendShare * page.height;
            // Beside the plot the names may wrap to a share of the page's width.
            Legend beside = legend;
            WrapTo(page, beside, kLegendShare * page.width);
            const bool besideFits = beside.Width(1) <= kLegendShare * page.width + 2 * legend.inset &&
                                    beside.Height(1) <= area.height;
            if (place == LegendPlace::Below || (place == LegendPlace::Auto && (belowFits || !besideFits))) {
                PlaceBelow(page, legend, area);
                if (place == LegendPlace::Auto && !belowFits)
                    notes.push_back("the legend takes " +
                                    std::to_string(int(std::lround(100.0 * legend.box.height / page.height))) +
                                    " % of the figure's height: a taller figure, a smaller font or --legend none "
                                    "leaves the plot more room");
            } else {
                legend = beside;
                PlaceRight(page, legend, area);
            }
        }
        frame.legend = legend.box;
        // A legend below leaves the plot less height: the depth or value label may need another line.
        const AxisLabel refitted = FitLabel(page, vLabel, area.height);
        area.x += (refitted.lines - vertical.lines) * lh;
        area.width -= (refitted.lines - vertical.lines) * lh;
        vertical = refitted;
    }
    if (area.width < 20.0 || area.height < 20.0)
        throw std::invalid_argument("the figure is too small for its texts and legend: make it larger, the font "
                                    "smaller, or the legend --legend none");

    cairo_set_source_rgb(cr, 1.0, 1.0, 1.0);
    cairo_paint(cr);

    // The frame first: a curve along an axis (values of 0 are common) lies on
    // top of it, and the clip leaves room for half a curve's width outside.
    StrokeFrame(cr, area);
    cairo_save(cr);
    const FigureRect clip = Grown(area, (kCurveWidth + kCasingExtra) / 2);
    cairo_rectangle(cr, clip.x, clip.y, clip.width, clip.height);
    cairo_clip(cr);
    if (plot.axes.valueOne) {
        const double x = area.x + *plot.axes.valueOne * area.width;
        cairo_move_to(cr, x, area.y);
        cairo_line_to(cr, x, area.y + area.height);
        DashedValueOne(cr);
    }
    for (const Series& s : plot.series) {
        page.CheckStop();
        CurvePath(page, s, frame, depth);
        StrokeSeries(cr, s);
    }
    cairo_restore(cr);

    DrawTicks(page, area, frame.horizontal, hTicks, depth ? Side::Top : Side::Bottom, false);
    DrawTicks(page, area, frame.vertical, vTicks, Side::Left, depth);

    page.text.ShowUpward(vertical.text, page.pad + vertical.lines * lh / 2, area.y + area.height / 2, vertical.look);
    if (depth)
        page.text.Show(horizontal.text, area.x + area.width / 2, area.y - page.tick - page.gap - lh - page.gap, 0.5,
                       1.0, horizontal.look);
    else
        page.text.Show(horizontal.text, area.x + area.width / 2,
                       area.y + area.height + page.tick + page.gap + lh + page.gap, 0.5, 0.0, horizontal.look);
    DrawTitle(page);
    if (!legend.entries.empty())
        DrawLegend(page, legend);
    return frame;
}

} // namespace

FigureFrame DrawFigure(cairo_t* cr, double width, double height, const FigureOptions& options,
                       const FigureSource& source, std::vector<std::string>& notes, const FigureStopCheck& stop,
                       std::vector<PlacedText>* placed)
{
    const FigureText text(cr, options.fontSize, placed);
    const Page page(cr, text, options, width, height, stop);
    page.CheckStop();
    switch (options.kind) {
    case PlotKind::Depth:
    case PlotKind::Signal:
        return DrawLinePlot(page, WindowPlot(options, source, notes), notes);
    case PlotKind::Sweep:
        return DrawLinePlot(page, FamilyPlot(options, *source.data, notes), notes);
    case PlotKind::Scan:
        return DrawMap(page, *source.data, notes);
    case PlotKind::Fit:
        return DrawFit(page, *source.fit, notes);
    }
    throw std::invalid_argument("unknown kind of figure");
}

} // namespace tamrisk
