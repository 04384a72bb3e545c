// tamrisk-cli: the window's read-outs, its two files and its two pictures,
// computed from options instead of controls.
#include "cli/CliCommands.h"
#include "cli/CliOptions.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <iostream>
#include <thread>

int main(int argc, char** argv)
{
    using namespace tamrisk::cli;

    CliRequest request;
    request.threads = int(std::max(1u, std::thread::hardware_concurrency()));
    RawOptions raw;

    CLI::App app{"Tamrisk on the command line: read-outs, profile export, t-Scan and plots."};
    app.require_subcommand(1);

    CLI::App* readouts = app.add_subcommand("readouts", "print the window's read-outs, one per line: ID TAB TEXT");
    CLI::App* exportCommand = app.add_subcommand("export", "write the profile export file");
    CLI::App* scan = app.add_subcommand("scan", "write the t-Scan result file");
    CLI::App* render = app.add_subcommand("render", "write the two plots as PNG files");

    for (CLI::App* command : {readouts, exportCommand, scan})
        AddInputOptions(*command, request, raw);
    // Here --depth names the depth plot's file, so the signal depth is set by another name.
    AddInputOptions(*render, request, raw, "--signal-depth");
    for (CLI::App* command : {exportCommand, scan})
        command->add_option("-o,--output", request.output, "output file, - for standard output")->required();
    AddGridOptions(*scan, request, raw);
    render->add_option("--depth", request.depthPicture, "PNG file of the depth plot")->required();
    render->add_option("--signal", request.signalPicture, "PNG file of the signal plot")->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return app.exit(error);
    }
    ApplyRawOptions(raw, request);

    try {
        if (readouts->parsed())
            return RunReadouts(request, std::cout, std::cerr);
        if (exportCommand->parsed())
            return RunExport(request, std::cerr);
        if (scan->parsed())
            return RunScan(request, std::cerr);
        return RunRender(request, std::cerr);
    } catch (const std::exception& error) {
        std::cerr << "tamrisk-cli: " << error.what() << '\n';
        return 1;
    }
}
