// sweep: the totals (and any read-outs) over a grid of any inputs, one row per point.
#include "cli/SweepCommand.h"

#include "cli/ArgumentRules.h"
#include "cli/ModelCommand.h"
#include "cli/OutputPaths.h"
#include "scan/SweepRows.h"

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

// "K/N" with 1 <= K <= N.
std::optional<std::pair<std::int64_t, std::int64_t>> ParseShard(const std::string& text)
{
    const std::size_t slash = text.find('/');
    if (slash == std::string::npos)
        return std::nullopt;
    const std::optional<std::int64_t> k = WholeNumber(std::string_view(text).substr(0, slash));
    const std::optional<std::int64_t> n = WholeNumber(std::string_view(text).substr(slash + 1));
    if (!k || !n || *k < 1 || *k > *n || *n > 1000000)
        return std::nullopt;
    return std::pair(*k, *n);
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
    std::string text = head.dump(2);  // ends in `"rows": []` and `}`
    text.erase(text.rfind(']'));
    return {text, "\n  ]\n}\n"};
}

} // namespace

void AddSweepOptions(CLI::App& command, SweepOptions& options)
{
    std::string names;
    for (const std::string& name : SweepableNames())
        names += (names.empty() ? "" : ", ") + name;
    command.add_option("--vary", options.vary,
                       "an input to vary, repeatable, the first slowest: NAME=START:END:STEPS[:log] (STEPS + 1 "
                       "values, as the scan's axes), or NAME=0,1 for a switch; NAME is one of " + names)
        ->required();
    command.add_option("--columns", options.columns, "further columns: read-outs by name (comma-separated)")
        ->delimiter(',');
    command.add_option("--format", options.format,
                       "csv, tsv or json: one row per point; without --format, an output file ending in .tsv or .json "
                       "gets that format")
        ->check(CLI::IsMember({"csv", "tsv", "json"}))
        ->capture_default_str();
    command.add_option("-o,--output", options.output, "output file, - for standard output")->capture_default_str();
    command.add_option("--shard", options.shard,
                       "K/N: only the K-th of N equal blocks of rows, the header in block 1 only, so that blocks "
                       "1..N joined in order are the whole table (csv and tsv)");
    command.add_flag("--count", options.count,
                     "print the number of points and an estimate of the output's bytes, and compute nothing else");
    command.add_option("--threads", options.threads, "threads evaluating the points (default: the number of cores)")
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
        std::vector<NamedOutput> rest = ModelCommand::Outputs();
        outputs.insert(outputs.end(), rest.begin(), rest.end());
        return outputs;
    }

    int Run(CommandContext& context) override;

protected:
    void AddLeadingOptions(CLI::App& command) override { AddSweepOptions(command, options_); }

    int PrepareOwn(const CLI::App& command, CommandContext&) override
    {
        // Without --format the file's ending chooses it.
        if (const std::optional<TableFormat> named = FormatOfPath(options_.output);
            named && command.count("--format") == 0 && *named != TableFormat::Native)
            options_.format = TableFormatName(*named);
        return kExitSuccess;
    }

private:
    SweepOptions options_;
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

    const std::int64_t points = SweepPointCount(plan);
    RowRange range{0, points};
    bool header = true;
    if (!options_.shard.empty()) {
        const auto shard = ParseShard(options_.shard);
        if (!shard) {
            err << "tamrisk-cli sweep: --shard '" << Shown(options_.shard) << "' is not K/N with 1 <= K <= N\n";
            return kExitUsage;
        }
        if (request_.format == TableFormat::Json) {
            err << "tamrisk-cli sweep: --shard writes csv or tsv, whose blocks join by concatenation; "
                   "a JSON document does not split so\n";
            return kExitUsage;
        }
        range = ShardRows(points, shard->first, shard->second);
        header = shard->first == 1;
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

    const std::unique_ptr<OutputWriter::Pending> output = context.writer.Open(request_.output);
    if (!output)
        return InterruptSignal() != 0 ? context.writer.Interrupted(request_.output) : kExitFailure;
    SweepHooks hooks;
    hooks.threads = options_.threads > 0 ? options_.threads : request_.threads;
    hooks.cancelled = [] { return InterruptSignal() != 0; };
    try {
        output->file().Write(frame.first);
        if (!WriteSweepRows(plan, request_.inputs, request_.format, range, output->file(), hooks))
            return context.writer.Interrupted(request_.output);
        output->file().Write(frame.second);
    } catch (const FileError& error) {
        return context.writer.Failed(request_.output, error.what());
    }
    nlohmann::ordered_json extra = {{"sweep", SweepJson(plan)}};
    if (!options_.shard.empty())
        extra["shard"] = options_.shard;
    if (request_.record.empty())
        return context.writer.Commit({output.get()});
    const std::unique_ptr<OutputWriter::Pending> record = context.writer.Open(request_.record);
    if (!record)
        return InterruptSignal() != 0 ? context.writer.Interrupted(request_.record) : kExitFailure;
    try {
        record->file().Write(RecordDocument(extra, request_.output));
    } catch (const FileError& error) {
        return context.writer.Failed(request_.record, error.what());
    }
    return context.writer.Commit({output.get(), record.get()});
}

} // namespace

std::unique_ptr<Command> MakeSweepCommand() { return std::make_unique<SweepCommand>(); }

} // namespace tamrisk::cli
