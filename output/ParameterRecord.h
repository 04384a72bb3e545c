#pragma once

#include "model/Inputs.h"

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
    std::vector<std::string> arguments;  // the command line after the program name
};

// Every input by name: {"text": as given, "value": as used, "unit": ...},
// the shown curves under "show". The texts alone reproduce the inputs.
nlohmann::ordered_json InputsJson(const Inputs& inputs);

// Sets the inputs from an "inputs" object of a record; a name that is not an
// input or a text of the wrong kind gives a message and changes nothing.
std::optional<std::string> ReadInputsJson(const nlohmann::ordered_json& json, Inputs& inputs);

// A record with the header and the inputs; callers add "grid", "output" and results.
nlohmann::ordered_json RecordJson(const RecordHeader& header, const Inputs& inputs);

// A value as text in a JSON document, for the read-outs and records: a double
// that is exactly a float is written as the float's shortest text.
nlohmann::ordered_json ReadoutNumber(double value);

} // namespace tamrisk
