// SPDX-License-Identifier: GPL-3.0-or-later
// A --params record from any bytes: read within its limits, the types of what
// the tool takes from it checked, its inputs taken and its command line
// replayed. Never a crash and never an exception; a refused record always
// says why, and the inputs read are written back as a record that reads the
// same.
#include "cli/Command.h"
#include "cli/CliOptions.h"
#include "cli/ParamsDocument.h"
#include "output/ParameterRecord.h"

#include <CLI/CLI.hpp>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using namespace tamrisk;
using namespace tamrisk::cli;

// The options of the command whose records are replayed, made once.
const std::vector<OptionShape>& ExportOptions()
{
    static const std::vector<OptionShape> shapes = [] {
        CLI::App app;
        for (const std::unique_ptr<Command>& command : Commands())
            if (std::string(command->name()) == "export")
                command->AddOptions(app);
        return OptionShapes(app);
    }();
    return shapes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const ParamsDocument document = ParseParamsDocument(bytes, "'record.json'");
    if (document.exitCode != 0) {
        if (document.problem.empty())
            std::abort();
        return 0;
    }
    const nlohmann::ordered_json& json = document.json;
    const nlohmann::ordered_json& inputs = json.contains("inputs") ? json["inputs"] : json;
    Inputs read;
    if (!ReadInputsJson(inputs, read)) {
        const nlohmann::ordered_json written = InputsJson(read);
        Inputs again;
        if (ReadInputsJson(written, again) || InputsJson(again) != written)
            std::abort();
    }
    std::string problem;
    const std::optional<std::vector<std::string>> replay =
        ReplayedArguments(json, "export", {"--top", "1"}, ExportOptions(), &problem);
    if (replay && !problem.empty())
        std::abort();
    return 0;
}
