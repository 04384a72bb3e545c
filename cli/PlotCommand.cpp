// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/PlotCommand.h"

#include "cli/FigureModuleLoader.h"
#include "cli/Interrupts.h"
#include "cli/OutputPaths.h"
#include "cli/OutputWriter.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <iterator>
#include <memory>
#include <string_view>
#include <utility>
#include <ostream>

namespace tamrisk::cli {

namespace {

constexpr int kFailure = 1;
constexpr int kUsage = 2;

const PlotOptionRow& Row(std::string_view name)
{
    for (const PlotOptionRow& row : kPlotOptions)
        if (name == row.name)
            return row;
    throw std::logic_error("no plot option " + std::string(name));
}

std::string Help(std::string_view name)
{
    const PlotOptionRow& row = Row(name);
    std::string help = row.meaning;
    if (*row.defaultValue)
        help += std::string(" (default: ") + row.defaultValue + ")";
    return help;
}

// Asked by the figure module while it draws.
int InterruptRequested() { return InterruptSignal() != 0 ? 1 : 0; }

std::optional<FigureFormat> ChosenFormat(const FigureCommandRequest& request, std::string& problem)
{
    if (request.format)
        return request.format;
    if (request.output == "-") {
        problem = "writing to standard output needs --format svg, pdf or png";
        return std::nullopt;
    }
    const std::optional<FigureFormat> format = FigureFormatFromPath(request.output);
    if (!format)
        problem = "the format of " + request.output + " is unknown: end it in .svg, .pdf or .png, or give --format";
    return format;
}

} // namespace

void AddPlotOptions(CLI::App& command, FigureCommandRequest& request, PlotOptionTexts& texts)
{
    FigureOptions& figure = request.figure;
    command.add_option("kind", texts.kind, Help("kind"))
        ->required()
        ->check(CLI::IsMember({"depth", "signal", "scan", "sweep", "fit"}));
    command.add_option("-o,--output", request.output, Help("-o,--output"))->required();
    command.add_option("--format", texts.format, Help("--format"))->check(CLI::IsMember({"svg", "pdf", "png"}));
    command.add_option("--width", texts.width, Help("--width"));
    command.add_option("--height", figure.heightMm, Help("--height"));
    command.add_option("--dpi", figure.dpi, Help("--dpi"));
    command.add_option("--font-size", figure.fontSize, Help("--font-size"));
    command.add_option("--title", figure.title, Help("--title"));
    command.add_option("--language", texts.language, Help("--language"))->check(CLI::IsMember({"en", "de"}));
    command.add_flag("--log-values", figure.logValues, Help("--log-values"));
    command.add_flag("--log-time", figure.logTime, Help("--log-time"));
    command.add_option("--style", texts.style, Help("--style"))->check(CLI::IsMember({"print", "window"}));
    command.add_option("--legend", texts.legend, Help("--legend"))
        ->check(CLI::IsMember({"auto", "inside", "right", "below", "none"}));
    command.add_option("--vary", request.vary, Help("--vary"));
    command.add_option("--column", request.column, Help("--column"));
    command.add_option("--from", request.from, Help("--from"));
    command.add_option("--levels", request.levels, Help("--levels"))->delimiter(',');
}

std::optional<std::string> ApplyPlotOptions(const PlotOptionTexts& texts, FigureCommandRequest& request)
{
    static constexpr std::pair<std::string_view, PlotKind> kKinds[]{{"depth", PlotKind::Depth},
                                                                    {"signal", PlotKind::Signal},
                                                                    {"scan", PlotKind::Scan},
                                                                    {"sweep", PlotKind::Sweep},
                                                                    {"fit", PlotKind::Fit}};
    const auto kind =
        std::find_if(std::begin(kKinds), std::end(kKinds), [&](const auto& row) { return row.first == texts.kind; });
    if (kind == std::end(kKinds))
        return "the plot is depth, signal, scan, sweep or fit, not " + texts.kind;
    request.figure.kind = kind->second;
    const bool data = kind->second == PlotKind::Scan || kind->second == PlotKind::Sweep;
    if (!texts.width.empty()) {
        const std::optional<double> width = WidthFromText(texts.width);
        if (!width)
            return "--width is a number of mm, single or double, not " + texts.width;
        request.figure.widthMm = *width;
    }
    const std::optional<FigureStyle> style = StyleFromName(texts.style);
    if (!style)
        return "--style is print or window, not " + texts.style;
    request.figure.style = *style;
    const std::optional<LegendPlace> legend = LegendFromName(texts.legend);
    if (!legend)
        return "--legend is auto, inside, right, below or none, not " + texts.legend;
    request.figure.legend = *legend;
    if (!request.vary.empty() && kind->second != PlotKind::Sweep)
        return "--vary belongs to plot sweep";
    if (!data && !request.from.empty())
        return "--from belongs to plot scan and plot sweep";
    if (!request.levels.empty() && kind->second != PlotKind::Scan)
        return "--levels belongs to plot scan";
    if (kind->second == PlotKind::Sweep && request.from.empty() && request.vary.size() != 2)
        return "plot sweep needs two --vary: the input along the horizontal axis, then the one whose values make "
               "the curves (or --from a sweep's table)";
    if (kind->second == PlotKind::Sweep && !request.from.empty() && !request.vary.empty())
        return "--vary and --from exclude each other: the table's own inputs are drawn";
    if (!texts.format.empty()) {
        request.format = FigureFormatFromName(texts.format);
        if (!request.format)
            return "--format is svg, pdf or png, not " + texts.format;
    }
    const std::optional<Language> language = LanguageFromName(texts.language);
    if (!language)
        return "--language is en or de, not " + texts.language;
    request.figure.language = *language;
    return std::nullopt;
}

namespace {

// The figure's options with the format chosen; an exit code other than 0 after a message on err.
int PreparedOptions(const FigureCommandRequest& request, std::ostream& err, DrawFigureFunction& draw,
                    FigureOptions& options)
{
    std::string problem;
    const std::optional<FigureFormat> format = ChosenFormat(request, problem);
    if (!format) {
        err << "tamrisk-cli plot: " << Shown(problem) << '\n';
        return kUsage;
    }
    options = request.figure;
    options.format = *format;
    if (const std::optional<std::string> refusal = CheckFigureOptions(options)) {
        err << "tamrisk-cli plot: " << Shown(*refusal) << '\n';
        return kUsage;
    }
    if (draw == nullptr)
        draw = LoadFigureModule(problem);
    if (draw == nullptr) {
        err << "tamrisk-cli plot: " << Shown(problem) << '\n';
        return kFailure;
    }
    return 0;
}

int Delivered(FigureDrawing figure, const std::string& output, OutputWriter& writer, std::ostream& err,
              std::string& bytes)
{
    if (figure.stopped || InterruptSignal() != 0)
        return writer.Interrupted(output);
    if (!figure.error.empty()) {
        err << "tamrisk-cli plot: " << Shown(figure.error) << '\n';
        return kFailure;
    }
    for (const std::string& note : figure.notes)
        err << "tamrisk-cli plot: note: " << Shown(note) << '\n';
    bytes = std::move(figure.bytes);
    return 0;
}

} // namespace

int DrawFitPlot(const FigureCommandRequest& request, const FitFigureData& fit, OutputWriter& writer, std::ostream& err,
                DrawFigureFunction draw, std::string& bytes)
{
    FigureOptions options;
    if (const int code = PreparedOptions(request, err, draw, options); code != 0)
        return code;
    return Delivered(DrawFitWithModule(draw, options, fit, InterruptRequested), request.output, writer, err, bytes);
}

int DrawDataPlot(const FigureCommandRequest& request, const FigureData& data, OutputWriter& writer, std::ostream& err,
                 DrawFigureFunction draw, std::string& bytes)
{
    FigureOptions options;
    if (const int code = PreparedOptions(request, err, draw, options); code != 0)
        return code;
    FigureData withLevels = data;
    withLevels.levels = request.levels;
    // A large map takes a while to draw and encode: an interrupt stops it.
    return Delivered(DrawDataWithModule(draw, options, withLevels, InterruptRequested), request.output, writer, err,
                     bytes);
}

int DrawPlot(const FigureCommandRequest& request, const ModelState& state, OutputWriter& writer, std::ostream& err,
             DrawFigureFunction draw, std::string& bytes)
{
    FigureOptions options;
    if (const int code = PreparedOptions(request, err, draw, options); code != 0)
        return code;
    // Drawn in memory first, so a figure that cannot be made leaves no file behind.
    // A large picture takes long to draw and encode: an interrupt stops it.
    return Delivered(
        DrawWithModule(draw, options, state.params, state.flags, state.profile, state.curves, InterruptRequested),
        request.output, writer, err, bytes);
}

int RunPlot(const FigureCommandRequest& request, const ModelState& state, std::ostream& err, DrawFigureFunction draw)
{
    std::string bytes;
    OutputWriter writer(err);
    if (const int code = DrawPlot(request, state, writer, err, draw, bytes); code != 0)
        return code;
    return writer.WriteAll({{request.output, [&](ByteSink& sink) { sink.Write(bytes); }}});
}

} // namespace tamrisk::cli
