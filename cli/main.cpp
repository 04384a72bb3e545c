// SPDX-License-Identifier: GPL-3.0-or-later
// tamrisk-cli: the window's read-outs, its two files and its two pictures,
// computed from options instead of controls. main only picks the command.
#include "cli/ArgumentRules.h"
#include "cli/CliOptions.h"
#include "cli/Command.h"
#include "cli/OutputPaths.h"
#include "cli/ParamsDocument.h"
#include "cli/RunCommand.h"
#include "lanes/LaneKernel.h"

#include "TamriskVersion.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstring>
#include <iostream>

namespace {

using namespace tamrisk::cli;

constexpr const char* kExitCodes =
    "Exit codes: 0 success, 1 a file or system error, 2 a usage error, 128 + N stopped by signal N "
    "(130 Ctrl-C, 143 SIGTERM, 129 SIGHUP; the file is then not written).\n"
    "The model, its equations and the unit of every output: docs/model.md (installed as "
    "share/doc/tamrisk/model.md).";

Command* FindCommand(const std::string& name)
{
    for (const std::unique_ptr<Command>& command : Commands())
        if (name == command->name())
            return command.get();
    return nullptr;
}

std::vector<std::string> CommandNames()
{
    std::vector<std::string> names;
    for (const std::unique_ptr<Command>& command : Commands())
        names.emplace_back(command->name());
    names.emplace_back("help");
    return names;
}

// The help without CLI11's "{false}" beside the switches that have a --no- form.
class HelpFormatter final : public CLI::Formatter {
public:
    std::string make_option_name(const CLI::Option* option, bool positional) const override
    {
        std::string name = CLI::Formatter::make_option_name(option, positional);
        for (const char* mark : {"{false}", "{true}"})
            for (std::size_t at = name.find(mark); at != std::string::npos; at = name.find(mark))
                name.erase(at, std::strlen(mark));
        return name;
    }
};

int Main(int argc, char** argv);

} // namespace

int main(int argc, char** argv)
{
    try {
        return Main(argc, argv);
    } catch (const std::bad_alloc&) {
        // Before or after a command's own work, which reports this itself with its files.
        std::cerr << "tamrisk-cli: out of memory\n";
        return kExitFailure;
    }
}

namespace {

int Main(int argc, char** argv)
{
    if (const std::optional<std::string> problem = tamrisk::detail::LanesSettingProblem()) {
        std::cerr << "tamrisk-cli: " << Shown(*problem) << '\n';
        return kExitUsage;
    }
    CLI::App app{"Tamrisk on the command line: read-outs, profile export, t-Scan, signal curves and plots.",
                 "tamrisk-cli"};
    app.footer(kExitCodes);
    app.set_version_flag("--version", std::string("tamrisk-cli ") + TAMRISK_VERSION + "\n" + TAMRISK_LICENCE);
    app.require_subcommand(1);
    app.formatter(std::make_shared<HelpFormatter>());

    // Only the command that runs (or whose help is asked for) gets its options:
    // building every command's parser would cost more than most runs.
    const std::vector<std::string> given(argv + 1, argv + argc);
    const std::string selected =
        given.empty() ? "" : (given.front() == "help" && given.size() > 1 ? given[1] : given.front());
    Command* chosen = FindCommand(selected);
    for (const std::unique_ptr<Command>& command : Commands()) {
        CLI::App* sub = app.add_subcommand(command->name(), command->summary());
        if (command.get() == chosen) {
            command->AddOptions(*sub);
            sub->footer(kExitCodes);
        }
    }
    CLI::App* help = app.add_subcommand("help", "show the help of the tool or of a command");
    std::string helpTopic;
    help->add_option("command", helpTopic, "the command whose help to show");

    // The rules of the arguments: --name=value, values that are options, unknown names.
    std::vector<std::string> args = given;
    std::vector<std::string> recordArguments = given;
    // Before a command, only the tool's own options: a mistyped one gets a suggestion.
    if (!args.empty() && args.front().rfind("-", 0) == 0) {
        const std::string name = args.front().substr(0, args.front().find('='));
        const std::vector<std::string> own = {"--help", "-h", "--version"};
        if (std::find(own.begin(), own.end(), name) == own.end()) {
            std::cerr << "tamrisk-cli: unknown option '" << Shown(name) << "'" << DidYouMean(name, own)
                      << "\nRun 'tamrisk-cli --help' for the commands.\n";
            return kExitUsage;
        }
    }
    std::optional<ParamsDocument> params;
    if (!args.empty() && args.front().rfind("-", 0) != 0) {
        if (FindCommand(args.front()) == nullptr && args.front() != "help") {
            std::cerr << "tamrisk-cli: unknown command '" << Shown(args.front()) << "'"
                      << DidYouMean(args.front(), CommandNames()) << "\nRun 'tamrisk-cli --help' for the commands.\n";
            return kExitUsage;
        }
        if (chosen != nullptr && args.front() == chosen->name()) {
            std::vector<std::string> rest(args.begin() + 1, args.end());
            if (const std::optional<std::string> problem =
                    NormalizeArguments(rest, OptionShapes(*app.get_subcommand(chosen->name())))) {
                std::cerr << "tamrisk-cli " << args.front() << ": " << Shown(*problem) << '\n';
                return kExitUsage;
            }
            // A record given with --params brings its own command line, which the options given here override.
            const auto at = std::find(rest.rbegin(), rest.rend(), std::string("--params"));
            if (at != rest.rend() && at != rest.rbegin()) {
                params = ReadParamsDocument(*std::prev(at));
                if (params->exitCode != 0) {
                    std::cerr << "tamrisk-cli " << args.front() << ": --params " << params->problem << '\n';
                    return params->exitCode;
                }
                const std::vector<OptionShape> shapes = OptionShapes(*app.get_subcommand(chosen->name()));
                std::string refused;
                std::optional<std::vector<std::string>> replay =
                    ReplayedArguments(params->json, chosen->name(), rest, shapes, &refused);
                if (!refused.empty()) {
                    std::cerr << "tamrisk-cli " << args.front() << ": --params '" << Shown(*std::prev(at))
                              << "': " << Shown(refused) << '\n';
                    return kExitUsage;
                }
                if (replay) {
                    // Only --params: a replay, whose documents state the original command line.
                    if (rest.size() == 2)
                        recordArguments = params->json["arguments"].get<std::vector<std::string>>();
                    rest = std::move(*replay);
                }
            }
            args.resize(1);
            args.insert(args.end(), rest.begin(), rest.end());
        }
    }
    std::reverse(args.begin(), args.end()); // CLI11 takes the arguments last first

    try {
        app.parse(args);
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0)
            return app.exit(error);
        std::cerr << "tamrisk-cli: " << Shown(error.what()) << "\nRun 'tamrisk-cli --help' for the commands.\n";
        return kExitUsage;
    }

    if (help->parsed()) {
        if (chosen != nullptr && helpTopic == chosen->name()) {
            std::cout << app.get_formatter()->make_help(app.get_subcommand(chosen->name()), "tamrisk-cli " + helpTopic,
                                                        CLI::AppFormatMode::Normal);
            return kExitSuccess;
        }
        if (!helpTopic.empty()) {
            std::cerr << "tamrisk-cli help: unknown command '" << Shown(helpTopic) << "'"
                      << DidYouMean(helpTopic, CommandNames()) << "\nRun 'tamrisk-cli --help' for the commands.\n";
            return kExitUsage;
        }
        std::cout << app.get_formatter()->make_help(&app, "tamrisk-cli", CLI::AppFormatMode::Normal);
        return kExitSuccess;
    }
    return RunCommand(*chosen, recordArguments, params ? &params->json : nullptr, *app.get_subcommand(chosen->name()),
                      std::cout, std::cerr);
}

} // namespace
