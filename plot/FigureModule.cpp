// SPDX-License-Identifier: GPL-3.0-or-later
// The figure module: WriteFigure behind one C symbol, so that programs which
// draw figures only now and then load Cairo and Pango only when they do.
#include "plot/FigureModule.h"

#include "output/ByteSink.h"
#include "plot/Figure.h"

#include <exception>
#include <type_traits>

static_assert(std::is_same_v<decltype(&tamrisk_draw_figure), tamrisk::DrawFigureFunction>);

extern "C" __attribute__((visibility("default"))) void tamrisk_draw_figure(
    const tamrisk::FigureOptions& options, const tamrisk::ModelParameters& params, const tamrisk::DisplayFlags& flags,
    const tamrisk::DepthProfile& profile, const tamrisk::SignalCurves& curves, tamrisk::FigureDrawing& drawing)
{
    try {
        tamrisk::StringSink sink;
        tamrisk::WriteFigure(options, params, flags, profile, curves, sink, &drawing.notes);
        drawing.bytes = sink.data();
    } catch (const std::exception& error) {
        drawing.error = error.what();
    } catch (...) {
        drawing.error = "the figure could not be drawn";
    }
}
