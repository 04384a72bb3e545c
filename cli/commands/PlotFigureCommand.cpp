// SPDX-License-Identifier: GPL-3.0-or-later
// plot: the depth or the signal plot, the t-Scan as a map, a sweep as a
// family of curves or a fit to measured data, as a figure for a paper.
#include "cli/FitRequest.h"
#include "cli/ModelCommand.h"

#include "cli/Interrupts.h"
#include "cli/OutputPaths.h"
#include "cli/PlotCommand.h"
#include "cli/PlotData.h"
#include "fit/FitCurve.h"
#include "model/CurveTable.h"
#include "model/ReadParameters.h"
#include "plot/Recompute.h"
#include "scan/SweepAxis.h"

#include <CLI/CLI.hpp>

#include <string_view>

namespace tamrisk::cli {

namespace {

class PlotFigureCommand final : public ModelCommand {
public:
    PlotFigureCommand()
        : ModelCommand("plot", "draw a plot, the t-Scan map, a sweep's curves or a fit as a figure (SVG, PDF, PNG)", {},
                       OutputOption::None)
    {
    }

    std::vector<NamedOutput> Outputs() const override
    {
        std::vector<NamedOutput> outputs{{"-o", figure_.output}};
        std::vector<NamedOutput> rest = ModelCommand::Outputs();
        outputs.insert(outputs.end(), rest.begin(), rest.end());
        return outputs;
    }

    int Run(CommandContext& context) override
    {
        const PlotKind kind = figure_.figure.kind;
        if (kind == PlotKind::Fit)
            return RunFit(context);
        std::string bytes;
        if (kind == PlotKind::Scan || kind == PlotKind::Sweep) {
            FigureData data;
            if (const int code = MakeData(context, data); code != kExitSuccess)
                return code;
            if (const int code = DrawDataPlot(figure_, data, context.writer, context.err, nullptr, bytes);
                code != kExitSuccess)
                return code;
            return Write(context, bytes);
        }
        ModelState state;
        RecomputeNumbers(request_.inputs.controls, state, request_.inputs.overrides);
        Doubts doubts;
        doubts.CheckParameters(state.params);
        if (const int code = ReportDoubts(context, doubts); code != kExitSuccess)
            return code;
        if (const int code = DrawPlot(figure_, state, context.writer, context.err, nullptr, bytes);
            code != kExitSuccess)
            return code;
        return Write(context, bytes);
    }

protected:
    void AddTrailingOptions(CLI::App& command) override
    {
        AddPlotOptions(command, figure_, texts_);
        AddFitOptions(command, fitOptions_, false);
        // The thread count lives in the request every model command shares.
        for (const PlotOptionRow& row : kPlotOptions)
            if (std::string_view(row.name) == "--threads")
                command.add_option(row.name, request_.threads,
                                   std::string(row.meaning) + " (default: " + row.defaultValue + ")");
    }

    int PrepareOwn(const CLI::App&, CommandContext& context) override
    {
        if (const std::optional<std::string> refusal = ApplyPlotOptions(texts_, figure_)) {
            context.err << "tamrisk-cli plot: " << Shown(*refusal) << '\n';
            return kExitUsage;
        }
        const bool fit = figure_.figure.kind == PlotKind::Fit;
        if (fit != (!fitOptions_.data.empty() || !fitOptions_.observe.empty())) {
            context.err << "tamrisk-cli plot: "
                        << (fit ? "plot fit needs the fit's --data and --observe (and --free, as fit takes them)"
                                : "--data and --observe belong to plot fit")
                        << '\n';
            return kExitUsage;
        }
        if (fit || figure_.figure.kind == PlotKind::Scan || figure_.figure.kind == PlotKind::Sweep)
            return kExitSuccess;
        // The window starts with no curve shown; a figure without one would be empty.
        std::string names;
        bool shown = false;
        for (const CurveRow& curve : kCurves)
            if (curve.plot == figure_.figure.kind) {
                shown = shown || request_.inputs.controls.flags.*curve.flag;
                names += (names.empty() ? "" : ",") + std::string(curve.name);
            }
        if (!shown) {
            context.err << "tamrisk-cli plot: no curve of the plot is shown, so the figure would be empty; name "
                           "them with --show, from "
                        << names << '\n';
            return kExitUsage;
        }
        return kExitSuccess;
    }

private:
    // The figure and its record, committed together.
    int Write(CommandContext& context, const std::string& bytes)
    {
        std::vector<OutputWriter::Piece> pieces{{figure_.output, [&](ByteSink& sink) { sink.Write(bytes); }}};
        if (!request_.record.empty())
            pieces.push_back({request_.record,
                              [this](ByteSink& sink) { sink.Write(RecordDocument(Json::object(), figure_.output)); }});
        return context.writer.WriteAll(pieces);
    }

    // The numbers of a map or a family: computed as scan and sweep compute
    // them, or read from their table.
    int MakeData(CommandContext& context, FigureData& data)
    {
        std::ostream& err = context.err;
        const PlotKind kind = figure_.figure.kind;
        std::optional<std::string> problem;
        bool stopped = false;
        const auto stop = [] { return InterruptSignal() != 0; };
        if (!figure_.from.empty()) {
            problem = ReadFigureTable(figure_.from, kind, figure_.column, data);
        } else if (kind == PlotKind::Scan) {
            ModelParameters params;
            DisplayFlags flags;
            ReadParameters(request_.inputs.controls, params, flags);
            ApplyOverrides(request_.inputs.overrides, params);
            const ScanGrid grid = ReadScanGrid(request_.inputs.grid);
            if (const std::optional<std::string> refusal = CheckScanGrid(grid)) {
                err << "tamrisk-cli plot: the grid is refused: " << *refusal << '\n';
                return kExitUsage;
            }
            // Warnings as scan gives them, before anything is computed.
            Doubts doubts;
            const std::string varied[] = {"extinction", "eval-time"};
            doubts.CheckParameters(params, varied);
            if (const int code = ReportDoubts(context, doubts); code != kExitSuccess)
                return code;
            problem = ComputeScanFigureData(grid, params, request_.threads, figure_.column, data, stop, stopped);
        } else {
            SweepPlan plan;
            for (const std::string& text : figure_.vary) {
                SweepAxis axis;
                if (const std::optional<SweepAxisProblem> refusal = ParseSweepAxis(text, axis)) {
                    err << "tamrisk-cli plot: " << Shown(refusal->message) << '\n';
                    return kExitUsage;
                }
                plan.axes.push_back(axis);
            }
            if (const std::optional<SweepAxisProblem> refusal = CheckSweep(plan)) {
                err << "tamrisk-cli plot: " << Shown(refusal->message) << '\n';
                return kExitUsage;
            }
            Doubts doubts;
            std::vector<std::string> varied;
            for (const SweepAxis& axis : plan.axes)
                varied.emplace_back(axis.input->name);
            doubts.CheckParameters(BaseParameters(), varied);
            if (const int code = ReportDoubts(context, doubts); code != kExitSuccess)
                return code;
            problem =
                ComputeSweepFigureData(plan, request_.inputs, request_.threads, figure_.column, data, stop, stopped);
        }
        if (stopped)
            return context.writer.Interrupted(figure_.output);
        if (problem) {
            err << "tamrisk-cli plot: " << Shown(*problem) << '\n';
            return kExitUsage;
        }
        return kExitSuccess;
    }

    // plot fit: the fit as the fit command makes it, then its figure.
    int RunFit(CommandContext& context)
    {
        FitSetup setup;
        setup.base = request_.inputs;
        setup.threads = request_.threads;
        setup.stopRequested = [] { return InterruptSignal() != 0; };
        if (const int code = PrepareFit(fitOptions_, "plot", setup, context.err); code != kExitSuccess)
            return code;
        const FitResult result = tamrisk::RunFit(setup);
        if (result.outcome == FitOutcome::Stopped)
            return context.writer.Interrupted(figure_.output);
        if (result.outcome == FitOutcome::Refused)
            return ReportRefusal(result, "plot", context.err);
        const std::variant<FitFigureData, std::string> data =
            FitFigure(setup, result, figure_.figure.logTime, figure_.figure.language);
        if (InterruptSignal() != 0)
            return context.writer.Interrupted(figure_.output);
        if (const std::string* refusal = std::get_if<std::string>(&data)) {
            context.err << "tamrisk-cli plot: " << Shown(*refusal) << '\n';
            return kExitUsage;
        }
        std::string bytes;
        if (const int code =
                DrawFitPlot(figure_, std::get<FitFigureData>(data), context.writer, context.err, nullptr, bytes);
            code != kExitSuccess)
            return code;
        return Write(context, bytes);
    }

    FigureCommandRequest figure_;
    PlotOptionTexts texts_;
    FitOptions fitOptions_;
};

} // namespace

std::unique_ptr<Command> MakePlotCommand() { return std::make_unique<PlotFigureCommand>(); }

} // namespace tamrisk::cli
