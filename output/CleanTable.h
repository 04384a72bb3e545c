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

// The depth profile: depth and all 14 arrays, one row per depth sample.
void WriteProfileTable(ByteSink& sink, TableFormat format, const ModelParameters& params,
                       const DepthProfile& profile);
// The four signal curves against time, one row per time sample.
void WriteCurvesTable(ByteSink& sink, TableFormat format, const ModelParameters& params,
                      const SignalCurves& curves);
// The window's conventions for the curves: cp1252, TAB, NUL after every piece, decimal comma.
void WriteNativeCurves(ByteSink& sink, const ModelParameters& params, const SignalCurves& curves);

// The same tables as JSON objects of columns: {"depth_mm": [...], ...}.
// Non-finite values, which JSON has no numbers for, are null.
nlohmann::ordered_json ProfileJson(const ModelParameters& params, const DepthProfile& profile);
nlohmann::ordered_json CurvesJson(const ModelParameters& params, const SignalCurves& curves);

// A float or double as a JSON number (null when not finite).
nlohmann::ordered_json JsonNumber(float value);
nlohmann::ordered_json JsonNumber(double value);

// The model parameters a run used, by name.
nlohmann::ordered_json ParametersJson(const ModelParameters& params);

} // namespace tamrisk
