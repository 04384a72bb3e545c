// SPDX-License-Identifier: GPL-3.0-or-later
// join: the parts of a sweep written with --shard, checked against their
// manifests and joined into the whole table, or the parts still to run.
#include "cli/Command.h"

#include "cli/OutputPaths.h"
#include "cli/PartSurvey.h"

#include <CLI/CLI.hpp>

#include <ostream>

namespace tamrisk::cli {

namespace {

class JoinCommand final : public Command {
public:
    const char* name() const override { return "join"; }
    const char* summary() const override
    {
        return "join a sweep's parts (--shard K/N) into the whole table, once all are there and whole";
    }

    void AddOptions(CLI::App& command) override
    {
        command
            .add_option("parts", paths_,
                        "the parts and their manifests (PART.manifest.json beside each): a folder, or files")
            ->required();
        command
            .add_option("-o,--output", output_,
                        "the whole table, written only when parts 1..N of one sweep are all there, each matching "
                        "its manifest, and nothing else is (otherwise exit 1, naming what is wrong); - for "
                        "standard output")
            ->capture_default_str();
        command
            .add_option("--shards", shards_,
                        "N: the number of parts the sweep was cut into (default: as most "
                        "manifests say); needed to list parts when none is there")
            ->check(CLI::Range(1, 1000000));
        command.add_flag("--list-missing", listMissing_,
                         "write nothing; print the K's of the parts missing or damaged, as sbatch --array takes "
                         "them (3,7-9), so that they can be run again");
        command.add_flag("--one-per-line", onePerLine_, "with --list-missing: one K per line, for parallel or xargs");
    }

    int Prepare(const CLI::App& command, CommandContext& context) override
    {
        if (onePerLine_ && !listMissing_)
            return Usage(context, "--one-per-line goes with --list-missing");
        if (listMissing_ && command.count("--output") > 0)
            return Usage(context, "--list-missing prints to standard output and writes no table; leave out -o");
        return kExitSuccess;
    }

    std::vector<NamedOutput> Outputs() const override
    {
        if (listMissing_)
            return {};
        return {{"-o", output_}};
    }

    int Run(CommandContext& context) override
    {
        const auto stopped = [] { return InterruptSignal() != 0; };
        PartSurvey survey = SurveyParts(paths_, shards_, listMissing_ ? "-" : output_);
        if (listMissing_)
            return ListMissing(context, survey);
        if (!survey.Complete()) {
            CheckPartContents(survey, nullptr, stopped); // names the damaged parts among the rest too
            return Refuse(context, survey, false);
        }
        const std::unique_ptr<OutputWriter::Pending> output = context.writer.Open(output_);
        if (!output)
            return InterruptSignal() != 0 ? context.writer.Interrupted(output_) : kExitFailure;
        try {
            // Standard output cannot be taken back: every part is read once before any byte goes there.
            if (!output->file().replaces())
                CheckPartContents(survey, nullptr, stopped);
            if (survey.Complete())
                CheckPartContents(survey, &output->file(), stopped);
        } catch (const FileError& error) {
            return context.writer.Failed(output_, error.what());
        }
        if (InterruptSignal() != 0)
            return context.writer.Interrupted(output_);
        if (!survey.Complete()) // a part changed after it was checked
            return Refuse(context, survey, true);
        return context.writer.Commit({output.get()});
    }

private:
    int Usage(CommandContext& context, const char* message) const
    {
        context.err << "tamrisk-cli join: " << message << '\n';
        return kExitUsage;
    }

    int ListMissing(CommandContext& context, PartSurvey& survey) const
    {
        if (survey.shards == 0) {
            context.err << "tamrisk-cli join: no manifest says how many parts there are; give --shards N\n";
            return kExitFailure;
        }
        CheckPartContents(survey, nullptr, [] { return InterruptSignal() != 0; });
        if (InterruptSignal() != 0)
            return ReportInterrupted("-", context.err);
        for (const std::string& problem : survey.problems)
            context.err << "tamrisk-cli join: " << problem << '\n';
        const std::string list = ShardListText(survey.rerun, onePerLine_);
        context.out << list << (list.empty() || onePerLine_ ? "" : "\n");
        return kExitSuccess;
    }

    // Names every problem; `begun`: some bytes may have gone to the output.
    int Refuse(CommandContext& context, const PartSurvey& survey, bool begun) const
    {
        if (InterruptSignal() != 0)
            return context.writer.Interrupted(output_);
        for (const std::string& problem : survey.problems)
            context.err << "tamrisk-cli join: " << problem << '\n';
        context.err << "tamrisk-cli join: nothing was joined";
        if (output_ != "-" || begun)
            context.err << "; " << NotWrittenText(output_);
        if (!survey.rerun.empty())
            context.err << "; parts to run again: " << ShardListText(survey.rerun, false);
        context.err << '\n';
        return kExitFailure;
    }

    std::vector<std::string> paths_;
    std::string output_ = "-";
    std::int64_t shards_ = 0;
    bool listMissing_ = false;
    bool onePerLine_ = false;
};

} // namespace

std::unique_ptr<Command> MakeJoinCommand() { return std::make_unique<JoinCommand>(); }

} // namespace tamrisk::cli
