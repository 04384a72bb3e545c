// SPDX-License-Identifier: GPL-3.0-or-later
// The figure module: WriteFigure behind one C symbol, so that programs which
// draw figures only now and then load Cairo and Pango only when they do.
#include "plot/FigureModule.h"

#include "model/CurveTable.h"
#include "output/ByteSink.h"
#include "plot/Figure.h"

#include <exception>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

static_assert(std::is_same_v<decltype(&tamrisk_draw_figure), TamriskDrawFigure>);
// The request's numbers for plot, format and language are the enumerations' values.
static_assert(int(tamrisk::PlotKind::Depth) == 0 && int(tamrisk::PlotKind::Signal) == 1 &&
              int(tamrisk::PlotKind::Scan) == 2 && int(tamrisk::PlotKind::Sweep) == 3 &&
              int(tamrisk::PlotKind::Fit) == 4);
static_assert(int(tamrisk::FigureStyle::Print) == 0 && int(tamrisk::FigureStyle::Window) == 1);
static_assert(int(tamrisk::LegendPlace::Auto) == 0 && int(tamrisk::LegendPlace::None) == 4);
static_assert(int(tamrisk::FigureFormat::Svg) == 0 && int(tamrisk::FigureFormat::Pdf) == 1 &&
              int(tamrisk::FigureFormat::Png) == 2);
static_assert(int(tamrisk::Language::En) == 0 && int(tamrisk::Language::De) == 1);

namespace tamrisk {
namespace {

// The model state the figure needs, rebuilt from the request: only the shown
// curves hold values, and only they are flagged.
struct FigureInput {
    FigureOptions options;
    ModelParameters params;
    DisplayFlags flags;
    DepthProfile profile;
    SignalCurves curves;
    FigureData data;
    FitFigureData fit;
};

std::vector<double> Numbers(const double* values, std::size_t count)
{
    return count == 0 ? std::vector<double>() : std::vector<double>(values, values + count);
}

template <class Enum>
std::optional<Enum> EnumFrom(int value, Enum last)
{
    if (value < 0 || value > int(last))
        return std::nullopt;
    return Enum(value);
}

std::string_view Text(const char* text, std::size_t length)
{
    return length == 0 ? std::string_view() : std::string_view(text, length);
}

// Throws std::invalid_argument for a request the module cannot read.
FigureInput ReadRequest(const TamriskFigureRequest& request)
{
    if (request.version != TAMRISK_FIGURE_INTERFACE_VERSION)
        throw std::invalid_argument("the figure module is of another version than the program");
    FigureInput in;
    FigureOptions& o = in.options;
    const std::optional<PlotKind> kind = EnumFrom(request.kind, PlotKind::Fit);
    const std::optional<FigureFormat> format = EnumFrom(request.format, FigureFormat::Png);
    const std::optional<Language> language = EnumFrom(request.language, Language::De);
    const std::optional<FigureStyle> style = EnumFrom(request.style, FigureStyle::Window);
    const std::optional<LegendPlace> legend = EnumFrom(request.legend, LegendPlace::None);
    if (!kind || !format || !language || !style || !legend)
        throw std::invalid_argument("the figure request names an unknown plot, format, language, style or legend");
    o.kind = *kind;
    o.format = *format;
    o.widthMm = request.widthMm;
    o.heightMm = request.heightMm;
    o.dpi = request.dpi;
    o.fontSize = request.fontSize;
    o.title = Text(request.title, request.titleLength);
    o.language = *language;
    o.logValues = request.logValues != 0;
    o.logTime = request.logTime != 0;
    o.style = *style;
    o.legend = *legend;

    if (o.kind == PlotKind::Fit) {
        if (request.fit == nullptr)
            throw std::invalid_argument("the figure request of a fit has no fit");
        const TamriskFigureFit& fit = *request.fit;
        in.fit.xLabel = Text(fit.xLabel, fit.xLabelLength);
        in.fit.yLabel = Text(fit.yLabel, fit.yLabelLength);
        for (std::size_t s = 0; s < fit.setCount; ++s) {
            const TamriskFigureFitSet& from = fit.sets[s];
            FitFigureSet set;
            set.name = Text(from.name, from.nameLength);
            set.x = Numbers(from.x, from.count);
            set.y = Numbers(from.y, from.count);
            set.sigma = Numbers(from.sigma, from.count);
            set.residual = Numbers(from.residual, from.count);
            set.curveX = Numbers(from.curveX, from.curveCount);
            set.curveY = Numbers(from.curveY, from.curveCount);
            set.low = Numbers(from.curveLow, from.curveCount);
            set.high = Numbers(from.curveHigh, from.curveCount);
            in.fit.sets.push_back(std::move(set));
        }
        return in;
    }
    if (o.kind == PlotKind::Scan || o.kind == PlotKind::Sweep) {
        FigureData& d = in.data;
        d.xColumn = Text(request.xColumn, request.xColumnLength);
        d.yColumn = Text(request.yColumn, request.yColumnLength);
        d.zColumn = Text(request.zColumn, request.zColumnLength);
        d.x = Numbers(request.x, request.xCount);
        d.y = Numbers(request.y, request.yCount);
        if (request.xCount != 0 && request.yCount > std::size_t(-1) / request.xCount)
            throw std::invalid_argument("the figure request's table is too large");
        d.z = Numbers(request.z, request.xCount * request.yCount);
        d.xLog = request.xLog != 0;
        d.yLog = request.yLog != 0;
        d.levels = Numbers(request.levels, request.levelCount);
        return in;
    }

    ModelParameters& p = in.params;
    p.depthPoints = request.depthPoints;
    p.timePoints = request.timePoints;
    p.top = request.top;
    p.bottom = request.bottom;
    p.timeMin = request.timeMin;
    p.timeMax = request.timeMax;
    p.plotMax = request.plotMax;
    p.intensityMin = request.intensityMin;
    p.intensityMax = request.intensityMax;

    for (std::size_t i = 0; i < request.curveCount; ++i) {
        const TamriskFigureCurve& curve = request.curves[i];
        const std::string_view name = Text(curve.name, curve.nameLength);
        const CurveRow* row = FindCurve(name);
        if (row == nullptr)
            throw std::invalid_argument("the figure request names an unknown curve " + std::string(name));
        in.flags.*row->flag = true;
        const std::vector<float> values(curve.values, curve.values + curve.count);
        if (row->plot == PlotKind::Depth) {
            in.profile.*kProfileArrays[std::size_t(row->array)].values = values;
        } else {
            const SignalArrayRow& array = kSignalArrays[std::size_t(row->array)];
            in.curves.*array.values = values;
            in.curves.*array.computed = true;
        }
    }
    return in;
}

// Draws; the error text when the figure cannot be drawn. Throws FigureStopped.
std::optional<std::string> Draw(const TamriskFigureRequest& request, StringSink& sink, std::vector<std::string>& notes)
{
    int (*const stopRequested)() = request.stopRequested;
    const FigureStopCheck stop = [stopRequested] { return stopRequested != nullptr && stopRequested() != 0; };
    try {
        const FigureInput in = ReadRequest(request);
        if (in.options.kind == PlotKind::Fit)
            WriteFitFigure(in.options, in.fit, sink, &notes, stop);
        else if (in.options.kind == PlotKind::Scan || in.options.kind == PlotKind::Sweep)
            WriteDataFigure(in.options, in.data, sink, &notes, stop);
        else
            WriteFigure(in.options, in.params, in.flags, in.profile, in.curves, sink, &notes, stop);
        return std::nullopt;
    } catch (const FigureStopped&) {
        throw;
    } catch (const std::exception& error) {
        return error.what();
    } catch (...) {
        return "the figure could not be drawn";
    }
}

int Deliver(TamriskFigureWrite write, void* context, TamriskFigureOutput output, std::string_view bytes)
{
    return write(context, output, bytes.data(), bytes.size());
}

} // namespace
} // namespace tamrisk

extern "C" __attribute__((visibility("default"))) int tamrisk_draw_figure(const TamriskFigureRequest* request,
                                                                          TamriskFigureWrite write, void* context)
{
    using namespace tamrisk;
    if (write == nullptr)
        return 1;
    try {
        StringSink sink;
        std::vector<std::string> notes;
        if (request == nullptr) {
            Deliver(write, context, TAMRISK_FIGURE_ERROR, "no figure request");
            return 1;
        }
        if (const std::optional<std::string> error = Draw(*request, sink, notes)) {
            Deliver(write, context, TAMRISK_FIGURE_ERROR, *error);
            return 1;
        }
        for (const std::string& note : notes)
            if (Deliver(write, context, TAMRISK_FIGURE_NOTE, note) != 0)
                return 1;
        return Deliver(write, context, TAMRISK_FIGURE_BYTES, sink.data()) != 0 ? 1 : 0;
    } catch (const FigureStopped&) {
        return TAMRISK_FIGURE_STOPPED;
    } catch (...) {
        // Nothing leaves the module as an exception (std::bad_alloc included).
        return 1;
    }
}
