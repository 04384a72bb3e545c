// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/PlotCommand.h"

#include "cli/FigureModuleLoader.h"
#include "cli/OutputPaths.h"
#include "cli/OutputWriter.h"

#include <CLI/CLI.hpp>

#include <functional>
#include <memory>
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
    command.add_option("kind", texts.kind, Help("kind"))->required()->check(CLI::IsMember({"depth", "signal", "fit"}));
    command.add_option("-o,--output", request.output, Help("-o,--output"))->required();
    command.add_option("--format", texts.format, Help("--format"))->check(CLI::IsMember({"svg", "pdf", "png"}));
    command.add_option("--width", figure.widthMm, Help("--width"));
    command.add_option("--height", figure.heightMm, Help("--height"));
    command.add_option("--dpi", figure.dpi, Help("--dpi"));
    command.add_option("--font-size", figure.fontSize, Help("--font-size"));
    command.add_option("--title", figure.title, Help("--title"));
    command.add_option("--language", texts.language, Help("--language"))->check(CLI::IsMember({"en", "de"}));
    command.add_flag("--log-values", figure.logValues, Help("--log-values"));
    command.add_flag("--log-time", figure.logTime, Help("--log-time"));
}

std::optional<std::string> ApplyPlotOptions(const PlotOptionTexts& texts, FigureCommandRequest& request)
{
    request.fit = texts.kind == "fit";
    if (texts.kind == "depth" || request.fit)
        request.figure.kind = PlotKind::Depth;
    else if (texts.kind == "signal")
        request.figure.kind = PlotKind::Signal;
    else
        return "the plot is depth, signal or fit, not " + texts.kind;
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

// The figure drawn in memory by `drawWith` with the module (or `draw`), once
// the format and the options have passed; the exit code.
int DrawBytes(const FigureCommandRequest& request, OutputWriter& writer, std::ostream& err, DrawFigureFunction draw,
              const std::function<FigureDrawing(DrawFigureFunction, const FigureOptions&)>& drawWith,
              std::string& bytes)
{
    std::string problem;
    const std::optional<FigureFormat> format = ChosenFormat(request, problem);
    if (!format) {
        err << "tamrisk-cli plot: " << Shown(problem) << '\n';
        return kUsage;
    }
    FigureOptions options = request.figure;
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
    // Drawn in memory first, so a figure that cannot be made leaves no file behind.
    // A large picture takes long to draw and encode: an interrupt stops it.
    const FigureDrawing figure = drawWith(draw, options);
    if (figure.stopped || InterruptSignal() != 0)
        return writer.Interrupted(request.output);
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

int DrawPlot(const FigureCommandRequest& request, const ModelState& state, OutputWriter& writer, std::ostream& err,
             DrawFigureFunction draw, std::string& bytes)
{
    return DrawBytes(
        request, writer, err, draw,
        [&](DrawFigureFunction with, const FigureOptions& options) {
            return DrawWithModule(with, options, state.params, state.flags, state.profile, state.curves,
                                  InterruptRequested);
        },
        bytes);
}

int DrawFitPlot(const FigureCommandRequest& request, const FitFigureData& fit, OutputWriter& writer, std::ostream& err,
                DrawFigureFunction draw, std::string& bytes)
{
    return DrawBytes(
        request, writer, err, draw,
        [&](DrawFigureFunction with, const FigureOptions& options) {
            return DrawFitWithModule(with, options, fit, InterruptRequested);
        },
        bytes);
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
