// SPDX-License-Identifier: GPL-3.0-or-later
// plot: the depth or the signal plot, or a fit, as a figure for a paper.
#include "cli/FitRequest.h"
#include "cli/ModelCommand.h"

#include "cli/OutputPaths.h"
#include "cli/PlotCommand.h"
#include "fit/FitCurve.h"
#include "model/CurveTable.h"
#include "plot/Recompute.h"

namespace tamrisk::cli {

namespace {

class PlotFigureCommand final : public ModelCommand {
public:
    PlotFigureCommand()
        : ModelCommand("plot", "draw the depth or the signal plot, or a fit, as a figure (SVG, PDF, PNG)", {},
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
        if (figure_.fit)
            return RunFit(context);
        ModelState state;
        RecomputeNumbers(request_.inputs.controls, state, request_.inputs.overrides);
        Doubts doubts;
        doubts.CheckParameters(state.params);
        if (const int code = ReportDoubts(context, doubts); code != kExitSuccess)
            return code;
        std::string bytes;
        if (const int code = DrawPlot(figure_, state, context.writer, context.err, nullptr, bytes);
            code != kExitSuccess)
            return code;
        return WriteFigure(context, bytes, Json::object());
    }

protected:
    void AddTrailingOptions(CLI::App& command) override
    {
        AddPlotOptions(command, figure_, texts_);
        AddFitOptions(command, fitOptions_, false);
    }

    int PrepareOwn(const CLI::App&, CommandContext& context) override
    {
        if (const std::optional<std::string> refusal = ApplyPlotOptions(texts_, figure_)) {
            context.err << "tamrisk-cli plot: " << Shown(*refusal) << '\n';
            return kExitUsage;
        }
        const bool fitGiven = !fitOptions_.data.empty() || !fitOptions_.observe.empty();
        if (figure_.fit != fitGiven) {
            context.err << "tamrisk-cli plot: "
                        << (figure_.fit
                                ? "plot fit needs the fit's --data and --observe (and --free, as fit takes them)"
                                : "--data and --observe belong to plot fit")
                        << '\n';
            return kExitUsage;
        }
        if (figure_.fit)
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
    // The figure and its record, put in place together.
    int WriteFigure(CommandContext& context, const std::string& bytes, const Json& extra) const
    {
        std::vector<OutputWriter::Piece> pieces{{figure_.output, [&](ByteSink& sink) { sink.Write(bytes); }}};
        if (!request_.record.empty())
            pieces.push_back(
                {request_.record, [&](ByteSink& sink) { sink.Write(RecordDocument(extra, figure_.output)); }});
        return context.writer.WriteAll(pieces);
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
        Json fitRecord = {{"data", fitOptions_.data}, {"observe", fitOptions_.observe}};
        fitRecord["sigma"] = fitOptions_.sigma.empty() ? Json(nullptr) : Json(fitOptions_.sigma);
        fitRecord["free"] = fitOptions_.free;
        fitRecord["free_each"] = fitOptions_.freeEach;
        return WriteFigure(context, bytes, {{"fit", fitRecord}});
    }

    FigureCommandRequest figure_;
    PlotOptionTexts texts_;
    FitOptions fitOptions_;
};

} // namespace

std::unique_ptr<Command> MakePlotCommand() { return std::make_unique<PlotFigureCommand>(); }

} // namespace tamrisk::cli
