// scan: the t-Scan result file over the grid of extinctions × evaluation times.
#include "cli/ModelCommand.h"

#include "cli/OutputPaths.h"
#include "cli/ScanConsole.h"
#include "model/ReadParameters.h"
#include "scan/ScanGrid.h"
#include "scan/ScanJob.h"

#include <CLI/CLI.hpp>

#include <optional>

namespace tamrisk::cli {

namespace {

class ScanCommand final : public ModelCommand {
public:
    ScanCommand()
        : ModelCommand("scan", "write the t-Scan result file",
                       {{TableFormat::Native, TableFormat::Csv, TableFormat::Tsv, TableFormat::Json}},
                       OutputOption::Required)
    {
    }

    int Run(CommandContext& context) override
    {
        std::ostream& err = context.err;
        // The scan needs the model only, no pictures.
        ModelParameters params;
        DisplayFlags flags;
        DepthProfile profile;
        SignalCurves curves;
        ReadParameters(request_.inputs.controls, params, flags);
        ApplyOverrides(request_.inputs.overrides, params);
        const Json grid = GridJson(ReadScanGrid(request_.inputs.grid));

        std::unique_ptr<ScanProgressLine> line;
        std::optional<RemovedOnForcedExit> unfinished;
        ScanJobHooks hooks;
        hooks.open = [&] {
            std::unique_ptr<OutputFile> file = context.writer.OpenFile(request_.output);
            if (file)
                unfinished.emplace(file->temporaryPath());
            return file;
        };
        hooks.confirm = [&](const ScanEstimate& estimate, const OutputFile& file) {
            if (!FitsInFreeSpace(estimate, file, request_.output, err))
                return false;
            line = ScanProgressLine::ForScan(estimate, request_.quiet, err);
            return true;
        };
        hooks.poll = [&](std::uint64_t done) {
            if (InterruptSignal() != 0)
                return false;
            if (line)
                line->Update(done);
            return true;
        };
        hooks.threads = request_.threads;
        hooks.layout.format = request_.format;
        if (request_.format == TableFormat::Json) {
            Json head = Record();
            head["grid"] = grid;
            head["columns"] = ScanColumnNames();
            head["rows"] = Json::array();
            std::string text = head.dump(2);  // ends in `"rows": []` and `}`
            text.erase(text.rfind(']'));
            hooks.layout.jsonHead = text;
            hooks.layout.jsonTail = "\n  ]\n}\n";
        }
        const ScanJobResult result = RunScanJob(request_.inputs.grid, params, flags, profile, curves, hooks);
        if (line)
            line->Finish();
        if (result.outcome != ScanOutcome::Written && result.outcome != ScanOutcome::Refused &&
            InterruptSignal() != 0)
            return context.writer.Interrupted(request_.output);
        switch (result.outcome) {
        case ScanOutcome::Written:
            return WriteRecordOnly(context, {{"grid", grid}}, request_.output);
        case ScanOutcome::Refused:
            err << "tamrisk-cli scan: the grid is refused: " << result.message << '\n';
            return kExitUsage;
        case ScanOutcome::NotOpened:
        case ScanOutcome::Declined:
        case ScanOutcome::Stopped:
            return kExitFailure;
        case ScanOutcome::WriteFailed:
            return context.writer.Failed(request_.output, result.message);
        }
        return kExitFailure;
    }

protected:
    void AddTrailingOptions(CLI::App& command) override
    {
        command.add_option("--threads", request_.threads, "threads evaluating the grid (default: the number of cores)")
            ->check(CLI::Range(1, 1024));
        command.add_flag("-q,--quiet", request_.quiet, "no progress line on the terminal");
    }
};

} // namespace

std::unique_ptr<Command> MakeScanCommand() { return std::make_unique<ScanCommand>(); }

} // namespace tamrisk::cli
