// SPDX-License-Identifier: GPL-3.0-or-later
// export and curves: a table over one sample grid, the depth profile or the
// signal curves, in the window's format or as a clean table or document.
#include "cli/ModelCommand.h"

#include "model/CurveTable.h"
#include "output/ProfileExport.h"
#include "plot/Recompute.h"

namespace tamrisk::cli {

namespace {

class SampleTableCommand : public ModelCommand {
protected:
    SampleTableCommand(const char* name, const char* summary, Formats formats, OutputOption output)
        : ModelCommand(name, summary, std::move(formats), output)
    {
    }

    // The table in the requested format: `native` writes the window's file,
    // json a document with the table under `jsonKey`.
    template <typename WriteNative>
    int WriteTable(CommandContext& context, const ModelState& state, const SampleTable& table, const char* jsonKey,
                   WriteNative writeNative) const
    {
        Doubts doubts;
        doubts.CheckParameters(state.params);
        for (const auto& [name, values] : table.columns)
            doubts.CheckFinite(std::string("the column ") + name, *values);
        doubts.CheckFinite("the total eff_lab_total", double(state.profile.effLabTotal));
        doubts.CheckFinite("the total eff_nat_total", double(state.profile.effNatTotal));
        if (const int code = ReportDoubts(context, doubts); code != kExitSuccess)
            return code;
        const Json parameters = {{"parameters", ParametersJson(state.params)}};
        return WriteWithRecord(context, parameters, [&](ByteSink& sink) {
            if (request_.format == TableFormat::Native) {
                writeNative(sink);
            } else if (request_.format == TableFormat::Json) {
                Json json = Record();
                json["parameters"] = parameters["parameters"];
                json["totals"] = {{"eff_lab_total", JsonNumber(state.profile.effLabTotal)},
                                  {"eff_nat_total", JsonNumber(state.profile.effNatTotal)}};
                json[jsonKey] = TableJson(table);
                sink.Write(json.dump(2) + "\n");
            } else {
                WriteCleanTable(sink, request_.format, table);
            }
        });
    }
};

const ModelCommand::Formats kAllFormats{{TableFormat::Native, TableFormat::Csv, TableFormat::Tsv, TableFormat::Json}};

class ExportCommand final : public SampleTableCommand {
public:
    ExportCommand() : SampleTableCommand("export", "write the profile export file", kAllFormats, OutputOption::Required)
    {
    }

    int Run(CommandContext& context) override
    {
        ModelState state;
        RecomputeNumbers(request_.inputs.controls, state, request_.inputs.overrides);
        return WriteTable(context, state, ProfileTable(state.params, state.profile), "profile",
                          [&](ByteSink& sink) { WriteProfileExport(sink, state.params, state.profile); });
    }
};

class CurvesCommand final : public SampleTableCommand {
public:
    CurvesCommand()
        : SampleTableCommand("curves", "write the four OSL signal curves against time as a table",
                             {{TableFormat::Csv, TableFormat::Native, TableFormat::Tsv, TableFormat::Json}},
                             OutputOption::Optional)
    {
    }

    int Run(CommandContext& context) override
    {
        // Every signal curve, whatever the display flags say.
        Inputs inputs = request_.inputs;
        for (const CurveRow& curve : kCurves)
            if (curve.plot == PlotKind::Signal)
                inputs.controls.flags.*curve.flag = true;
        ModelState state;
        RecomputeNumbers(inputs.controls, state, inputs.overrides);
        return WriteTable(context, state, CurvesTable(state.params, state.curves), "curves",
                          [&](ByteSink& sink) { WriteNativeCurves(sink, state.params, state.curves); });
    }
};

} // namespace

std::unique_ptr<Command> MakeExportCommand() { return std::make_unique<ExportCommand>(); }
std::unique_ptr<Command> MakeCurvesCommand() { return std::make_unique<CurvesCommand>(); }

} // namespace tamrisk::cli
