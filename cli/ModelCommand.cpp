// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ModelCommand.h"

#include "cli/OutputPaths.h"
#include "model/CurveTable.h"
#include "model/ReadParameters.h"
#include "output/ParameterRecord.h"
#include "scan/UsableThreads.h"

#include "TamriskVersion.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <ostream>

namespace tamrisk::cli {

namespace {

constexpr const char* kFormatHelp =
    "native: the window's file (cp1252, TAB, NUL bytes, decimal comma); csv or tsv: a clean table with a header "
    "row; json: one document with inputs and results. Without --format, an output file ending in .csv, .tsv or "
    ".json gets that format";

// As the JSON library takes a text.
bool IsUtf8(const std::string& text)
{
    try {
        [[maybe_unused]] const std::string dumped = nlohmann::json(text).dump();
        return true;
    } catch (const nlohmann::json::type_error&) {
        return false;
    }
}

} // namespace

std::optional<TableFormat> FormatOfPath(const std::string& path)
{
    const std::size_t dot = path.rfind('.');
    if (path == "-" || dot == std::string::npos || path.find('/', dot) != std::string::npos)
        return std::nullopt;
    std::string ending = path.substr(dot + 1);
    for (char& c : ending)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    if (ending != "csv" && ending != "tsv" && ending != "json")
        return std::nullopt;
    return ParseTableFormat(ending);
}

ModelCommand::ModelCommand(const char* name, const char* summary, Formats formats, OutputOption output)
    : name_(name), summary_(summary), formats_(std::move(formats)), output_(output)
{
    request_.command = name;
    request_.threads = UsableThreads();
    if (!formats_.offered.empty()) {
        request_.format = formats_.offered.front();
        formatName_ = TableFormatName(request_.format);
    }
}

void ModelCommand::AddOptions(CLI::App& command)
{
    AddLeadingOptions(command);
    AddInputOptions(command, raw_);
    command.add_option("--params", paramsFile_,
                       "read the inputs from a parameter record (FILE.json); options given here override it");
    command.add_option("--record", request_.record, "also write a JSON record of how the output was made (FILE.json)");
    command.add_flag("--strict", strict_,
                     "refuse (exit 2, nothing written) where the tool would warn: an input outside its physical "
                     "range, a result that is not a finite number");
    if (!formats_.offered.empty()) {
        std::vector<std::string> names;
        for (TableFormat format : formats_.offered)
            names.emplace_back(TableFormatName(format));
        // The help lists them in the one order, whatever the default.
        std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
            return *ParseTableFormat(a) < *ParseTableFormat(b);
        });
        command.add_option("--format", formatName_, kFormatHelp)->check(CLI::IsMember(names))->capture_default_str();
    }
    if (output_ == OutputOption::Required)
        command.add_option("-o,--output", request_.output, "output file, - for standard output")->required();
    else if (output_ == OutputOption::Optional)
        command.add_option("-o,--output", request_.output, "output file, - for standard output")->capture_default_str();
    AddTrailingOptions(command);
}

int ModelCommand::Prepare(const CLI::App& command, CommandContext& context)
{
    request_.arguments = context.arguments;
    // An empty name given is an unset variable in a script, refused with the other outputs.
    recordGiven_ = command.count("--record") > 0;
    if (!formats_.offered.empty()) {
        request_.format = *ParseTableFormat(formatName_);
        // Without --format the file's ending chooses a clean format.
        const std::optional<TableFormat> named = FormatOfPath(request_.output);
        if (command.count("--format") == 0 && named &&
            std::find(formats_.offered.begin(), formats_.offered.end(), *named) != formats_.offered.end())
            request_.format = *named;
    }
    if (context.params != nullptr) {
        const nlohmann::ordered_json& json = *context.params;
        const nlohmann::ordered_json& inputs = json.contains("inputs") ? json["inputs"] : json;
        if (const std::optional<std::string> problem = ReadInputsJson(inputs, request_.inputs)) {
            context.err << "tamrisk-cli " << name_ << ": --params '" << Shown(paramsFile_) << "': " << Shown(*problem)
                        << '\n';
            return kExitUsage;
        }
        // --show names the whole set of shown curves.
        if (command.count("--show") > 0)
            for (const CurveRow& curve : kCurves)
                request_.inputs.controls.flags.*curve.flag = false;
    }
    ApplyInputOptions(command, raw_, request_.inputs, context.err);
    if (const int code = PrepareOwn(command, context); code != kExitSuccess)
        return code;
    // Found now rather than when the document is written, after the work.
    if (WritesJson())
        for (const std::string& argument : request_.arguments)
            if (!IsUtf8(argument)) {
                context.err << "tamrisk-cli " << name_ << ": '" << Shown(argument)
                            << "' is not UTF-8 text, which a JSON document (--record, --format json) holds; "
                               "nothing was computed\n";
                return kExitUsage;
            }
    return kExitSuccess;
}

std::vector<NamedOutput> ModelCommand::Outputs() const
{
    std::vector<NamedOutput> outputs;
    if (output_ != OutputOption::None)
        outputs.push_back({"-o", request_.output});
    if (recordGiven_)
        outputs.push_back({"--record", request_.record});
    return outputs;
}

int ModelCommand::ReportDoubts(CommandContext& context, const Doubts& doubts) const
{
    for (const std::string& note : doubts.notes())
        context.err << "tamrisk-cli " << name_ << ": warning: " << Shown(note) << '\n';
    if (!strict_ || doubts.notes().empty())
        return kExitSuccess;
    context.err << "tamrisk-cli " << name_ << ": --strict: nothing was written\n";
    return kExitUsage;
}

ModelParameters ModelCommand::BaseParameters() const
{
    ModelParameters params;
    DisplayFlags flags;
    ReadParameters(request_.inputs.controls, params, flags);
    ApplyOverrides(request_.inputs.overrides, params);
    return params;
}

ModelCommand::Json ModelCommand::Record() const { return RecordJson(Header(), request_.inputs); }

RecordHeader ModelCommand::Header() const
{
    return {"tamrisk-cli", TAMRISK_VERSION, request_.command, request_.arguments};
}

std::string ModelCommand::RecordDocument(const Json& extra, const std::string& output) const
{
    return ParameterRecordText(Header(), request_.inputs, extra, {request_.format, output});
}

int ModelCommand::WriteWithRecord(CommandContext& context, const Json& extra,
                                  std::function<void(ByteSink&)> write) const
{
    std::vector<OutputWriter::Piece> pieces{{request_.output, std::move(write)}};
    if (!request_.record.empty())
        pieces.push_back(
            {request_.record, [&](ByteSink& sink) { sink.Write(RecordDocument(extra, request_.output)); }});
    return context.writer.WriteAll(pieces);
}

int ModelCommand::CommitWithRecord(CommandContext& context, const Json& extra, OutputFile& file) const
{
    if (request_.record.empty())
        return context.writer.Commit(file, request_.output, {});
    const std::unique_ptr<OutputWriter::Pending> record = context.writer.Open(request_.record);
    if (!record)
        return InterruptSignal() != 0 ? context.writer.Interrupted(request_.record) : kExitFailure;
    try {
        record->file().Write(RecordDocument(extra, request_.output));
    } catch (const FileError& error) {
        return context.writer.Failed(request_.record, error.what());
    }
    return context.writer.Commit(file, request_.output, {record.get()});
}

} // namespace tamrisk::cli
