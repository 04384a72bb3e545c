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

TamriskFigureRequest BaseRequest(const FigureOptions& options)
{
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
    request.style = int(options.style);
    request.legend = int(options.legend);
    return request;
}

FigureDrawing Run(DrawFigureFunction draw, const TamriskFigureRequest& request)
{
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

} // namespace

FigureDrawing DrawFitWithModule(DrawFigureFunction draw, const FigureOptions& options, const FitFigureData& fit,
                                int (*stopRequested)())
{
    std::vector<TamriskFigureFitSet> sets;
    for (const FitFigureSet& set : fit.sets) {
        // The module reads as many values of each as there are points and curve samples.
        if (set.y.size() != set.x.size() || set.sigma.size() != set.x.size() || set.residual.size() != set.x.size() ||
            set.curveY.size() != set.curveX.size() || set.low.size() != set.curveX.size() ||
            set.high.size() != set.curveX.size())
            return {{}, {}, "a data set's columns differ in length"};
        sets.push_back({set.name.data(), set.name.size(), set.x.data(), set.y.data(), set.sigma.data(),
                        set.residual.data(), set.x.size(), set.curveX.data(), set.curveY.data(), set.low.data(),
                        set.high.data(), set.curveX.size()});
    }
    const TamriskFigureFit data{fit.xLabel.data(), fit.xLabel.size(), fit.yLabel.data(),
                                fit.yLabel.size(), sets.data(),       sets.size()};
    TamriskFigureRequest request = BaseRequest(options);
    request.stopRequested = stopRequested;
    request.fit = &data;
    return Run(draw, request);
}

FigureDrawing DrawDataWithModule(DrawFigureFunction draw, const FigureOptions& options, const FigureData& data,
                                 int (*stopRequested)())
{
    TamriskFigureRequest request = BaseRequest(options);
    request.stopRequested = stopRequested;
    request.xColumn = data.xColumn.data();
    request.xColumnLength = data.xColumn.size();
    request.yColumn = data.yColumn.data();
    request.yColumnLength = data.yColumn.size();
    request.zColumn = data.zColumn.data();
    request.zColumnLength = data.zColumn.size();
    request.x = data.x.data();
    request.xCount = data.x.size();
    request.y = data.y.data();
    request.yCount = data.y.size();
    // The module reads x * y values; fewer would be read past their end.
    if (data.z.size() != data.x.size() * data.y.size())
        return {{}, {}, "the table's values do not fill its grid"};
    request.z = data.z.data();
    request.xLog = data.xLog ? 1 : 0;
    request.yLog = data.yLog ? 1 : 0;
    request.levels = data.levels.data();
    request.levelCount = data.levels.size();
    return Run(draw, request);
}

FigureDrawing DrawWithModule(DrawFigureFunction draw, const FigureOptions& options, const ModelParameters& params,
                             const DisplayFlags& flags, const DepthProfile& profile, const SignalCurves& curves,
                             int (*stopRequested)())
{
    const int points = options.kind == PlotKind::Depth ? params.depthPoints : params.timePoints;
    std::vector<TamriskFigureCurve> shown;
    for (const ShownCurve& curve : ShownCurves(options.kind, flags, profile, curves, points))
        shown.push_back({curve.row->name, std::strlen(curve.row->name), curve.values, std::size_t(points)});

    TamriskFigureRequest request = BaseRequest(options);
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
    return Run(draw, request);
}

} // namespace tamrisk::cli
