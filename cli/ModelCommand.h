// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/CliOptions.h"
#include "cli/CliRequest.h"
#include "cli/Command.h"
#include "cli/Doubts.h"
#include "output/ParameterRecord.h"

#include <nlohmann/json.hpp>

#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace tamrisk::cli {

// The clean format a file's ending names: .csv, .tsv or .json (any case);
// nothing for another ending and for standard output.
std::optional<TableFormat> FormatOfPath(const std::string& path);

// A command over the window's inputs: INPUTS, --params and --record, and
// where it writes one output, --format and -o.
class ModelCommand : public Command {
public:
    // The formats the command offers, the first its default; none: no --format.
    struct Formats {
        std::vector<TableFormat> offered;
    };
    // -o: absent, optional with standard output as default, or required.
    enum class OutputOption { None, Optional, Required };

    ModelCommand(const char* name, const char* summary, Formats formats, OutputOption output);

    const char* name() const override { return name_; }
    const char* summary() const override { return summary_; }
    void AddOptions(CLI::App& command) final;
    int Prepare(const CLI::App& command, CommandContext& context) final;
    std::vector<NamedOutput> Outputs() const override;

protected:
    // Options before the inputs and after -o, in the order the help lists them.
    virtual void AddLeadingOptions(CLI::App&) {}
    virtual void AddTrailingOptions(CLI::App&) {}
    // Checks of the command's own options once the inputs are read.
    virtual int PrepareOwn(const CLI::App&, CommandContext&) { return kExitSuccess; }

    using Json = nlohmann::ordered_json;
    // The record's header and inputs.
    Json Record() const;
    RecordHeader Header() const;
    // The whole record of an output: the header and inputs, `extra`, and the output's format and file.
    std::string RecordDocument(const Json& extra, const std::string& output) const;
    // The output, then its record with `extra` (none without --record),
    // committed together once both are complete.
    int WriteWithRecord(CommandContext& context, const Json& extra, std::function<void(ByteSink&)> write) const;
    // Puts the complete output `file` (of -o) in place together with its
    // record, which is written now with `extra` (none without --record).
    int CommitWithRecord(CommandContext& context, const Json& extra, OutputFile& file) const;
    // Whether the command writes a JSON document, which holds the command
    // line and so needs its arguments as UTF-8 text.
    virtual bool WritesJson() const { return !request_.record.empty() || request_.format == TableFormat::Json; }

    // Says each doubt on err as a warning; with --strict a usage error
    // (exit 2) before anything is written, otherwise success.
    int ReportDoubts(CommandContext& context, const Doubts& doubts) const;
    // The model parameters of the inputs, as the window reads them.
    ModelParameters BaseParameters() const;

    CliRequest request_;

private:
    const char* name_;
    const char* summary_;
    Formats formats_;
    OutputOption output_;
    RawInputs raw_;
    std::string formatName_;
    std::string paramsFile_;
    bool recordGiven_ = false;
    bool strict_ = false;
};

} // namespace tamrisk::cli
