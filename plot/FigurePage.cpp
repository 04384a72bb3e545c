// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/FigurePage.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace tamrisk {

namespace {

constexpr int kMaxTitleLines = 3;
constexpr TextLook kTitleLook{true, 1.2, 0.0};

TextLook TitleLook(const Page& page)
{
    TextLook look = kTitleLook;
    look.wrapWidth = page.width - 2 * page.pad;
    return look;
}

} // namespace

Page::Page(cairo_t* cr_, const FigureText& text_, const FigureOptions& options_, double width_, double height_,
           const FigureStopCheck& stop_)
    : cr(cr_),
      text(text_),
      options(options_),
      width(width_),
      height(height_),
      fs(options_.fontSize),
      pad(0.6 * fs),
      tick(0.45 * fs),
      minorTick(0.25 * fs),
      gap(0.3 * fs),
      lineHeight(text_.Measure("0").height),
      stop(stop_)
{
}

void Page::CheckStop() const
{
    if (stop && stop())
        throw FigureStopped();
}

double TitleHeight(const Page& page)
{
    if (page.options.title.empty())
        return 0.0;
    const TextLook look = TitleLook(page);
    if (page.text.Lines(page.options.title, look) > kMaxTitleLines)
        throw std::invalid_argument("the title takes more than three lines at this width and font size: shorten it, "
                                    "or make the figure wider or the font smaller");
    return page.text.Measure(page.options.title, look).height + page.pad;
}

void DrawTitle(const Page& page)
{
    if (!page.options.title.empty())
        page.text.Show(page.options.title, page.width / 2, page.pad, 0.5, 0.0, TitleLook(page));
}

TickLabels MakeTickLabels(const Page& page, const FigureAxis& axis)
{
    TickLabels labels;
    labels.ticks = MakeTicks(axis);
    labels.exponent = AxisExponent(axis, labels.ticks);
    for (double v : labels.ticks.major) {
        labels.texts.push_back(PrintTickText(v, axis, labels.ticks, page.options.language, labels.exponent));
        labels.widest = std::max(labels.widest, page.text.Measure(labels.texts.back()).width);
    }
    return labels;
}

void DrawTicks(const Page& page, const FigureRect& r, const FigureAxis& axis, const TickLabels& labels, Side side,
               bool down)
{
    cairo_t* cr = page.cr;
    const bool horizontal = side == Side::Top || side == Side::Bottom;
    const auto at = [&](double v) {
        const double f = *axis.Fraction(v);
        return horizontal ? r.x + f * r.width : (down ? r.y + f * r.height : r.y + r.height - f * r.height);
    };
    const double edge = side == Side::Top      ? r.y
                        : side == Side::Bottom ? r.y + r.height
                        : side == Side::Left   ? r.x
                                               : r.x + r.width;
    const double outward = side == Side::Top || side == Side::Left ? -1.0 : 1.0;

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
    for (double v : labels.ticks.minor)
        mark(v, page.minorTick);
    for (double v : labels.ticks.major)
        mark(v, page.tick);
    cairo_stroke(cr);

    // Numbers: where neighbours would touch, only every n-th is written,
    // counted from the end so that the axis's last tick keeps its number.
    const std::vector<double>& major = labels.ticks.major;
    double closest = INFINITY;
    for (std::size_t i = 1; i < major.size(); ++i)
        closest = std::min(closest, std::fabs(at(major[i]) - at(major[i - 1])));
    const double needed = (horizontal ? labels.widest : page.lineHeight) + page.gap * 2;
    const std::size_t every =
        std::max<std::size_t>(1, std::isfinite(closest) && closest > 0 ? std::size_t(std::ceil(needed / closest)) : 1);
    const double off = page.tick + page.gap;
    for (std::size_t n = 0; n < major.size(); n += every) {
        const std::size_t i = major.size() - 1 - n;
        const double t = at(major[i]);
        switch (side) {
        case Side::Top:
            page.text.Show(labels.texts[i], t, edge - off, 0.5, 1.0);
            break;
        case Side::Bottom:
            page.text.Show(labels.texts[i], t, edge + off, 0.5, 0.0);
            break;
        case Side::Left:
            page.text.Show(labels.texts[i], edge - off, t, 1.0, 0.5);
            break;
        case Side::Right:
            page.text.Show(labels.texts[i], edge + off, t, 0.0, 0.5);
            break;
        }
    }
}

void StrokeFrame(cairo_t* cr, const FigureRect& r)
{
    cairo_rectangle(cr, r.x, r.y, r.width, r.height);
    cairo_set_source_rgb(cr, 0.0, 0.0, 0.0);
    cairo_set_line_width(cr, kFrameWidth);
    cairo_stroke(cr);
}

} // namespace tamrisk
