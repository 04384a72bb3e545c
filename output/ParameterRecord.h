// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Inputs.h"
#include "output/CleanTable.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <string>
#include <vector>

namespace tamrisk {

// Who made an output and how: the parts of a parameter record that are not inputs.
struct RecordHeader {
    std::string program;
    std::string version;
    std::string command;
    std::vector<std::string> arguments; // the command line after the program name
};

// Every input by name: {"text": as given, "value": as used, "unit": ...},
// the shown curves under "show". The texts alone reproduce the inputs.
nlohmann::ordered_json InputsJson(const Inputs& inputs);

// Sets the inputs from an "inputs" object of a record; a name that is not an
// input or a text of the wrong kind gives a message and changes nothing.
std::optional<std::string> ReadInputsJson(const nlohmann::ordered_json& json, Inputs& inputs);

// A record with the header and the inputs; documents add their results to it.
nlohmann::ordered_json RecordJson(const RecordHeader& header, const Inputs& inputs);

// The output a parameter record describes.
struct RecordOutput {
    TableFormat format;
    std::string file;
};

// The parameter record written beside an output, as its file holds it: the
// header, the inputs, the sections of `extra` in their order ("parameters",
// "grid", "sweep", ...), then "output"; indented by two, ending in a line end.
std::string ParameterRecordText(const RecordHeader& header, const Inputs& inputs, const nlohmann::ordered_json& extra,
                                const RecordOutput& output);

// A value as text in a JSON document, for the read-outs and records: a double
// that is exactly a float is written as the float's shortest text.
nlohmann::ordered_json ReadoutNumber(double value);

} // namespace tamrisk
