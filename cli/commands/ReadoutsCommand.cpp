// SPDX-License-Identifier: GPL-3.0-or-later
// readouts: the window's read-outs, one per line, or as a clean table or document.
#include "cli/ModelCommand.h"

#include "output/CleanText.h"
#include "output/ParameterRecord.h"
#include "plot/Recompute.h"

namespace tamrisk::cli {

namespace {

// A cell of a clean table: a stored float as its shortest text, a value
// computed in double precision as the double's.
std::string CleanValue(const Readout& readout)
{
    return readout.computedInDouble ? CleanText(readout.value) : CleanText(float(readout.value));
}

nlohmann::ordered_json JsonValue(const Readout& readout)
{
    return readout.computedInDouble ? JsonNumber(readout.value) : ReadoutNumber(readout.value);
}

class ReadoutsCommand final : public ModelCommand {
public:
    ReadoutsCommand()
        : ModelCommand("readouts", "print the window's read-outs, one per line: ID TAB TEXT",
                       {{TableFormat::Native, TableFormat::Csv, TableFormat::Tsv, TableFormat::Json}},
                       OutputOption::Optional)
    {
    }

    int Run(CommandContext& context) override
    {
        ModelState state;
        const std::vector<Readout> readouts = ComputeReadouts(request_.inputs, state);
        Doubts doubts;
        doubts.CheckParameters(state.params);
        for (const Readout& r : readouts)
            doubts.CheckFinite(std::string("the read-out ") + r.name, r.value);
        if (const int code = ReportDoubts(context, doubts); code != kExitSuccess)
            return code;
        std::string text;
        if (request_.format == TableFormat::Native) {
            for (const Readout& readout : readouts)
                text += std::to_string(IdNumber(readout.id)) + '\t' + readout.text + '\n';
        } else if (request_.format == TableFormat::Json) {
            Json json = Record();
            Json& byName = json["readouts"] = Json::object();
            for (const Readout& r : readouts)
                byName[r.name] = {{"value", JsonValue(r)}, {"text", r.text}, {"id", IdNumber(r.id)}};
            text = json.dump(2) + "\n";
        } else {
            std::vector<std::string> names, values;
            for (const Readout& r : readouts) {
                names.push_back(r.name);
                values.push_back(CleanValue(r));
            }
            text = CleanLine(request_.format, names) + CleanLine(request_.format, values);
        }
        return WriteWithRecord(context, {{"parameters", ParametersJson(state.params)}},
                               [&](ByteSink& sink) { sink.Write(text); });
    }
};

} // namespace

std::unique_ptr<Command> MakeReadoutsCommand() { return std::make_unique<ReadoutsCommand>(); }

} // namespace tamrisk::cli
