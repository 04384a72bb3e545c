// SPDX-License-Identifier: GPL-3.0-or-later
// What the drawing of line plots and of maps shares: the page's measures,
// the title, and axes with their ticks and numbers.
#pragma once

#include "plot/FigureSeries.h"
#include "plot/FigureText.h"

#include <string>
#include <vector>

typedef struct _cairo cairo_t;

namespace tamrisk {

constexpr double kFrameWidth = 0.6; // pt

struct Page {
    cairo_t* cr;
    const FigureText& text;
    const FigureOptions& options;
    double width, height;
    double fs, pad, tick, minorTick, gap, lineHeight;

    const FigureStopCheck& stop;

    Page(cairo_t* cr, const FigureText& text, const FigureOptions& options, double width, double height,
         const FigureStopCheck& stop);
    // Throws FigureStopped when the caller asked to stop.
    void CheckStop() const;
};

// The title, wrapped to the page's width; its height with the gap below, 0 without a title.
// Throws std::invalid_argument when it would take more than three lines.
double TitleHeight(const Page& page);
void DrawTitle(const Page& page);

enum class Side { Top, Bottom, Left, Right };

// An axis's numbered ticks as texts, and the power of ten they are written in.
struct TickLabels {
    AxisTicks ticks;
    std::vector<std::string> texts;
    int exponent = 0;
    double widest = 0.0;
};
TickLabels MakeTickLabels(const Page& page, const FigureAxis& axis);

// Ticks and numbers along one side of a rectangle; a vertical axis runs
// upward unless `down`.
void DrawTicks(const Page& page, const FigureRect& r, const FigureAxis& axis, const TickLabels& labels, Side side,
               bool down);

void StrokeFrame(cairo_t* cr, const FigureRect& r);

} // namespace tamrisk
