// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/FigureMap.h"

#include "plot/ColourMap.h"
#include "plot/Contours.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <stdexcept>

namespace tamrisk {

namespace {

constexpr PenColor kNotFiniteGrey{190, 190, 190};
constexpr double kContourWidth = 0.5; // pt

struct SurfaceDeleter {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;

std::uint32_t Pixel(const PenColor& c)
{
    return 0xFF000000u | std::uint32_t(c.r) << 16 | std::uint32_t(c.g) << 8 | std::uint32_t(c.b);
}

// The picture of the cells: one pixel per grid point, the first extinction at the bottom.
SurfacePtr CellPicture(const FigureData& data, const FigureAxis& colourAxis)
{
    const int columns = int(data.x.size()), rows = int(data.y.size());
    SurfacePtr picture(cairo_image_surface_create(CAIRO_FORMAT_RGB24, columns, rows));
    cairo_surface_flush(picture.get());
    unsigned char* bytes = cairo_image_surface_get_data(picture.get());
    const int stride = cairo_image_surface_get_stride(picture.get());
    for (int i = 0; i < rows; ++i) {
        auto* line = reinterpret_cast<std::uint32_t*>(bytes + std::size_t(rows - 1 - i) * std::size_t(stride));
        for (int j = 0; j < columns; ++j)
            line[j] = Pixel(MapColour(data.z[std::size_t(i) * std::size_t(columns) + std::size_t(j)], colourAxis));
    }
    cairo_surface_mark_dirty(picture.get());
    return picture;
}

// Paints a picture of columns x rows pixels so that pixel centres lie on the
// grid points, the outer ones on the edges of r; sharp cells, no smoothing.
void PaintCells(cairo_t* cr, cairo_surface_t* picture, const FigureRect& r, int columns, int rows)
{
    const double cellW = r.width / double(columns - 1), cellH = r.height / double(rows - 1);
    cairo_save(cr);
    cairo_rectangle(cr, r.x, r.y, r.width, r.height);
    cairo_clip(cr);
    cairo_translate(cr, r.x - cellW / 2, r.y - cellH / 2);
    cairo_scale(cr, cellW, cellH);
    cairo_set_source_surface(cr, picture, 0.0, 0.0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_paint(cr);
    cairo_restore(cr);
}

int CountNotFinite(const std::vector<double>& z)
{
    return int(std::count_if(z.begin(), z.end(), [](double v) { return !std::isfinite(v); }));
}

} // namespace

PenColor MapColour(double value, const FigureAxis& colourAxis)
{
    const std::optional<double> f = colourAxis.Fraction(value);
    return f ? Viridis(*f) : kNotFiniteGrey;
}

FigureFrame DrawMap(const Page& page, const FigureData& data, std::vector<std::string>& notes)
{
    cairo_t* cr = page.cr;
    const std::size_t columns = data.x.size(), rows = data.y.size();
    FigureFrame frame;
    frame.horizontal = {data.x.front(), data.x.back(), data.xLog};
    frame.vertical = {data.y.front(), data.y.back(), data.yLog};

    double lo = INFINITY, hi = -INFINITY;
    for (double v : data.z)
        if (std::isfinite(v)) {
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
    if (const int missing = CountNotFinite(data.z); missing > 0)
        notes.push_back(std::to_string(missing) + " of the map's values are not finite; their cells are grey");
    if (!std::isfinite(lo)) {
        lo = 0.0;
        hi = 1.0;
        notes.push_back("no value of the map is finite");
    }
    frame.colourAxis = RoundedAxis(lo, hi > lo ? hi : lo + 1.0, false, 0.0);
    frame.levels = data.levels.empty() ? RoundLevels(lo, hi) : data.levels;

    const TickLabels hTicks = MakeTickLabels(page, frame.horizontal);
    const TickLabels vTicks = MakeTickLabels(page, frame.vertical);
    const TickLabels cTicks = MakeTickLabels(page, frame.colourAxis);
    const Language language = page.options.language;
    const std::string hLabel = LabelWithFactor(ColumnLabel(data.xColumn, language), hTicks.exponent);
    const std::string vLabel = LabelWithFactor(ColumnLabel(data.yColumn, language), vTicks.exponent);
    const std::string cLabel = LabelWithFactor(ColumnLabel(data.zColumn, language), cTicks.exponent);

    const double lh = page.lineHeight;
    const double barWidth = 1.2 * page.fs;
    const double titleHeight = TitleHeight(page);
    const double left = page.pad + lh + page.pad + vTicks.widest + page.gap + page.tick;
    const double right = 2 * page.pad + barWidth + page.tick + page.gap + cTicks.widest + page.pad + lh + page.pad;
    const double top = page.pad + titleHeight + lh / 2;
    const double bottom = page.tick + page.gap + lh + page.gap + lh + page.pad;
    FigureRect& area = frame.plot;
    area = {left, top, page.width - left - right, page.height - top - bottom};
    if (area.width < 20.0 || area.height < 20.0)
        throw std::invalid_argument("the figure is too small for its texts: make it larger or the font smaller");
    frame.colourBar = {area.x + area.width + 2 * page.pad, area.y, barWidth, area.height};

    cairo_set_source_rgb(cr, 1.0, 1.0, 1.0);
    cairo_paint(cr);
    page.CheckStop();
    const SurfacePtr cells = CellPicture(data, frame.colourAxis);
    PaintCells(cr, cells.get(), area, int(columns), int(rows));

    // The colour bar: the colour map from the bottom up, the levels marked across it.
    {
        constexpr int kSteps = 256;
        SurfacePtr bar(cairo_image_surface_create(CAIRO_FORMAT_RGB24, 2, kSteps));
        cairo_surface_flush(bar.get());
        unsigned char* bytes = cairo_image_surface_get_data(bar.get());
        const int stride = cairo_image_surface_get_stride(bar.get());
        for (int k = 0; k < kSteps; ++k) {
            auto* line = reinterpret_cast<std::uint32_t*>(bytes + std::size_t(kSteps - 1 - k) * std::size_t(stride));
            line[0] = line[1] = Pixel(Viridis(double(k) / (kSteps - 1)));
        }
        cairo_surface_mark_dirty(bar.get());
        PaintCells(cr, bar.get(), frame.colourBar, 2, kSteps);
        StrokeFrame(cr, frame.colourBar);
        cairo_set_source_rgb(cr, 0.0, 0.0, 0.0);
        cairo_set_line_width(cr, kContourWidth);
        for (double level : frame.levels)
            if (const std::optional<double> f = frame.colourAxis.Fraction(level); f && *f >= 0.0 && *f <= 1.0) {
                const double y = frame.colourBar.y + frame.colourBar.height * (1.0 - *f);
                cairo_move_to(cr, frame.colourBar.x, y);
                cairo_line_to(cr, frame.colourBar.x + frame.colourBar.width, y);
            }
        cairo_stroke(cr);
    }

    // Contour lines with their values, each written over a white patch on
    // its line; the labels of successive levels stand at staggered places
    // across the map, so that lines close together keep their labels apart.
    const double sx = area.width / double(columns - 1), sy = area.height / double(rows - 1);
    const auto toPage = [&](double x, double y) { return std::pair(area.x + x * sx, area.y + area.height - y * sy); };
    struct Label {
        std::string text;
        double x, y;
    };
    std::vector<Label> labels;
    cairo_save(cr);
    cairo_rectangle(cr, area.x, area.y, area.width, area.height);
    cairo_clip(cr);
    const std::size_t levelCount = frame.levels.size();
    for (std::size_t n = 0; n < levelCount; ++n) {
        const double level = frame.levels[n];
        page.CheckStop();
        const std::vector<ContourSegment> segments = ContourSegments(data.z, columns, rows, level);
        if (segments.empty())
            continue;
        const double targetX =
            area.x + area.width * (0.2 + 0.6 * (levelCount > 1 ? double(n) / double(levelCount - 1) : 0.5));
        const double targetY = area.y + area.height / 2;
        double best = INFINITY;
        std::pair<double, double> at;
        for (const ContourSegment& s : segments) {
            const auto [x0, y0] = toPage(s.x0, s.y0);
            const auto [x1, y1] = toPage(s.x1, s.y1);
            cairo_move_to(cr, x0, y0);
            cairo_line_to(cr, x1, y1);
            const double mx = (x0 + x1) / 2, my = (y0 + y1) / 2;
            // A label must keep clear of the frame.
            const bool clear = my > area.y + page.lineHeight && my < area.y + area.height - page.lineHeight &&
                               mx > area.x + 2 * page.lineHeight && mx < area.x + area.width - 2 * page.lineHeight;
            const double distance = std::hypot(mx - targetX, 0.3 * (my - targetY)) + (clear ? 0.0 : 1e9);
            if (distance < best) {
                best = distance;
                at = {mx, my};
            }
        }
        cairo_set_source_rgb(cr, 1.0, 1.0, 1.0);
        cairo_set_line_width(cr, kContourWidth * 2.2);
        cairo_stroke_preserve(cr);
        cairo_set_source_rgb(cr, 0.0, 0.0, 0.0);
        cairo_set_line_width(cr, kContourWidth);
        cairo_stroke(cr);
        labels.push_back(
            {PrintTickText(level, frame.colourAxis, cTicks.ticks, language, cTicks.exponent), at.first, at.second});
    }
    for (const Label& label : labels) {
        const TextSize size = page.text.Measure(label.text);
        const double w = size.width + page.gap, h = size.height;
        cairo_rectangle(cr, label.x - w / 2, label.y - h / 2, w, h);
        cairo_set_source_rgb(cr, 1.0, 1.0, 1.0);
        cairo_fill(cr);
        page.text.Show(label.text, label.x, label.y, 0.5, 0.5);
    }
    cairo_restore(cr);

    StrokeFrame(cr, area);
    DrawTicks(page, area, frame.horizontal, hTicks, Side::Bottom, false);
    DrawTicks(page, area, frame.vertical, vTicks, Side::Left, false);
    DrawTicks(page, frame.colourBar, frame.colourAxis, cTicks, Side::Right, false);

    page.text.ShowUpward(vLabel, page.pad + lh / 2, area.y + area.height / 2);
    page.text.Show(hLabel, area.x + area.width / 2, area.y + area.height + page.tick + page.gap + lh + page.gap, 0.5,
                   0.0);
    page.text.ShowUpward(cLabel, page.width - page.pad - lh / 2, area.y + area.height / 2);
    DrawTitle(page);
    return frame;
}

} // namespace tamrisk
