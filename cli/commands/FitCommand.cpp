// SPDX-License-Identifier: GPL-3.0-or-later
// fit: weighted least squares of the model to measured data, with honest errors.
#include "cli/ArgumentRules.h"
#include "cli/ModelCommand.h"
#include "cli/OutputPaths.h"
#include "fit/FitReport.h"
#include "model/ReadParameters.h"
#include "output/CleanText.h"

#include <CLI/CLI.hpp>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tamrisk::cli {

namespace {

// The options of the fit besides the inputs.
struct FitOptions {
    std::vector<std::string> data;
    std::string observe;
    std::string sigma;
    std::vector<std::string> free;
    std::vector<std::string> freeEach;
    bool profile = false;
    std::string residuals;
};

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
        if (!options_.residuals.empty())
            outputs.push_back({"--residuals", options_.residuals});
        return outputs;
    }

    int Run(CommandContext& context) override;

protected:
    void AddLeadingOptions(CLI::App& command) override
    {
        command
            .add_option("--data", options_.data,
                        "a CSV (or .tsv) file of measured values, repeatable: one data set each")
            ->required();
        command
            .add_option("--observe", options_.observe,
                        "the modelled column, by the clean tables' name: a profile column (against depth_mm), a "
                        "curve (against time_s), or a total or read-out (against input columns such as eval_time_s)")
            ->required();
        command.add_option("--sigma", options_.sigma,
                           "the column of standard errors; without it equal weights, and the errors are scaled "
                           "by the residual variance");
        command.add_option("--free", options_.free,
                           "a parameter to fit, shared by all data sets, repeatable: NAME[=START][:LO:HI]; NAME is a "
                           "real input (extinction, eval-time, rate1, dose-rate, ...) or scale or offset "
                           "(measured = scale * model + offset)");
        command.add_option("--free-each", options_.freeEach,
                           "a parameter with one value per data set, repeatable: NAME[=START][:LO:HI]");
        command.add_flag("--profile", options_.profile,
                         "also 68 % and 95 % intervals from the profile likelihood (slower)");
        command.add_option("--residuals", options_.residuals,
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
    int Refuse(CommandContext& context, const std::string& message) const
    {
        context.err << "tamrisk-cli fit: " << Shown(message) << '\n';
        return kExitUsage;
    }
    // The data sets, or an exit code after a message.
    int ReadSets(CommandContext& context, std::vector<DataSet>& sets) const;

    FitOptions options_;
};

int FitCommand::ReadSets(CommandContext& context, std::vector<DataSet>& sets) const
{
    for (const std::string& path : options_.data) {
        std::error_code error;
        std::ifstream in;
        if (!std::filesystem::is_directory(path, error))
            in.open(path, std::ios::binary);
        if (!in) {
            context.err << "tamrisk-cli fit: --data '" << Shown(path) << "' cannot be read: "
                        << (std::filesystem::is_directory(path, error) ? "it is a folder"
                                                                       : std::generic_category().message(errno))
                        << '\n';
            return kExitFailure;
        }
        std::ostringstream text;
        text << in.rdbuf();
        std::variant<DataSet, DataProblem> read = ReadDataSet(path, text.str(), options_.observe, options_.sigma);
        if (const DataProblem* problem = std::get_if<DataProblem>(&read))
            return Refuse(context,
                          problem->message +
                              (problem->unknownName.empty() ? "" : DidYouMean(problem->unknownName, problem->known)));
        sets.push_back(std::move(std::get<DataSet>(read)));
    }
    return kExitSuccess;
}

int FitCommand::Run(CommandContext& context)
{
    if (!FindObservable(options_.observe))
        return Refuse(context, "--observe: '" + options_.observe + "' is no column of the model's tables" +
                                   DidYouMean(options_.observe, ObservableNames()));
    std::vector<FreeSpec> specs;
    for (const bool each : {false, true})
        for (const std::string& text : each ? options_.freeEach : options_.free) {
            FreeSpec spec;
            if (const std::optional<FreeSpecProblem> problem = ParseFreeSpec(text, each, spec))
                return Refuse(context, problem->message + (problem->unknownName.empty()
                                                               ? ""
                                                               : DidYouMean(problem->unknownName, FreeableNames())));
            specs.push_back(spec);
        }
    if (specs.empty())
        return Refuse(context, "give at least one parameter to fit: --free NAME or --free-each NAME");

    FitSetup setup;
    setup.base = request_.inputs;
    setup.profile = options_.profile;
    setup.threads = request_.threads;
    setup.stopRequested = [] { return InterruptSignal() != 0; };
    if (const int code = ReadSets(context, setup.sets); code != kExitSuccess)
        return code;
    for (const DataSet& set : setup.sets)
        for (const FreeSpec& spec : specs)
            for (std::size_t c = 0; c < set.points.inputs.size(); ++c)
                if (spec.name == set.points.inputs[c]->name)
                    return Refuse(context, "'" + spec.name + "' is set by the column " + set.keyColumns[c] + " of '" +
                                               set.name + "', so it cannot be free");
    std::variant<std::vector<FitParameter>, std::string> parameters =
        MakeFitParameters(specs, setup.sets.size(), setup.base);
    if (const std::string* problem = std::get_if<std::string>(&parameters))
        return Refuse(context, *problem);
    setup.parameters = std::move(std::get<std::vector<FitParameter>>(parameters));
    // Sampled columns are interpolated between the model's samples, not beyond them.
    for (const DataSet& set : setup.sets)
        if (const std::optional<SampleSpan> span = InterpolatedSpan(set.points.observable, setup.base))
            for (std::size_t i = 0; i < set.points.keys.size(); ++i)
                if (set.points.keys[i] < span->first || set.points.keys[i] > span->last)
                    return Refuse(context, "'" + set.name + "' line " + std::to_string(set.lines[i]) + ": " +
                                               set.keyColumns.front() + " " + CleanText(set.points.keys[i]) +
                                               " lies outside the model's samples, " + CleanText(span->first) + " to " +
                                               CleanText(span->last) + ", between which '" +
                                               set.points.observable.column + "' is interpolated");

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
    if (result.outcome == FitOutcome::Refused) {
        for (const std::string& refusal : result.refusals)
            context.err << "tamrisk-cli fit: " << Shown(refusal) << '\n';
        context.err << "tamrisk-cli fit: no result was written\n";
        return kExitFailure;
    }
    for (const std::string& note : result.notes)
        context.err << "tamrisk-cli fit: note: " << Shown(note) << '\n';

    Json fitRecord = {{"data", options_.data}, {"observe", options_.observe}};
    fitRecord["sigma"] = options_.sigma.empty() ? Json(nullptr) : Json(options_.sigma);
    fitRecord["free"] = options_.free;
    fitRecord["free_each"] = options_.freeEach;
    fitRecord["profile"] = options_.profile;
    const Json extra = {{"fit", fitRecord}};
    std::vector<OutputWriter::Piece> pieces;
    pieces.push_back({request_.output, [&](ByteSink& sink) {
                          if (request_.format == TableFormat::Json) {
                              Json json = Record();
                              const SetModel first = ApplyParameters(
                                  setup.parameters,
                                  [&] {
                                      std::vector<double> x;
                                      for (const ParameterEstimate& e : result.estimates)
                                          x.push_back(e.estimate);
                                      return x;
                                  }(),
                                  setup.base, 0);
                              ModelParameters params;
                              DisplayFlags flags;
                              ReadParameters(first.inputs.controls, params, flags);
                              ApplyOverrides(first.inputs.overrides, params);
                              json["parameters"] = ParametersJson(params);
                              const Json fit = FitJson(setup, result);
                              for (auto it = fit.begin(); it != fit.end(); ++it)
                                  json[it.key()] = *it;
                              sink.Write(json.dump(2) + "\n");
                          } else {
                              WriteFitTable(sink, request_.format, setup, result);
                          }
                      }});
    if (!options_.residuals.empty()) {
        const TableFormat residualFormat =
            FormatOfPath(options_.residuals) == TableFormat::Tsv ||
                    (!FormatOfPath(options_.residuals) && request_.format == TableFormat::Tsv)
                ? TableFormat::Tsv
                : TableFormat::Csv;
        pieces.push_back({options_.residuals, [&, residualFormat](ByteSink& sink) {
                              WriteResidualTable(sink, residualFormat, setup, result);
                          }});
    }
    if (!request_.record.empty())
        pieces.push_back(
            {request_.record, [&](ByteSink& sink) { sink.Write(RecordDocument(extra, request_.output)); }});
    return context.writer.WriteAll(pieces);
}

} // namespace

std::unique_ptr<Command> MakeFitCommand() { return std::make_unique<FitCommand>(); }

} // namespace tamrisk::cli
