// SPDX-License-Identifier: GPL-3.0-or-later
// plot: the depth or the signal plot as a figure for a paper.
#include "cli/ModelCommand.h"

#include "cli/OutputPaths.h"
#include "cli/PlotCommand.h"
#include "model/CurveTable.h"
#include "plot/Recompute.h"

namespace tamrisk::cli {

namespace {

class PlotFigureCommand final : public ModelCommand {
public:
    PlotFigureCommand()
        : ModelCommand("plot", "draw the depth or the signal plot as a figure (SVG, PDF, PNG)", {}, OutputOption::None)
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
        std::vector<OutputWriter::Piece> pieces{{figure_.output, [&](ByteSink& sink) { sink.Write(bytes); }}};
        if (!request_.record.empty())
            pieces.push_back({request_.record,
                              [this](ByteSink& sink) { sink.Write(RecordDocument(Json::object(), figure_.output)); }});
        return context.writer.WriteAll(pieces);
    }

protected:
    void AddTrailingOptions(CLI::App& command) override { AddPlotOptions(command, figure_, texts_); }

    int PrepareOwn(const CLI::App&, CommandContext& context) override
    {
        if (const std::optional<std::string> refusal = ApplyPlotOptions(texts_, figure_)) {
            context.err << "tamrisk-cli plot: " << Shown(*refusal) << '\n';
            return kExitUsage;
        }
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
    FigureCommandRequest figure_;
    PlotOptionTexts texts_;
};

} // namespace

std::unique_ptr<Command> MakePlotCommand() { return std::make_unique<PlotFigureCommand>(); }

} // namespace tamrisk::cli
