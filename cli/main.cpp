// tamrisk-cli: the window's read-outs, its two files and its two pictures,
// computed from options instead of controls.
#include "cli/CliCommands.h"
#include "cli/CliOptions.h"
#include "cli/Interrupts.h"
#include "cli/OutputPaths.h"
#include "cli/PlotCommand.h"
#include "cli/SweepCommand.h"
#include "lanes/LaneKernel.h"
#include "model/CurveTable.h"
#include "output/ParameterRecord.h"

#include "TamriskVersion.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <thread>

namespace {

using namespace tamrisk::cli;

constexpr const char* kExitCodes =
    "Exit codes: 0 success, 1 a file or system error, 2 a usage error, 128 + N stopped by signal N "
    "(130 Ctrl-C, 143 SIGTERM, 129 SIGHUP; the file is then not written).";

bool IsPictureFormatWeDoNotWrite(const std::string& path)
{
    const auto endsWith = [&path](const char* suffix) {
        const std::string s = suffix;
        return path.size() >= s.size() &&
               std::equal(s.rbegin(), s.rend(), path.rbegin(), [](char a, char b) { return a == std::tolower(b); });
    };
    return endsWith(".svg") || endsWith(".pdf");
}

// Sets the inputs from the record in `path`; a message when that fails.
std::optional<std::string> LoadParams(const std::string& path, tamrisk::Inputs& inputs)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return "cannot read '" + path + "'";
    const nlohmann::ordered_json json = nlohmann::ordered_json::parse(in, nullptr, false);
    if (json.is_discarded() || !json.is_object())
        return "'" + path + "' is not a JSON object";
    const nlohmann::ordered_json& inputs_json = json.contains("inputs") ? json["inputs"] : json;
    if (std::optional<std::string> problem = tamrisk::ReadInputsJson(inputs_json, inputs))
        return "'" + path + "': " + *problem;
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv)
{
    if (const std::optional<std::string> problem = tamrisk::detail::LanesSettingProblem()) {
        std::cerr << "tamrisk-cli: " << Shown(*problem) << '\n';
        return 2;
    }
    CliRequest request;
    request.threads = int(std::max(1u, std::thread::hardware_concurrency()));
    RawInputs raw;

    CLI::App app{"Tamrisk on the command line: read-outs, profile export, t-Scan, signal curves and plots.",
                 "tamrisk-cli"};
    app.footer(kExitCodes);
    app.set_version_flag("--version", std::string("tamrisk-cli ") + TAMRISK_VERSION);
    app.require_subcommand(1);

    // Only the command that runs (or whose help is asked for) gets its options:
    // building every command's parser would cost more than most runs.
    const std::vector<std::string> given(argv + 1, argv + argc);
    const std::string selected =
        given.empty() ? "" : (given.front() == "help" && given.size() > 1 ? given[1] : given.front());
    const auto wanted = [&selected](const CLI::App* command) { return command->get_name() == selected; };

    CLI::App* readouts = app.add_subcommand("readouts", "print the window's read-outs, one per line: ID TAB TEXT");
    CLI::App* exportCommand = app.add_subcommand("export", "write the profile export file");
    CLI::App* scan = app.add_subcommand("scan", "write the t-Scan result file");
    CLI::App* curves = app.add_subcommand("curves", "write the four OSL signal curves against time as a table");
    CLI::App* render = app.add_subcommand("render", "write the window's two plot pictures as PNG files");
    CLI::App* plot = app.add_subcommand("plot", "draw the depth or the signal plot as a figure (SVG, PDF, PNG)");
    CLI::App* params = app.add_subcommand("params", "print every input as JSON, for --params");
    CLI::App* sweep = app.add_subcommand("sweep", "write the totals over a grid of any inputs, one row per point");
    SweepOptions sweepOptions;
    if (wanted(sweep))
        AddSweepOptions(*sweep, sweepOptions);
    CLI::App* help = app.add_subcommand("help", "show the help of the tool or of a command");
    std::string helpTopic;
    help->add_option("command", helpTopic, "the command whose help to show");

    const std::vector<CLI::App*> commands = {readouts, exportCommand, scan, curves, render, plot, params, sweep};
    std::string paramsFile;
    for (CLI::App* command : commands) {
        if (!wanted(command))
            continue;
        AddInputOptions(*command, raw);
        command->add_option("--params", paramsFile,
                            "read the inputs from a parameter record (FILE.json); options given here override it");
        command->add_option("--record", request.record,
                            "also write a JSON record of how the output was made (FILE.json)");
        command->footer(kExitCodes);
    }
    std::string formatName = "native";
    for (CLI::App* command : {readouts, exportCommand, scan, curves}) {
        if (!wanted(command))
            continue;
        command->add_option("--format", formatName,
                            "native: the window's file (cp1252, TAB, NUL bytes, decimal comma); csv or tsv: a clean "
                            "table with a header row; json: one document with inputs and results")
            ->check(CLI::IsMember({"native", "csv", "tsv", "json"}))
            ->capture_default_str();
    }
    if (wanted(curves))
        curves->get_option("--format")->default_str("csv");
    for (CLI::App* command : {exportCommand, scan})
        if (wanted(command))
            command->add_option("-o,--output", request.output, "output file, - for standard output")->required();
    for (CLI::App* command : {readouts, curves, params})
        if (wanted(command))
            command->add_option("-o,--output", request.output, "output file, - for standard output")
                ->capture_default_str();
    if (wanted(scan)) {
        scan->add_option("--threads", request.threads, "threads evaluating the grid (default: the number of cores)")
            ->check(CLI::Range(1, 1024));
        scan->add_flag("-q,--quiet", request.quiet, "no progress line on the terminal");
    }
    FigureCommandRequest figure;
    PlotOptionTexts figureTexts;
    if (wanted(plot))
        AddPlotOptions(*plot, figure, figureTexts);
    if (wanted(render)) {
        render->add_option("--depth-picture", request.depthPicture, "PNG file of the depth plot, - for standard output");
        render->add_option("--signal-picture", request.signalPicture,
                           "PNG file of the signal plot, - for standard output");
    }

    // The rules of the arguments: --name=value, values that are options, unknown names.
    std::vector<std::string> args = given;
    if (!args.empty() && args.front().rfind("-", 0) != 0) {
        std::vector<std::string> names;
        for (const CLI::App* command : app.get_subcommands({}))
            names.push_back(command->get_name());
        const auto found = std::find_if(commands.begin(), commands.end(),
                                        [&](const CLI::App* c) { return c->get_name() == args.front(); });
        if (found == commands.end() && args.front() != "help") {
            std::cerr << "tamrisk-cli: unknown command '" << args.front() << "'" << DidYouMean(args.front(), names)
                      << "\nRun 'tamrisk-cli --help' for the commands.\n";
            return kExitUsage;
        }
        if (found != commands.end()) {
            std::vector<std::string> rest(args.begin() + 1, args.end());
            if (const std::optional<std::string> problem = NormalizeArguments(rest, OptionShapes(**found))) {
                std::cerr << "tamrisk-cli " << args.front() << ": " << *problem << '\n';
                return kExitUsage;
            }
            args.resize(1);
            args.insert(args.end(), rest.begin(), rest.end());
        }
    }
    std::reverse(args.begin(), args.end());  // CLI11 takes the arguments last first

    try {
        app.parse(args);
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0)
            return app.exit(error);
        std::cerr << "tamrisk-cli: " << error.what() << "\nRun 'tamrisk-cli --help' for the commands.\n";
        return kExitUsage;
    }

    if (help->parsed()) {
        for (CLI::App* command : commands)
            if (command->get_name() == helpTopic) {
                std::cout << app.get_formatter()->make_help(command, "tamrisk-cli " + helpTopic,
                                                             CLI::AppFormatMode::Normal);
                return kExitSuccess;
            }
        std::cout << app.get_formatter()->make_help(&app, "tamrisk-cli", CLI::AppFormatMode::Normal);
        return kExitSuccess;
    }

    CLI::App* command = *std::find_if(commands.begin(), commands.end(), [](CLI::App* c) { return c->parsed(); });
    request.command = command->get_name();
    request.arguments.assign(argv + 1, argv + argc);
    if (command == curves && command->count("--format") == 0)
        formatName = "csv";
    request.format = *tamrisk::ParseTableFormat(formatName);
    if (!paramsFile.empty()) {
        if (const std::optional<std::string> problem = LoadParams(paramsFile, request.inputs)) {
            std::cerr << "tamrisk-cli " << request.command << ": --params " << *problem << '\n';
            return kExitUsage;
        }
        if (command->count("--show") > 0)
            for (const tamrisk::CurveRow& curve : tamrisk::kCurves)
                request.inputs.controls.flags.*curve.flag = false;
    }
    ApplyInputOptions(*command, raw, request.inputs, std::cerr);

    if (render->parsed()) {
        if (request.depthPicture.empty() && request.signalPicture.empty()) {
            std::cerr << "tamrisk-cli render: give --depth-picture FILE, --signal-picture FILE or both\n";
            return kExitUsage;
        }
        for (const std::string* path : {&request.depthPicture, &request.signalPicture})
            if (IsPictureFormatWeDoNotWrite(*path)) {
                std::cerr << "tamrisk-cli render: '" << Shown(*path)
                          << "': render writes PNG pictures only; for SVG or PDF figures use 'tamrisk-cli plot'\n";
                return kExitUsage;
            }
    }

    CatchInterrupts();
    int code = kExitFailure;
    try {
        if (readouts->parsed())
            code = RunReadouts(request, std::cout, std::cerr);
        else if (exportCommand->parsed())
            code = RunExport(request, std::cerr);
        else if (scan->parsed())
            code = RunScan(request, std::cerr);
        else if (curves->parsed())
            code = RunCurves(request, std::cerr);
        else if (params->parsed())
            code = RunParams(request, std::cout, std::cerr);
        else if (plot->parsed()) {
            if (const std::optional<std::string> refusal = ApplyPlotOptions(figureTexts, figure)) {
                std::cerr << "tamrisk-cli plot: " << *refusal << '\n';
                return kExitUsage;
            }
            code = RunPlotCommand(request, figure, std::cerr);
        } else if (sweep->parsed()) {
            SweepControl control;
            control.cancelled = [] { return InterruptSignal() != 0; };
            code = RunSweep(request, sweepOptions, std::cout, std::cerr, control);
        } else
            code = RunRender(request, std::cerr);
    } catch (const std::bad_alloc&) {
        // Unwinding has removed any temporary file: old files are as they were.
        std::cerr << "tamrisk-cli " << command->get_name() << ": out of memory";
        for (const std::string* path : {&request.output, &request.depthPicture, &request.signalPicture})
            if (!path->empty())
                std::cerr << "; " << NotWrittenText(*path);
        std::cerr << '\n';
        return kExitFailure;
    } catch (const std::exception& error) {
        std::cerr << "tamrisk-cli " << command->get_name() << ": " << Shown(error.what()) << '\n';
        return kExitFailure;
    }
    // Standard output is buffered until here: a full disk or a closed pipe shows only now.
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        if (code == kExitSuccess)
            std::cerr << "tamrisk-cli " << command->get_name() << ": writing to standard output failed: "
                      << std::strerror(errno) << '\n';
        return code == kExitSuccess ? kExitFailure : code;
    }
    if (code == kExitSuccess && InterruptSignal() != 0 && readouts->parsed())
        return ReportInterrupted("-", std::cerr);
    return code;
}
