// SPDX-License-Identifier: GPL-3.0-or-later
// scan: the t-Scan result file over the grid of extinctions × evaluation times.
#include "cli/ModelCommand.h"

#include "cli/OutputPaths.h"
#include "cli/ScanConsole.h"
#include "model/ReadParameters.h"
#include "scan/ScanGrid.h"
#include "scan/ScanJob.h"
#include "scan/ScanPointModel.h"

#include <algorithm>
#include <cmath>

#include <CLI/CLI.hpp>

#include <optional>

namespace tamrisk::cli {

namespace {

// The grid's axes with the options that set them.
struct GridAxis {
    const ScanAxis ScanGrid::*axis;
    const char* options;
    const char* steps;
};
constexpr GridAxis kGridAxes[] = {
    {&ScanGrid::extinction, "the extinction axis (--ext-start, --ext-end)", "--ext-steps"},
    {&ScanGrid::evalTime, "the evaluation-time axis (--time-start, --time-end)", "--time-steps"},
};

// Why the grid has no defined values, in the tool's words.
std::optional<std::string> GridRefusal(const ScanGrid& grid)
{
    for (const GridAxis& axis : kGridAxes)
        if (const std::optional<AxisFault> fault = CheckAxis(grid.*axis.axis))
            return std::string(axis.options) + (*fault == AxisFault::NotFinite
                                                    ? ": start and end must be finite numbers (in single precision)"
                                                    : ": a logarithmic axis needs a start and an end above 0");
    return std::nullopt;
}

// Axes without values, and the totals at the grid's corners when they are not finite.
void CheckGrid(const ScanGrid& grid, const ModelParameters& params, Doubts& doubts)
{
    for (const GridAxis& axis : kGridAxes)
        if ((grid.*axis.axis).steps < 0)
            doubts.Add(std::string(axis.steps) + ": STEPS " + std::to_string((grid.*axis.axis).steps) +
                       " is below 0: the axis has no values, so the table has no rows");
    for (const auto& [axis, meaning] :
         {std::pair{&grid.extinction, "the extinction axis"}, std::pair{&grid.evalTime, "the evaluation-time axis"}})
        for (const int k : {0, std::max(axis->steps, 0)})
            if (axis->steps >= 0 && AxisValue(axis->start, axis->end, axis->steps, k, axis->logarithmic) < 0.0)
                doubts.Add(std::string(meaning) + " reaches below 0, which has no physical meaning");
    if (grid.extinction.steps < 0 || grid.evalTime.steps < 0)
        return;
    ScanPointModel model(params);
    bool finite = true;
    for (const int i : {0, grid.extinction.steps})
        for (const int j : {0, grid.evalTime.steps}) {
            const ScanAxis& e = grid.extinction;
            const ScanAxis& t = grid.evalTime;
            model.SetExtinction(float(AxisValue(e.start, e.end, e.steps, i, e.logarithmic)));
            const ScanTotals totals = model.Totals(float(AxisValue(t.start, t.end, t.steps, j, t.logarithmic)));
            finite = finite && std::isfinite(totals.effLabTotal) && std::isfinite(totals.effNatTotal) &&
                     std::isfinite(double(totals.effLabTotal) / double(totals.effNatTotal));
        }
    if (!finite)
        doubts.Add("the totals or their ratio are not finite at the grid's corners");
}

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
        const ScanGrid scanGrid = ReadScanGrid(request_.inputs.grid);
        if (const std::optional<std::string> refusal = GridRefusal(scanGrid)) {
            err << "tamrisk-cli scan: the grid is refused: " << *refusal << '\n';
            return kExitUsage;
        }
        Doubts doubts;
        const std::string varied[] = {"extinction", "eval-time"};
        doubts.CheckParameters(params, varied);
        CheckGrid(scanGrid, params, doubts);
        if (const int code = ReportDoubts(context, doubts); code != kExitSuccess)
            return code;
        const Json grid = GridJson(scanGrid);

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
        // The table and its record are put in place together.
        int committed = kExitSuccess;
        hooks.commit = [&](OutputFile& file) {
            committed = CommitWithRecord(context, {{"grid", grid}}, file);
            return committed == kExitSuccess;
        };
        hooks.threads = request_.threads;
        hooks.layout.format = request_.format;
        if (request_.format == TableFormat::Json) {
            Json head = Record();
            head["grid"] = grid;
            head["columns"] = ScanColumnNames();
            head["rows"] = Json::array();
            std::string text = head.dump(2); // ends in `"rows": []` and `}`
            text.erase(text.rfind(']'));
            hooks.layout.jsonHead = text;
            hooks.layout.jsonTail = "\n  ]\n}\n";
        }
        const ScanJobResult result = RunScanJob(request_.inputs.grid, params, flags, profile, curves, hooks);
        if (line)
            line->Finish();
        if (committed != kExitSuccess)
            return committed;
        if (result.outcome != ScanOutcome::Written && result.outcome != ScanOutcome::Refused && InterruptSignal() != 0)
            return context.writer.Interrupted(request_.output);
        switch (result.outcome) {
        case ScanOutcome::Written:
            return kExitSuccess;
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
        command
            .add_option("--threads", request_.threads,
                        "threads evaluating the grid (default: the CPUs this process may use)")
            ->check(CLI::Range(1, 1024));
        command.add_flag("-q,--quiet", request_.quiet, "no progress line on the terminal");
    }
};

} // namespace

std::unique_ptr<Command> MakeScanCommand() { return std::make_unique<ScanCommand>(); }

} // namespace tamrisk::cli
