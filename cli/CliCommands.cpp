#include "cli/CliCommands.h"

#include "cli/Interrupts.h"
#include "cli/OutputPaths.h"
#include "cli/ScanConsole.h"

#include "model/ReadParameters.h"
#include "output/ProfileExport.h"
#include "plot/PngFile.h"
#include "plot/Recompute.h"
#include "scan/ScanJob.h"

#include <memory>
#include <optional>
#include <ostream>

namespace tamrisk::cli {

namespace {

// Writes through `write` and puts the file in place; success only when every
// byte reached it. Until then an existing file stays as it was.
template <typename Write>
int WriteFile(const std::string& path, std::ostream& err, Write write)
{
    std::unique_ptr<OutputFile> file = OpenOutput(path, err);
    if (!file)
        return InterruptSignal() != 0 ? ReportInterrupted(path, err) : kExitFailure;
    const RemovedOnForcedExit unfinished(file->temporaryPath());
    try {
        write(*file);
        if (InterruptSignal() != 0)
            return ReportInterrupted(path, err);
        file->Commit();
    } catch (const FileError& error) {
        if (InterruptSignal() != 0)
            return ReportInterrupted(path, err);
        err << "tamrisk-cli: writing failed: " << Shown(error.what()) << '\n';
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

    std::unique_ptr<ScanProgressLine> line;
    std::optional<RemovedOnForcedExit> unfinished;
    ScanJobHooks hooks;
    hooks.open = [&] {
        std::unique_ptr<OutputFile> file = OpenOutput(request.output, err);
        if (file)
            unfinished.emplace(file->temporaryPath());
        return file;
    };
    hooks.confirm = [&](const ScanEstimate& estimate, const OutputFile& file) {
        if (!FitsInFreeSpace(estimate, file, request.output, err))
            return false;
        line = ScanProgressLine::ForScan(estimate, request.quiet, err);
        return true;
    };
    hooks.poll = [&](std::uint64_t done) {
        if (InterruptSignal() != 0)
            return false;
        if (line)
            line->Update(done);
        return true;
    };
    hooks.threads = request.threads;
    const ScanJobResult result = RunScanJob(request.inputs.grid, params, flags, profile, curves, hooks);
    if (line)
        line->Finish();
    if (result.outcome != ScanOutcome::Written && result.outcome != ScanOutcome::Refused && InterruptSignal() != 0)
        return ReportInterrupted(request.output, err);
    switch (result.outcome) {
    case ScanOutcome::Written:
        return kExitSuccess;
    case ScanOutcome::Refused:
        err << "tamrisk-cli: the grid is refused: " << result.message << '\n';
        return kExitUsage;
    case ScanOutcome::NotOpened:
    case ScanOutcome::Declined:
    case ScanOutcome::Stopped:
        return kExitFailure;
    case ScanOutcome::WriteFailed:
        err << "tamrisk-cli: writing failed: " << Shown(result.message) << '\n';
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
