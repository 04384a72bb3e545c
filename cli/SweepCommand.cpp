// SPDX-License-Identifier: GPL-3.0-or-later
// sweep: the totals (and any read-outs) over a grid of any inputs, one row per point.
#include "cli/SweepCommand.h"

#include "cli/ArgumentRules.h"
#include "cli/ModelCommand.h"
#include "cli/OutputPaths.h"
#include "cli/Sha256.h"
#include "cli/SweepManifest.h"
#include "model/InputTable.h"
#include "scan/SweepRows.h"

#include <algorithm>
#include <variant>

#include <charconv>
#include <memory>
#include <optional>
#include <ostream>

namespace tamrisk::cli {

namespace {

std::optional<std::int64_t> WholeNumber(std::string_view text)
{
    std::int64_t value = 0;
    const auto [ptr, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || ptr != text.data() + text.size())
        return std::nullopt;
    return value;
}

// "K/N" with 1 <= K <= N <= kMaxShards; otherwise why not.
constexpr std::int64_t kMaxShards = 1000000;
std::variant<std::pair<std::int64_t, std::int64_t>, std::string> ParseShard(const std::string& text)
{
    const std::string given = "--shard '" + Shown(text) + "'";
    const std::size_t slash = text.find('/');
    if (slash == std::string::npos)
        return given + " is not K/N, two whole numbers such as 3/16";
    const std::optional<std::int64_t> k = WholeNumber(std::string_view(text).substr(0, slash));
    const std::optional<std::int64_t> n = WholeNumber(std::string_view(text).substr(slash + 1));
    if (!k.has_value() || !n.has_value())
        return given + " is not K/N, two whole numbers such as 3/16";
    const std::int64_t parts = n.value();
    const std::int64_t part = k.value();
    if (parts < 1 || parts > kMaxShards)
        return given + ": N must be from 1 to " + std::to_string(kMaxShards);
    if (part < 1 || part > parts)
        return given + ": K must be from 1 to N (" + std::to_string(parts) + ")";
    return std::pair(part, parts);
}

std::optional<std::string> ReadPlan(const SweepOptions& options, SweepPlan& plan)
{
    for (const std::string& text : options.vary) {
        SweepAxis axis;
        if (std::optional<SweepAxisProblem> problem = ParseSweepAxis(text, axis))
            return problem->message +
                   (problem->unknownName.empty() ? "" : DidYouMean(problem->unknownName, SweepableNames()));
        plan.axes.push_back(axis);
    }
    plan.readouts = options.columns;
    if (std::optional<SweepAxisProblem> problem = CheckSweep(plan))
        return problem->message +
               (problem->unknownName.empty() ? "" : DidYouMean(problem->unknownName, ReadoutNames()));
    return std::nullopt;
}

// The JSON document around the rows: the record, the axes and the column names.
std::pair<std::string, std::string> JsonFrame(nlohmann::ordered_json head, const SweepPlan& plan)
{
    head["sweep"] = SweepJson(plan);
    head["columns"] = SweepColumnNames(plan);
    head["rows"] = nlohmann::ordered_json::array();
    std::string text = head.dump(2); // ends in `"rows": []` and `}`
    text.erase(text.rfind(']'));
    return {text, "\n  ]\n}\n"};
}

// Axes without values or reaching below 0 where an input cannot, inputs
// outside their range, and rows at the ends and the middle whose numbers are not finite.
void CheckSweepPlan(const SweepPlan& plan, const Inputs& inputs, const ModelParameters& base, Doubts& doubts)
{
    std::vector<std::string> varied;
    for (const SweepAxis& axis : plan.axes) {
        const std::string name = axis.input->name;
        varied.push_back(name);
        if (axis.input->kind == InputKind::Switch)
            continue;
        if (axis.range.steps < 0)
            doubts.Add("--vary " + name + ": STEPS " + std::to_string(axis.range.steps) +
                       " is below 0: the axis has no values, so the table has no rows");
        const bool nonNegative = name == "extinction" || name == "eval-time" || name == "dose-rate" || name == "rate1";
        if (nonNegative && axis.Count() > 0 && std::min(axis.Value(0), axis.Value(axis.Count() - 1)) < 0.0)
            doubts.Add("--vary " + name + " reaches below 0, which has no physical meaning");
    }
    doubts.CheckParameters(base, varied);
    const std::int64_t points = SweepPointCount(plan);
    for (const std::int64_t row : {std::int64_t(0), points / 2, points - 1}) {
        if (row < 0 || row >= points)
            continue;
        StringSink sample;
        WriteSweepRows(plan, inputs, TableFormat::Csv, {row, row + 1}, sample);
        if (sample.data().find("NaN") != std::string::npos || sample.data().find("Inf") != std::string::npos) {
            doubts.Add("some rows hold numbers that are not finite (row " + std::to_string(row + 1) + " of " +
                       std::to_string(points) + ")");
            return;
        }
    }
}

} // namespace

void AddSweepOptions(CLI::App& command, SweepOptions& options)
{
    std::string names;
    for (const std::string& name : SweepableNames())
        names += (names.empty() ? "" : ", ") + name;
    command
        .add_option("--vary", options.vary,
                    "an input to vary, repeatable, the first slowest: NAME=START:END:STEPS[:log] (STEPS + 1 "
                    "values, as the scan's axes), or NAME=0,1 for a switch; NAME is one of " +
                        names)
        ->required();
    command.add_option("--columns", options.columns, "further columns: read-outs by name (comma-separated)")
        ->delimiter(',');
    command
        .add_option("--format", options.format,
                    "csv, tsv or json: one row per point; without --format, an output file ending in .tsv or .json "
                    "gets that format")
        ->check(CLI::IsMember({"csv", "tsv", "json"}))
        ->capture_default_str();
    command.add_option("-o,--output", options.output, "output file, - for standard output")->capture_default_str();
    command.add_option("--shard", options.shard,
                       "K/N: only the K-th of N equal blocks of rows, the header in block 1 only, so that blocks "
                       "1..N joined in order are the whole table (csv and tsv); with -o FILE, FILE.manifest.json is "
                       "written beside it once it is complete, for tamrisk-cli join");
    command.add_flag("--skip-complete", options.skipComplete,
                     "with --shard and -o FILE: do nothing (exit 0) when FILE and its manifest are already this "
                     "part, whole; otherwise compute it");
    command.add_flag("--count", options.count,
                     "print the number of points and an estimate of the output's bytes, and compute nothing else");
    command
        .add_option("--threads", options.threads,
                    "threads evaluating the points (default: the CPUs this process may use)")
        ->check(CLI::Range(1, 1024));
}

namespace {

class SweepCommand final : public ModelCommand {
public:
    SweepCommand()
        : ModelCommand("sweep", "write the totals over a grid of any inputs, one row per point", {}, OutputOption::None)
    {
    }

    std::vector<NamedOutput> Outputs() const override
    {
        std::vector<NamedOutput> outputs;
        if (!options_.count)
            outputs.push_back({"-o", options_.output});
        // A part written to a stream (-, /dev/stdout, a pipe) has no file to vouch for.
        if (!options_.count && shardGiven_ && OutputFile::Replaces(options_.output))
            outputs.push_back({"--shard", ManifestPathOf(options_.output)});
        std::vector<NamedOutput> rest = ModelCommand::Outputs();
        outputs.insert(outputs.end(), rest.begin(), rest.end());
        return outputs;
    }

    int Run(CommandContext& context) override;

protected:
    bool WritesJson() const override { return !request_.record.empty() || options_.format == "json"; }
    void AddLeadingOptions(CLI::App& command) override { AddSweepOptions(command, options_); }

    int PrepareOwn(const CLI::App& command, CommandContext& context) override
    {
        // An empty --shard is an unset variable in a script, not the whole table.
        shardGiven_ = command.count("--shard") > 0;
        if (options_.skipComplete && (!shardGiven_ || options_.output == "-")) {
            context.err << "tamrisk-cli sweep: --skip-complete needs --shard K/N and -o FILE, where it looks for "
                           "the part and its manifest\n";
            return kExitUsage;
        }
        // Without --format the file's ending chooses it.
        if (const std::optional<TableFormat> named = FormatOfPath(options_.output);
            named && command.count("--format") == 0 && *named != TableFormat::Native)
            options_.format = TableFormatName(*named);
        return kExitSuccess;
    }

private:
    SweepOptions options_;
    bool shardGiven_ = false;
};

int SweepCommand::Run(CommandContext& context)
{
    std::ostream& err = context.err;
    request_.format = *ParseTableFormat(options_.format);
    request_.output = options_.output;
    SweepPlan plan;
    if (const std::optional<std::string> problem = ReadPlan(options_, plan)) {
        err << "tamrisk-cli sweep: " << Shown(*problem) << '\n';
        return kExitUsage;
    }

    Doubts doubts;
    CheckSweepPlan(plan, request_.inputs, BaseParameters(), doubts);
    if (const int code = ReportDoubts(context, doubts); code != kExitSuccess)
        return code;

    const std::int64_t points = SweepPointCount(plan);
    RowRange range{0, points};
    bool header = true;
    std::optional<PartManifest> part;
    if (shardGiven_) {
        const auto parsed = ParseShard(options_.shard);
        if (const std::string* problem = std::get_if<std::string>(&parsed)) {
            err << "tamrisk-cli sweep: " << *problem << '\n';
            return kExitUsage;
        }
        const auto* shard = std::get_if<std::pair<std::int64_t, std::int64_t>>(&parsed);
        if (request_.format == TableFormat::Json) {
            err << "tamrisk-cli sweep: --shard writes csv or tsv, whose blocks join by concatenation; "
                   "a JSON document does not split so\n";
            return kExitUsage;
        }
        range = ShardRows(points, shard->first, shard->second);
        header = shard->first == 1;
        part = PlannedPart(Header().version,
                           SweepFingerprint(Header().version, InputsJson(request_.inputs), plan, request_.format),
                           request_.format, points, shard->first, shard->second);
    }

    std::pair<std::string, std::string> frame;
    if (request_.format == TableFormat::Json)
        frame = JsonFrame(Record(), plan);
    else if (header)
        frame.first = SweepHeader(plan, request_.format);

    if (options_.count) {
        const std::int64_t bytes = std::int64_t(frame.first.size() + frame.second.size()) +
                                   EstimateSweepRowBytes(plan, request_.inputs, request_.format, range);
        context.out << "points " << range.last - range.first << "\nbytes " << bytes << " (estimate)\n";
        context.out.flush();
        return kExitSuccess;
    }
    if (options_.skipComplete) {
        const FinishedPart finished = CheckFinishedPart(request_.output, *part);
        const std::string name = "'" + Shown(request_.output) + "'";
        if (finished.complete) {
            err << "tamrisk-cli sweep: " << name << " is part " << part->shard << " of " << part->shards
                << " of this sweep, whole; nothing to do\n";
            return kExitSuccess;
        }
        if (!finished.reason.empty())
            err << "tamrisk-cli sweep: " << name << " is computed again: " << Shown(finished.reason) << '\n';
    }

    const std::unique_ptr<OutputWriter::Pending> output = context.writer.Open(request_.output);
    if (!output)
        return InterruptSignal() != 0 ? context.writer.Interrupted(request_.output) : kExitFailure;
    SweepHooks hooks;
    hooks.threads = options_.threads > 0 ? options_.threads : request_.threads;
    hooks.cancelled = [] { return InterruptSignal() != 0; };
    HashingSink table(output->file());
    try {
        table.Write(frame.first);
        if (!WriteSweepRows(plan, request_.inputs, request_.format, range, table, hooks))
            return context.writer.Interrupted(request_.output);
        table.Write(frame.second);
    } catch (const FileError& error) {
        return context.writer.Failed(request_.output, error.what());
    }
    // Beside the table: its record, then the part's manifest, committed after
    // the table and the record so that a manifest vouches only for a whole part.
    std::vector<std::pair<std::string, std::string>> besides;
    if (!request_.record.empty()) {
        nlohmann::ordered_json extra = {{"sweep", SweepJson(plan)}};
        if (shardGiven_)
            extra["shard"] = options_.shard;
        besides.emplace_back(request_.record, RecordDocument(extra, request_.output));
    }
    if (part && output->file().replaces()) {
        part->bytes = std::int64_t(table.bytes());
        part->sha256 = table.HexDigest();
        besides.emplace_back(ManifestPathOf(request_.output), ManifestText(*part));
    }
    std::vector<std::unique_ptr<OutputWriter::Pending>> opened;
    std::vector<OutputWriter::Pending*> commits{output.get()};
    for (const auto& [path, text] : besides) {
        std::unique_ptr<OutputWriter::Pending> beside = context.writer.Open(path);
        if (!beside)
            return InterruptSignal() != 0 ? context.writer.Interrupted(path) : kExitFailure;
        try {
            beside->file().Write(text);
        } catch (const FileError& error) {
            return context.writer.Failed(path, error.what());
        }
        commits.push_back(beside.get());
        opened.push_back(std::move(beside));
    }
    return context.writer.Commit(commits);
}

} // namespace

std::unique_ptr<Command> MakeSweepCommand() { return std::make_unique<SweepCommand>(); }

} // namespace tamrisk::cli
