// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/ParameterRecord.h"

#include "model/CurveTable.h"
#include "model/InputTable.h"
#include "model/ParseText.h"
#include "output/CleanTable.h"

#include <cmath>

namespace tamrisk {

namespace {

// Whether a text can stand for the input, as the command line checks it.
bool Acceptable(const InputRow& row, const std::string& text)
{
    switch (row.kind) {
    case InputKind::Text:
        return true;
    case InputKind::Position:
        return IsPositionText(row, text);
    case InputKind::Switch:
        return text == "0" || text == "1";
    case InputKind::Value:
        return text.empty() || ParseStrictNumber(text).has_value();
    }
    return false;
}

} // namespace

nlohmann::ordered_json ReadoutNumber(double value)
{
    const float single = float(value);
    if (std::isfinite(value) && double(single) == value)
        return JsonNumber(single);
    return JsonNumber(value);
}

nlohmann::ordered_json InputsJson(const Inputs& inputs)
{
    nlohmann::ordered_json json = nlohmann::ordered_json::object();
    for (const InputRow& row : InputTable()) {
        nlohmann::ordered_json entry = {{"text", row.get(inputs)}};
        const std::optional<double> value = ValueUsed(row, inputs);
        if (row.kind == InputKind::Switch)
            entry["value"] = value && *value != 0.0;
        else
            entry["value"] = value ? ReadoutNumber(*value) : nlohmann::ordered_json(nullptr);
        entry["unit"] = row.unit;
        json[row.name] = std::move(entry);
    }
    nlohmann::ordered_json shown = nlohmann::ordered_json::array();
    for (const CurveRow& curve : kCurves)
        if (inputs.controls.flags.*curve.flag)
            shown.push_back(curve.name);
    json["show"] = std::move(shown);
    return json;
}

std::optional<std::string> ReadInputsJson(const nlohmann::ordered_json& json, Inputs& inputs)
{
    if (!json.is_object())
        return std::string("\"inputs\" is not an object");
    Inputs read = inputs;
    for (const auto& [name, entry] : json.items()) {
        if (name == "show") {
            if (!entry.is_array())
                return std::string("\"show\" is not a list of curve names");
            for (const CurveRow& curve : kCurves)
                read.controls.flags.*curve.flag = false;
            for (const nlohmann::ordered_json& shown : entry) {
                const CurveRow* curve = shown.is_string() ? FindCurve(shown.get<std::string>()) : nullptr;
                if (curve == nullptr)
                    return "\"show\" names no curve " + shown.dump();
                read.controls.flags.*curve->flag = true;
            }
            continue;
        }
        const InputRow* row = FindInput(name);
        if (row == nullptr)
            return "unknown input \"" + name + "\"";
        const nlohmann::ordered_json* text = entry.is_object() && entry.contains("text") ? &entry["text"] : nullptr;
        if (text == nullptr || !text->is_string() || !Acceptable(*row, text->get<std::string>()))
            return "input \"" + name + "\" has no acceptable \"text\"";
        row->set(read, text->get<std::string>());
    }
    inputs = read;
    return std::nullopt;
}

nlohmann::ordered_json RecordJson(const RecordHeader& header, const Inputs& inputs)
{
    return {
        {"program", header.program},     {"version", header.version},    {"command", header.command},
        {"arguments", header.arguments}, {"inputs", InputsJson(inputs)},
    };
}

std::string ParameterRecordText(const RecordHeader& header, const Inputs& inputs, const nlohmann::ordered_json& extra,
                                const RecordOutput& output)
{
    nlohmann::ordered_json record = RecordJson(header, inputs);
    for (const auto& [key, value] : extra.items())
        record[key] = value;
    record["output"] = {{"format", TableFormatName(output.format)}, {"file", output.file}};
    return record.dump(2) + "\n";
}

} // namespace tamrisk
