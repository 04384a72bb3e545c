// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/ArgumentRules.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <string>
#include <vector>

namespace tamrisk::cli {

// A parameter record read for --params: the document, or why it could not be had.
struct ParamsDocument {
    nlohmann::ordered_json json;
    std::string problem; // empty when read
    int exitCode = 0;    // 1: the file could not be read; 2: its content is refused
};

// Limits that keep a hostile record from exhausting the stack, the memory
// or the time: the members of a JSON object are kept in order and found by
// a search through them, so that their count weighs twice.
inline constexpr std::size_t kMaxRecordBytes = 16u << 20;
inline constexpr int kMaxRecordDepth = 64;
inline constexpr std::size_t kMaxRecordMembers = 10000;

// Reads the record at path ("-": standard input): a JSON object of at most
// kMaxRecordBytes, nested at most kMaxRecordDepth deep, whose objects have
// at most kMaxRecordMembers members together, and whose "command" is a
// text, "arguments" a list of texts and "inputs" an object where given.
ParamsDocument ReadParamsDocument(const std::string& path);
// The same for a record's bytes; `shown` names it in messages.
ParamsDocument ParseParamsDocument(const std::string& bytes, const std::string& shown);

// The command line that replays a record of `command`: the record's own
// arguments without its --params and --record, then `given`, whose options
// replace any the record gives again. `given` is in the parser's
// "--name value" form. Nothing when the record is not one of this command,
// or when its arguments do not parse: *problem then says why.
std::optional<std::vector<std::string>> ReplayedArguments(const nlohmann::ordered_json& record,
                                                          const std::string& command,
                                                          const std::vector<std::string>& given,
                                                          const std::vector<OptionShape>& options,
                                                          std::string* problem = nullptr);

} // namespace tamrisk::cli
