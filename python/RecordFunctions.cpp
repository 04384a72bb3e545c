// SPDX-License-Identifier: GPL-3.0-or-later
#include "RecordFunctions.h"

#include "FunctionDocs.h"
#include "InputArguments.h"

#include "output/ParameterRecord.h"

#include "TamriskVersion.h"

#include <nlohmann/json.hpp>

namespace tamrisk::python {

namespace {

// Records nested deeper than this are refused, as the tool refuses them.
constexpr int kMaxRecordDepth = 64;

py::object FilePath(py::handle path) { return py::module_::import("pathlib").attr("Path")(path); }

py::dict LoadRecord(py::handle path)
{
    const py::object file = FilePath(path);
    const std::string text = py::str(file.attr("read_text")(py::arg("encoding") = "utf-8"));
    const std::string shown = py::str(file);

    bool tooDeep = false;
    const nlohmann::ordered_json::parser_callback_t depthLimit = [&](int depth, nlohmann::ordered_json::parse_event_t,
                                                                     nlohmann::ordered_json&) {
        tooDeep = tooDeep || depth > kMaxRecordDepth;
        return !tooDeep;
    };
    const nlohmann::ordered_json json = nlohmann::ordered_json::parse(text, depthLimit, false);
    if (tooDeep)
        throw py::value_error(shown + " is nested more than " + std::to_string(kMaxRecordDepth) + " levels deep");
    if (json.is_discarded() || !json.is_object())
        throw py::value_error(shown + " is not a JSON object");
    // A record of the tool holds the inputs under "inputs"; a bare inputs object is taken too.
    const nlohmann::ordered_json& inputsJson = json.contains("inputs") ? json["inputs"] : json;
    Inputs inputs;
    if (const std::optional<std::string> problem = ReadInputsJson(inputsJson, inputs))
        throw py::value_error(shown + ": " + *problem);

    py::dict kwargs;
    for (const InputRow& row : InputTable())
        kwargs[PythonName(row.name).c_str()] = InputValue(row, inputs);
    kwargs[kShowName] = ShownCurves(inputs);
    return kwargs;
}

void SaveRecord(py::handle path, const py::kwargs& kwargs)
{
    const Inputs inputs = ReadInputs("save_record", kwargs);
    // A record of the params command: the tool's --params takes its inputs and no command line.
    const RecordHeader header{"tamrisk-python", TAMRISK_VERSION, "params", {}};
    const std::string text = RecordJson(header, inputs).dump(2) + "\n";
    FilePath(path).attr("write_text")(text, py::arg("encoding") = "utf-8");
}

} // namespace

void AddRecordFunctions(py::module_& module)
{
    module.def("load_record", &LoadRecord, py::arg("path"), Doc("load_record").c_str());
    module.def("save_record", &SaveRecord, py::arg("path"), Doc("save_record").c_str());
}

} // namespace tamrisk::python
