// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/FitRequest.h"

#include "cli/ArgumentRules.h"
#include "cli/Command.h"
#include "cli/OutputPaths.h"
#include "output/CleanText.h"

#include <CLI/CLI.hpp>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <system_error>

namespace tamrisk::cli {

namespace {

int Refuse(std::ostream& err, const char* command, const std::string& message)
{
    err << "tamrisk-cli " << command << ": " << Shown(message) << '\n';
    return kExitUsage;
}

// The data sets, or an exit code after a message.
int ReadSets(const FitOptions& options, const char* command, std::vector<DataSet>& sets, std::ostream& err)
{
    for (const std::string& path : options.data) {
        std::error_code error;
        const bool folder = std::filesystem::is_directory(path, error);
        std::ifstream in;
        if (!folder)
            in.open(path, std::ios::binary);
        if (!in) {
            err << "tamrisk-cli " << command << ": --data '" << Shown(path)
                << "' cannot be read: " << (folder ? "it is a folder" : std::generic_category().message(errno)) << '\n';
            return kExitFailure;
        }
        std::ostringstream text;
        text << in.rdbuf();
        std::variant<DataSet, DataProblem> read = ReadDataSet(path, text.str(), options.observe, options.sigma);
        if (const DataProblem* problem = std::get_if<DataProblem>(&read))
            return Refuse(err, command,
                          problem->message +
                              (problem->unknownName.empty() ? "" : DidYouMean(problem->unknownName, problem->known)));
        sets.push_back(std::move(std::get<DataSet>(read)));
    }
    return kExitSuccess;
}

} // namespace

void AddFitOptions(CLI::App& command, FitOptions& options, bool required)
{
    CLI::Option* data = command.add_option("--data", options.data,
                                           "a CSV (or .tsv) file of measured values, repeatable: one data set each");
    CLI::Option* observe = command.add_option(
        "--observe", options.observe,
        "the modelled column, by the clean tables' name: a profile column (against depth_mm), a curve (against "
        "time_s), or a total or read-out (against input columns such as eval_time_s)");
    if (required) {
        data->required();
        observe->required();
    }
    command.add_option("--sigma", options.sigma,
                       "the column of standard errors; without it equal weights, and the errors are scaled by the "
                       "residual variance");
    command.add_option("--free", options.free,
                       "a parameter to fit, shared by all data sets, repeatable: NAME[=START][:LO:HI]; NAME is a real "
                       "input (extinction, eval-time, rate1, dose-rate, ...) or scale or offset (measured = scale * "
                       "model + offset)");
    command.add_option("--free-each", options.freeEach,
                       "a parameter with one value per data set, repeatable: NAME[=START][:LO:HI]");
}

int PrepareFit(const FitOptions& options, const char* command, FitSetup& setup, std::ostream& err)
{
    if (!FindObservable(options.observe))
        return Refuse(err, command,
                      "--observe: '" + options.observe + "' is no column of the model's tables" +
                          DidYouMean(options.observe, ObservableNames()));
    std::vector<FreeOption> freedOptions;
    for (const bool each : {false, true})
        for (const std::string& text : each ? options.freeEach : options.free) {
            FreeOption freed;
            if (const std::optional<FreeOptionProblem> problem = ParseFreeOption(text, each, freed))
                return Refuse(err, command,
                              problem->message + (problem->unknownName.empty()
                                                      ? ""
                                                      : DidYouMean(problem->unknownName, FreeableNames())));
            freedOptions.push_back(freed);
        }
    if (freedOptions.empty())
        return Refuse(err, command, "give at least one parameter to fit: --free NAME or --free-each NAME");
    if (const int code = ReadSets(options, command, setup.sets, err); code != kExitSuccess)
        return code;
    for (const DataSet& set : setup.sets)
        for (const FreeOption& freed : freedOptions)
            for (std::size_t c = 0; c < set.points.inputs.size(); ++c)
                if (freed.name == set.points.inputs[c]->name)
                    return Refuse(err, command,
                                  "'" + freed.name + "' is set by the column " + set.keyColumns[c] + " of '" +
                                      set.name + "', so it cannot be free");
    std::variant<std::vector<FitParameter>, std::string> parameters =
        MakeFitParameters(freedOptions, setup.sets.size(), setup.base);
    if (const std::string* problem = std::get_if<std::string>(&parameters))
        return Refuse(err, command, *problem);
    setup.parameters = std::move(std::get<std::vector<FitParameter>>(parameters));
    // Sampled columns are interpolated between the model's samples, not beyond them.
    for (const DataSet& set : setup.sets)
        if (const std::optional<SampleSpan> span = InterpolatedSpan(set.points.observable, setup.base))
            for (std::size_t i = 0; i < set.points.keys.size(); ++i)
                if (set.points.keys[i] < span->first || set.points.keys[i] > span->last)
                    return Refuse(err, command,
                                  "'" + set.name + "' line " + std::to_string(set.lines[i]) + ": " +
                                      set.keyColumns.front() + " " + CleanText(set.points.keys[i]) +
                                      " lies outside the model's samples, " + CleanText(span->first) + " to " +
                                      CleanText(span->last) + ", between which '" + set.points.observable.column +
                                      "' is interpolated");
    return kExitSuccess;
}

int ReportRefusal(const FitResult& result, const char* command, std::ostream& err)
{
    for (const std::string& refusal : result.refusals)
        err << "tamrisk-cli " << command << ": " << Shown(refusal) << '\n';
    err << "tamrisk-cli " << command << ": no result was written\n";
    return kExitFailure;
}

} // namespace tamrisk::cli
