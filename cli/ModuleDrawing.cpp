// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ModuleDrawing.h"

#include "plot/ShownCurves.h"

#include <cstring>

namespace tamrisk::cli {

namespace {

// Takes the module's output; never throws into the module.
int Collect(void* context, int output, const char* bytes, std::size_t length) noexcept
{
    FigureDrawing& drawing = *static_cast<FigureDrawing*>(context);
    try {
        switch (output) {
        case TAMRISK_FIGURE_BYTES:
            drawing.bytes.append(bytes, length);
            return 0;
        case TAMRISK_FIGURE_NOTE:
            drawing.notes.emplace_back(bytes, length);
            return 0;
        case TAMRISK_FIGURE_ERROR:
            drawing.error.assign(bytes, length);
            return 0;
        default:
            return 1;
        }
    } catch (...) {
        return 1;
    }
}

} // namespace

FigureDrawing DrawWithModule(DrawFigureFunction draw, const FigureOptions& options, const ModelParameters& params,
                             const DisplayFlags& flags, const DepthProfile& profile, const SignalCurves& curves,
                             int (*stopRequested)())
{
    const int points = options.kind == PlotKind::Depth ? params.depthPoints : params.timePoints;
    std::vector<TamriskFigureCurve> shown;
    for (const ShownCurve& curve : ShownCurves(options.kind, flags, profile, curves, points))
        shown.push_back({curve.row->name, std::strlen(curve.row->name), curve.values, std::size_t(points)});

    TamriskFigureRequest request{};
    request.version = TAMRISK_FIGURE_INTERFACE_VERSION;
    request.kind = int(options.kind);
    request.format = int(options.format);
    request.widthMm = options.widthMm;
    request.heightMm = options.heightMm;
    request.dpi = options.dpi;
    request.fontSize = options.fontSize;
    request.title = options.title.data();
    request.titleLength = options.title.size();
    request.language = int(options.language);
    request.logValues = options.logValues ? 1 : 0;
    request.logTime = options.logTime ? 1 : 0;
    request.depthPoints = params.depthPoints;
    request.timePoints = params.timePoints;
    request.top = params.top;
    request.bottom = params.bottom;
    request.timeMin = params.timeMin;
    request.timeMax = params.timeMax;
    request.plotMax = params.plotMax;
    request.intensityMin = params.intensityMin;
    request.intensityMax = params.intensityMax;
    request.curves = shown.data();
    request.curveCount = shown.size();
    request.stopRequested = stopRequested;

    FigureDrawing drawing;
    const int result = draw(&request, Collect, &drawing);
    if (result != 0) {
        drawing.bytes.clear();
        drawing.notes.clear();
        drawing.stopped = result == TAMRISK_FIGURE_STOPPED;
        if (drawing.stopped)
            drawing.error.clear();
        else if (drawing.error.empty())
            drawing.error = "the figure could not be drawn";
    }
    return drawing;
}

} // namespace tamrisk::cli
