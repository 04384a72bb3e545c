#include "cli/CliCommands.h"

#include "model/ReadParameters.h"
#include "output/ProfileExport.h"
#include "plot/PngFile.h"
#include "plot/Recompute.h"
#include "scan/ScanJob.h"

#include <memory>
#include <ostream>

namespace tamrisk::cli {

namespace {

std::unique_ptr<FileSink> OpenOutput(const std::string& path, std::ostream& err)
{
    if (path == "-")
        return FileSink::StandardOutput();
    std::string reason;
    std::unique_ptr<FileSink> sink = FileSink::Open(path, &reason);
    if (!sink)
        err << "tamrisk-cli: cannot open '" << path << "' for writing: " << reason << '\n';
    return sink;
}

// Writes through `write` and closes; success only when every byte reached the file.
template <typename Write>
int WriteFile(const std::string& path, std::ostream& err, Write write)
{
    std::unique_ptr<FileSink> sink = OpenOutput(path, err);
    if (!sink)
        return kExitFailure;
    try {
        write(*sink);
        sink->Close();
    } catch (const FileError& error) {
        err << "tamrisk-cli: writing failed: " << error.what() << '\n';
        return kExitFailure;
    }
    return kExitSuccess;
}

} // namespace

int RunReadouts(const CliRequest& request, std::ostream& out, std::ostream& err)
{
    ModelState state;
    for (const Readout& readout : ComputeReadouts(request.inputs, state))
        out << IdNumber(readout.id) << '\t' << readout.text << '\n';
    out.flush();
    if (!out) {
        err << "tamrisk-cli: writing to standard output failed\n";
        return kExitFailure;
    }
    return kExitSuccess;
}

int RunExport(const CliRequest& request, std::ostream& err)
{
    ModelState state;
    Recompute(request.inputs.controls, state, request.inputs.overrides);
    return WriteFile(request.output, err,
                     [&](ByteSink& sink) { WriteProfileExport(sink, state.params, state.profile); });
}

int RunScan(const CliRequest& request, std::ostream& err)
{
    // The scan needs the model only, no pictures.
    ModelParameters params;
    DisplayFlags flags;
    DepthProfile profile;
    SignalCurves curves;
    ReadParameters(request.inputs.controls, params, flags);
    ApplyOverrides(request.inputs.overrides, params);

    ScanJobHooks hooks;
    hooks.open = [&] { return OpenOutput(request.output, err); };
    hooks.threads = request.threads;
    const ScanJobResult result = RunScanJob(request.inputs.grid, params, flags, profile, curves, hooks);
    switch (result.outcome) {
    case ScanOutcome::Written:
        return kExitSuccess;
    case ScanOutcome::Refused:
        err << "tamrisk-cli: the grid is refused: " << result.message << '\n';
        return kExitUsage;
    case ScanOutcome::NotOpened:
        return kExitFailure;
    case ScanOutcome::WriteFailed:
        err << "tamrisk-cli: writing failed: " << result.message << '\n';
        return kExitFailure;
    }
    return kExitFailure;
}

int RunRender(const CliRequest& request, std::ostream& err)
{
    ModelState state;
    Recompute(request.inputs.controls, state, request.inputs.overrides);
    const std::pair<const std::string*, const Raster*> pictures[] = {
        {&request.depthPicture, &state.pictures.depth},
        {&request.signalPicture, &state.pictures.signal},
    };
    for (const auto& [path, picture] : pictures) {
        if (path->empty())
            continue;
        std::string error;
        const std::optional<std::string> png = EncodePng(*picture, &error);
        if (!png) {
            err << "tamrisk-cli: cannot encode the picture: " << error << '\n';
            return kExitFailure;
        }
        if (const int code = WriteFile(*path, err, [&](ByteSink& sink) { sink.Write(*png); }); code != kExitSuccess)
            return code;
    }
    return kExitSuccess;
}

} // namespace tamrisk::cli
