#include "cli/CliCommands.h"

#include "output/NumberText.h"
#include "output/ProfileExport.h"
#include "output/SliderReadouts.h"
#include "plot/PngFile.h"
#include "plot/Recompute.h"
#include "scan/ScanRun.h"

#include <memory>
#include <ostream>

namespace tamrisk::cli {

namespace {

constexpr const char* kSaveProblem = "Probleme w\u00e4hrend des Speicherns";
constexpr const char* kWriteProblem = "Fehler beim Schreiben";
constexpr int kFailure = 1;

void ApplyOverrides(const ParameterOverrides& overrides, ModelParameters& params)
{
    if (overrides.extinction) {
        params.extinction = float(*overrides.extinction);
        DeriveFromExtinction(params);
    }
    if (overrides.evalTime)
        params.evalTime = float(*overrides.evalTime);
    if (overrides.doseRate)
        params.externalDoseRate = float(*overrides.doseRate);
    if (overrides.depth)
        params.signalDepth = float(*overrides.depth);
}

// The window's recomputation, with the overrides between reading and computing.
PlotReadouts RecomputeWith(const CliRequest& request, ModelState& state)
{
    ReadParameters(request.controls, state.params, state.flags);
    ApplyOverrides(request.overrides, state.params);
    ComputeModel(state.params, state.flags, state.profile, state.curves);
    return RenderPlots(state.params, state.flags, state.profile, state.curves, state.pictures);
}

std::unique_ptr<FileSink> OpenOutput(const std::string& path, std::ostream& err)
{
    if (path == "-")
        return FileSink::StandardOutput();
    std::string reason;
    std::unique_ptr<FileSink> sink = FileSink::Open(path, &reason);
    if (!sink)
        err << kSaveProblem << ": " << path << ": " << reason << '\n';
    return sink;
}

// Writes through `write` and closes; success only when every byte reached the file.
template <typename Write>
int WriteFile(const std::string& path, std::ostream& err, Write write)
{
    std::unique_ptr<FileSink> sink = OpenOutput(path, err);
    if (!sink)
        return kFailure;
    try {
        write(*sink);
        sink->Close();
    } catch (const FileError& error) {
        err << kWriteProblem << ": " << error.what() << '\n';
        return kFailure;
    }
    return 0;
}

} // namespace

int RunReadouts(const CliRequest& request, std::ostream& out, std::ostream&)
{
    // The slider read-outs use the edges of the previous ReadParameters; for a
    // fresh window that is its own first recomputation from the same controls.
    ModelState state;
    RecomputeWith(request, state);
    SliderReadouts sliders = ComputeSliderReadouts(request.controls.sliders, state.params);
    const PlotReadouts plots = RecomputeWith(request, state);

    // A parameter set directly is shown as it was used, not as its slider stands.
    const ModelParameters& params = state.params;
    const ParameterOverrides& overrides = request.overrides;
    if (overrides.extinction) {
        sliders.extinction = FormatGeneral(params.extinction, 4);
        sliders.halfValueDepth = FormatGeneral(params.halfValueDepth, 4);
        sliders.transmission = FormatGeneral(params.transmission, 4);
    }
    if (overrides.doseRate)
        sliders.doseRate = FormatGeneral(params.externalDoseRate, 4);
    if (overrides.evalTime)
        sliders.evalTime = FormatGeneral(params.evalTime, 4);
    if (overrides.depth)
        sliders.depth = FormatGeneral(params.signalDepth, 4);

    const std::pair<int, std::string> lines[] = {
        {1002, sliders.extinction},
        {1052, sliders.halfValueDepth},
        {1053, sliders.transmission},
        {1007, sliders.doseRate},
        {1016, sliders.evalTime},
        {1039, sliders.depth},
        {1049, plots.depthAutoMax.value_or("...")},  // "..." is the label's text until a rendering writes it
        {1051, plots.signalAutoMax.value_or("...")},
        {1012, plots.effLabTotal},
        {1018, plots.effNatTotal},
        {1019, plots.effRatio},
    };
    for (const auto& [id, text] : lines)
        out << id << '\t' << text << '\n';
    out.flush();
    return out ? 0 : kFailure;
}

int RunExport(const CliRequest& request, std::ostream& err)
{
    ModelState state;
    RecomputeWith(request, state);
    return WriteFile(request.output, err,
                     [&](ByteSink& sink) { WriteProfileExport(sink, state.params, state.profile); });
}

int RunScan(const CliRequest& request, std::ostream& err)
{
    const ScanGrid grid = ReadScanGrid(request.grid);
    if (const std::optional<std::string> problem = CheckScanGrid(grid)) {
        err << *problem << '\n';
        return kFailure;
    }
    ModelState state;
    ReadParameters(request.controls, state.params, state.flags);
    ApplyOverrides(request.overrides, state.params);
    return WriteFile(request.output, err, [&](ByteSink& sink) {
        ScanToFile(grid, state.params, state.flags, state.profile, state.curves, sink, {}, request.threads);
    });
}

int RunRender(const CliRequest& request, std::ostream& err)
{
    ModelState state;
    RecomputeWith(request, state);
    const std::pair<const std::string*, const Raster*> pictures[] = {
        {&request.depthPicture, &state.pictures.depth},
        {&request.signalPicture, &state.pictures.signal},
    };
    for (const auto& [path, picture] : pictures) {
        std::string error;
        if (!WritePng(*picture, *path, &error)) {
            err << kSaveProblem << ": " << *path << ": " << error << '\n';
            return kFailure;
        }
    }
    return 0;
}

} // namespace tamrisk::cli
