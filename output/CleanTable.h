// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/DepthProfile.h"
#include "model/ModelParameters.h"
#include "model/SignalCurves.h"
#include "output/ByteSink.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tamrisk {

// The window's own files (native) or a clean table for other programs: CSV
// or TSV in UTF-8 with one header row of ASCII names, decimal points, LF
// line ends and no NUL bytes; or one JSON document.
enum class TableFormat { Native, Csv, Tsv, Json };

std::optional<TableFormat> ParseTableFormat(std::string_view name);
const char* TableFormatName(TableFormat format);

// One line of a CSV or TSV table.
std::string CleanLine(TableFormat format, const std::vector<std::string>& cells);

// Arrays over one evenly spaced sample grid: the grid's positions, then one
// column per array, one row per sample.
struct SampleTable {
    const char* keyColumn;
    float step;
    int count;
    std::vector<std::pair<const char*, const std::vector<float>*>> columns;
};

// The depth profile: depth and all 14 arrays.
SampleTable ProfileTable(const ModelParameters& params, const DepthProfile& profile);
// The four signal curves against time.
SampleTable CurvesTable(const ModelParameters& params, const SignalCurves& curves);

void WriteCleanTable(ByteSink& sink, TableFormat format, const SampleTable& table);
// The table as a JSON object of columns: {"depth_mm": [...], ...}. Non-finite
// values, which JSON has no numbers for, are null.
nlohmann::ordered_json TableJson(const SampleTable& table);

// The window's conventions for the curves: cp1252, TAB, NUL after every piece, decimal comma.
void WriteNativeCurves(ByteSink& sink, const ModelParameters& params, const SignalCurves& curves);

// A float or double as a JSON number (null when not finite).
nlohmann::ordered_json JsonNumber(float value);
nlohmann::ordered_json JsonNumber(double value);

// The model parameters a run used, by name.
nlohmann::ordered_json ParametersJson(const ModelParameters& params);

} // namespace tamrisk
