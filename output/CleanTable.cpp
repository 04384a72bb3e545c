// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/CleanTable.h"

#include "model/CurveTable.h"
#include "model/ProfileArrays.h"
#include "model/SampleGrid.h"
#include "output/CleanText.h"
#include "output/NumberText.h"
#include "output/RowWriter.h"

#include <cmath>

namespace tamrisk {

namespace {

// The arrays' values at sample i; NaN past the end of a short array.
float At(const std::vector<float>& values, int i)
{
    return std::size_t(i) < values.size() ? values[std::size_t(i)] : std::nanf("");
}

int Count(int points) { return points > 0 ? points : 0; }

} // namespace

std::optional<TableFormat> ParseTableFormat(std::string_view name)
{
    for (TableFormat f : {TableFormat::Native, TableFormat::Csv, TableFormat::Tsv, TableFormat::Json})
        if (name == TableFormatName(f))
            return f;
    return std::nullopt;
}

const char* TableFormatName(TableFormat format)
{
    switch (format) {
    case TableFormat::Native:
        return "native";
    case TableFormat::Csv:
        return "csv";
    case TableFormat::Tsv:
        return "tsv";
    case TableFormat::Json:
        return "json";
    }
    return "native";
}

std::string CleanLine(TableFormat format, const std::vector<std::string>& cells)
{
    return RowWriter(format == TableFormat::Tsv ? TableFormat::Tsv : TableFormat::Csv, cells.size()).Line(cells);
}

SampleTable ProfileTable(const ModelParameters& params, const DepthProfile& profile)
{
    SampleTable table{kDepthColumn, DepthStep(params), Count(params.depthPoints), {}};
    for (const ProfileArrayRow& row : kProfileArrays)
        table.columns.emplace_back(row.column, &(profile.*row.values));
    return table;
}

SampleTable CurvesTable(const ModelParameters& params, const SignalCurves& curves)
{
    SampleTable table{kTimeColumn, TimeStep(params), Count(params.timePoints), {}};
    for (const SignalArrayRow& row : kSignalArrays)
        table.columns.emplace_back(row.column, &(curves.*row.values));
    return table;
}

void WriteCleanTable(ByteSink& sink, TableFormat format, const SampleTable& table)
{
    std::vector<std::string> cells{table.keyColumn};
    for (const auto& [name, values] : table.columns)
        cells.push_back(name);
    sink.Write(CleanLine(format, cells));
    for (int i = 0; i < table.count; ++i) {
        cells.clear();
        cells.push_back(CleanText(GridPoint(i, table.step)));
        for (const auto& [name, values] : table.columns)
            cells.push_back(CleanText(At(*values, i)));
        sink.Write(CleanLine(format, cells));
    }
}

nlohmann::ordered_json TableJson(const SampleTable& table)
{
    nlohmann::ordered_json json = nlohmann::ordered_json::object();
    nlohmann::ordered_json& key = json[table.keyColumn] = nlohmann::ordered_json::array();
    for (int i = 0; i < table.count; ++i)
        key.push_back(JsonNumber(GridPoint(i, table.step)));
    for (const auto& [name, values] : table.columns) {
        nlohmann::ordered_json& column = json[name] = nlohmann::ordered_json::array();
        for (int i = 0; i < table.count; ++i)
            column.push_back(JsonNumber(At(*values, i)));
    }
    return json;
}

void WriteNativeCurves(ByteSink& sink, const ModelParameters& params, const SignalCurves& curves)
{
    PieceWriter out(sink);
    out.Piece("Zeit\t");
    for (std::size_t c = 0; c < kSignalArrays.size(); ++c) {
        const CurveRow* curve = nullptr;
        for (const CurveRow& row : kCurves)
            if (row.plot == PlotKind::Signal && row.array == int(c))
                curve = &row;
        out.Piece(std::string(curve->germanText) + (c + 1 < kSignalArrays.size() ? "\t" : "\n"));
    }
    const float step = TimeStep(params);
    for (int k = 0; k < Count(params.timePoints); ++k) {
        out.Piece(FormatCell(GridPoint(k, step)) + "\t");
        for (std::size_t c = 0; c < kSignalArrays.size(); ++c)
            out.Piece(FormatCell(At(curves.*kSignalArrays[c].values, k)) +
                      (c + 1 < kSignalArrays.size() ? "\t" : "\n"));
    }
}

nlohmann::ordered_json JsonNumber(float value)
{
    return std::isfinite(value) ? nlohmann::ordered_json(FloatForJson(value)) : nlohmann::ordered_json(nullptr);
}

nlohmann::ordered_json JsonNumber(double value)
{
    return std::isfinite(value) ? nlohmann::ordered_json(value) : nlohmann::ordered_json(nullptr);
}

nlohmann::ordered_json ParametersJson(const ModelParameters& p)
{
    return {
        {"extinction_per_mm", JsonNumber(p.extinction)},
        {"half_value_depth_mm", JsonNumber(p.halfValueDepth)},
        {"transmission", JsonNumber(p.transmission)},
        {"external_dose_rate", JsonNumber(p.externalDoseRate)},
        {"eval_time_s", JsonNumber(p.evalTime)},
        {"decay_rate_per_s", JsonNumber(p.rate1)},
        {"top_mm", JsonNumber(p.top)},
        {"bottom_mm", JsonNumber(p.bottom)},
        {"signal_depth_mm", JsonNumber(p.signalDepth)},
        {"integral_scale", JsonNumber(p.integralScale)},
        {"transparency_correction", p.transparencyCorrection},
        {"transparency_exponent", JsonNumber(p.transparencyExponent)},
        {"beta_attenuation_per_mm", JsonNumber(p.betaAttenuation)},
        {"curve_step", p.curveStep},
        {"depth_points", p.depthPoints},
        {"time_points", p.timePoints},
        {"time_max_s", JsonNumber(p.timeMax)},
    };
}

} // namespace tamrisk
