// SPDX-License-Identifier: GPL-3.0-or-later
// fit: weighted least squares of the model to measured data, with honest errors.
#include "cli/FitRequest.h"
#include "cli/ModelCommand.h"
#include "cli/OutputPaths.h"
#include "fit/FitReport.h"
#include "model/ReadParameters.h"

#include <CLI/CLI.hpp>

namespace tamrisk::cli {

namespace {

class FitCommand final : public ModelCommand {
public:
    FitCommand()
        : ModelCommand("fit", "fit free inputs of the model to measured data by weighted least squares",
                       {{TableFormat::Csv, TableFormat::Tsv, TableFormat::Json}}, OutputOption::Optional)
    {
    }

    std::vector<NamedOutput> Outputs() const override
    {
        std::vector<NamedOutput> outputs = ModelCommand::Outputs();
        if (!residuals_.empty())
            outputs.push_back({"--residuals", residuals_});
        return outputs;
    }

    int Run(CommandContext& context) override;

protected:
    void AddLeadingOptions(CLI::App& command) override
    {
        AddFitOptions(command, options_, true);
        command.add_flag("--profile", profile_, "also 68 % and 95 % intervals from the profile likelihood (slower)");
        command.add_option("--residuals", residuals_,
                           "also write the residuals table (FILE.csv or .tsv; - for standard output)");
    }

    void AddTrailingOptions(CLI::App& command) override
    {
        command
            .add_option("--threads", request_.threads,
                        "threads evaluating totals and read-outs at the data's points (default: the CPUs this "
                        "process may use)")
            ->check(CLI::Range(1, 1024));
    }

private:
    // The document of --format json: the record, the parameters of the first
    // set's model at the estimates, and the fit.
    Json Document(const FitSetup& setup, const FitResult& result) const
    {
        Json json = Record();
        const SetModel first = ApplyParameters(setup.parameters, EstimateValues(result), setup.base, 0);
        ModelParameters params;
        DisplayFlags flags;
        ReadParameters(first.inputs.controls, params, flags);
        ApplyOverrides(first.inputs.overrides, params);
        json["parameters"] = ParametersJson(params);
        const Json fit = FitJson(setup, result);
        for (auto it = fit.begin(); it != fit.end(); ++it)
            json[it.key()] = *it;
        return json;
    }

    FitOptions options_;
    bool profile_ = false;
    std::string residuals_;
};

int FitCommand::Run(CommandContext& context)
{
    FitSetup setup;
    setup.base = request_.inputs;
    setup.profile = profile_;
    setup.threads = request_.threads;
    setup.stopRequested = [] { return InterruptSignal() != 0; };
    if (const int code = PrepareFit(options_, "fit", setup, context.err); code != kExitSuccess)
        return code;
    Doubts doubts;
    std::vector<std::string> freed;
    for (const FitParameter& p : setup.parameters)
        freed.push_back(p.base);
    doubts.CheckParameters(BaseParameters(), freed);
    if (const int code = ReportDoubts(context, doubts); code != kExitSuccess)
        return code;

    const FitResult result = RunFit(setup);
    if (result.outcome == FitOutcome::Stopped)
        return context.writer.Interrupted(request_.output);
    if (result.outcome == FitOutcome::Refused)
        return ReportRefusal(result, "fit", context.err);
    for (const std::string& note : result.notes)
        context.err << "tamrisk-cli fit: note: " << Shown(note) << '\n';

    Json fitRecord = {{"data", options_.data}, {"observe", options_.observe}};
    fitRecord["sigma"] = options_.sigma.empty() ? Json(nullptr) : Json(options_.sigma);
    fitRecord["free"] = options_.free;
    fitRecord["free_each"] = options_.freeEach;
    fitRecord["profile"] = profile_;
    const Json extra = {{"fit", fitRecord}};
    std::vector<OutputWriter::Piece> pieces;
    pieces.push_back({request_.output, [&](ByteSink& sink) {
                          if (request_.format == TableFormat::Json)
                              sink.Write(Document(setup, result).dump(2) + "\n");
                          else
                              WriteFitTable(sink, request_.format, setup, result);
                      }});
    if (!residuals_.empty()) {
        // The residuals are a table: tsv where the file's ending or --format says so, otherwise csv.
        const std::optional<TableFormat> named = FormatOfPath(residuals_);
        const TableFormat format = named == TableFormat::Tsv || (!named && request_.format == TableFormat::Tsv)
                                       ? TableFormat::Tsv
                                       : TableFormat::Csv;
        pieces.push_back(
            {residuals_, [&, format](ByteSink& sink) { WriteResidualTable(sink, format, setup, result); }});
    }
    if (!request_.record.empty())
        pieces.push_back(
            {request_.record, [&](ByteSink& sink) { sink.Write(RecordDocument(extra, request_.output)); }});
    return context.writer.WriteAll(pieces);
}

} // namespace

std::unique_ptr<Command> MakeFitCommand() { return std::make_unique<FitCommand>(); }

} // namespace tamrisk::cli
