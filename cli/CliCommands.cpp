#include "cli/CliCommands.h"

#include "cli/Interrupts.h"
#include "cli/OutputPaths.h"
#include "cli/PlotCommand.h"
#include "cli/ScanConsole.h"

#include "model/CurveTable.h"
#include "model/ReadParameters.h"
#include "output/CleanText.h"
#include "output/ParameterRecord.h"
#include "output/ProfileExport.h"
#include "plot/PngFile.h"
#include "plot/Recompute.h"
#include "scan/ScanGrid.h"
#include "scan/ScanJob.h"

#include "TamriskVersion.h"

#include <memory>
#include <optional>
#include <ostream>

namespace tamrisk::cli {

namespace {

using Json = nlohmann::ordered_json;

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

RecordHeader Header(const CliRequest& request)
{
    return {"tamrisk-cli", TAMRISK_VERSION, request.command, request.arguments};
}

Json Record(const CliRequest& request) { return RecordJson(Header(request), request.inputs); }

// The record of how an output was made, beside it; `extra` adds the grid or the parameters.
int WriteRecord(const CliRequest& request, std::ostream& err, Json extra = Json::object())
{
    if (request.record.empty())
        return kExitSuccess;
    const std::string record =
        ParameterRecordText(Header(request), request.inputs, extra, {request.format, request.output});
    return WriteFile(request.record, err, [&](ByteSink& sink) { sink.Write(record); });
}

// The output, then its record: the record only describes a complete output.
template <typename Write>
int WriteWithRecord(const CliRequest& request, std::ostream& err, const Json& extra, Write write)
{
    if (const int code = WriteFile(request.output, err, write); code != kExitSuccess)
        return code;
    return WriteRecord(request, err, extra);
}

std::string JsonDocument(Json json) { return json.dump(2) + "\n"; }

// A cell of a clean table: a double that is exactly a float as the float's shortest text.
std::string CleanValue(double value)
{
    const float single = float(value);
    return double(single) == value ? CleanText(single) : CleanText(value);
}

} // namespace

int RunReadouts(const CliRequest& request, std::ostream& out, std::ostream& err)
{
    ModelState state;
    const std::vector<Readout> readouts = ComputeReadouts(request.inputs, state);
    std::string text;
    if (request.format == TableFormat::Native) {
        for (const Readout& readout : readouts)
            text += std::to_string(IdNumber(readout.id)) + '\t' + readout.text + '\n';
    } else if (request.format == TableFormat::Json) {
        Json json = Record(request);
        Json& byName = json["readouts"] = Json::object();
        for (const Readout& r : readouts)
            byName[r.name] = {{"value", ReadoutNumber(r.value)}, {"text", r.text}, {"id", IdNumber(r.id)}};
        text = JsonDocument(std::move(json));
    } else {
        std::vector<std::string> names, values;
        for (const Readout& r : readouts) {
            names.push_back(r.name);
            values.push_back(CleanValue(r.value));
        }
        text = CleanLine(request.format, names) + CleanLine(request.format, values);
    }
    const int code = WriteWithRecord(request, err, {{"parameters", ParametersJson(state.params)}},
                                     [&](ByteSink& sink) { sink.Write(text); });
    out.flush();
    return code;
}

// A table over one sample grid in the requested format: `native` writes the
// window's file, json a document with the inputs under `jsonKey`.
template <typename WriteNative>
int WriteSampleTable(const CliRequest& request, std::ostream& err, const ModelState& state, const SampleTable& table,
                     const char* jsonKey, WriteNative writeNative)
{
    const Json parameters = {{"parameters", ParametersJson(state.params)}};
    return WriteWithRecord(request, err, parameters, [&](ByteSink& sink) {
        if (request.format == TableFormat::Native) {
            writeNative(sink);
        } else if (request.format == TableFormat::Json) {
            Json json = Record(request);
            json["parameters"] = parameters["parameters"];
            json["totals"] = {{"eff_lab_total", JsonNumber(state.profile.effLabTotal)},
                              {"eff_nat_total", JsonNumber(state.profile.effNatTotal)}};
            json[jsonKey] = TableJson(table);
            sink.Write(JsonDocument(std::move(json)));
        } else {
            WriteCleanTable(sink, request.format, table);
        }
    });
}

int RunExport(const CliRequest& request, std::ostream& err)
{
    ModelState state;
    RecomputeNumbers(request.inputs.controls, state, request.inputs.overrides);
    return WriteSampleTable(request, err, state, ProfileTable(state.params, state.profile), "profile",
                            [&](ByteSink& sink) { WriteProfileExport(sink, state.params, state.profile); });
}

int RunCurves(const CliRequest& request, std::ostream& err)
{
    // Every signal curve, whatever the display flags say.
    Inputs inputs = request.inputs;
    for (const CurveRow& curve : kCurves)
        if (curve.plot == PlotKind::Signal)
            inputs.controls.flags.*curve.flag = true;
    ModelState state;
    RecomputeNumbers(inputs.controls, state, inputs.overrides);
    return WriteSampleTable(request, err, state, CurvesTable(state.params, state.curves), "curves",
                            [&](ByteSink& sink) { WriteNativeCurves(sink, state.params, state.curves); });
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
    const Json grid = GridJson(ReadScanGrid(request.inputs.grid));

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
    hooks.layout.format = request.format;
    if (request.format == TableFormat::Json) {
        Json head = Record(request);
        head["grid"] = grid;
        head["columns"] = ScanColumnNames();
        head["rows"] = Json::array();
        std::string text = head.dump(2);  // ends in `"rows": []` and `}`
        text.erase(text.rfind(']'));
        hooks.layout.jsonHead = text;
        hooks.layout.jsonTail = "\n  ]\n}\n";
    }
    const ScanJobResult result = RunScanJob(request.inputs.grid, params, flags, profile, curves, hooks);
    if (line)
        line->Finish();
    if (result.outcome != ScanOutcome::Written && result.outcome != ScanOutcome::Refused && InterruptSignal() != 0)
        return ReportInterrupted(request.output, err);
    switch (result.outcome) {
    case ScanOutcome::Written:
        return WriteRecord(request, err, {{"grid", grid}});
    case ScanOutcome::Refused:
        err << "tamrisk-cli scan: the grid is refused: " << result.message << '\n';
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
    return WriteRecord(request, err);
}

int RunPlotCommand(const CliRequest& request, const FigureCommandRequest& figure, std::ostream& err)
{
    ModelState state;
    RecomputeNumbers(request.inputs.controls, state, request.inputs.overrides);
    if (const int code = RunPlot(figure, state, err); code != kExitSuccess)
        return code;
    CliRequest recorded = request;
    recorded.output = figure.output;
    return WriteRecord(recorded, err);
}

int RunParams(const CliRequest& request, std::ostream& out, std::ostream& err)
{
    Json json = Record(request);
    return WriteWithRecord(request, err, Json::object(), [&](ByteSink& sink) {
        sink.Write(JsonDocument(std::move(json)));
        (void)out;
    });
}

} // namespace tamrisk::cli

namespace tamrisk::cli {

std::unique_ptr<OutputFile> OpenOutputFile(const std::string& path, std::ostream& err) { return OpenOutput(path, err); }

nlohmann::ordered_json RequestRecord(const CliRequest& request) { return Record(request); }

int WriteRequestRecord(const CliRequest& request, std::ostream& err, const nlohmann::ordered_json& extra)
{
    return WriteRecord(request, err, extra);
}

} // namespace tamrisk::cli
