// The parameter record that the window and the tool write beside an output.
#include "model/InputTable.h"
#include "output/ParameterRecord.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tamrisk {
namespace {

using Json = nlohmann::ordered_json;

Inputs ChangedInputs()
{
    Inputs inputs;
    FindInput("top")->set(inputs, "0,5");
    FindInput("curve-step")->set(inputs, "12abc");
    FindInput("extinction-pos")->set(inputs, std::to_string(kSliderMax));
    FindInput("depth-pos")->set(inputs, std::to_string(kSliderMin));
    FindInput("auto-signal")->set(inputs, "0");
    FindInput("eval-time")->set(inputs, "2.5");
    FindInput("ext-log")->set(inputs, "0");
    FindInput("time-steps")->set(inputs, "3");
    inputs.controls.flags.showRatio = true;
    return inputs;
}

TEST(ParameterRecord, SectionsStandInTheirOrderWithTheOutputLast)
{
    const Json extra = {{"parameters", {{"a", 1}}}, {"grid", {{"b", 2}}}};
    const std::string text = ParameterRecordText({"tamrisk", "1.2.3", "scan", {"scan", "-o", "x.csv"}},
                                                 ChangedInputs(), extra, {TableFormat::Csv, "x.csv"});
    const Json record = Json::parse(text);
    std::vector<std::string> keys;
    for (const auto& [key, value] : record.items())
        keys.push_back(key);
    EXPECT_EQ(keys, (std::vector<std::string>{"program", "version", "command", "arguments", "inputs", "parameters",
                                              "grid", "output"}));
    EXPECT_EQ(record["arguments"], Json({"scan", "-o", "x.csv"}));
    EXPECT_TRUE(text.starts_with("{\n  \"program\": \"tamrisk\",\n  \"version\": \"1.2.3\",\n"));
    EXPECT_TRUE(text.ends_with("  \"output\": {\n    \"format\": \"csv\",\n    \"file\": \"x.csv\"\n  }\n}\n"));

    const std::string bare =
        ParameterRecordText({"tamrisk-cli", "1", "render", {}}, Inputs{}, Json::object(), {TableFormat::Native, ""});
    EXPECT_TRUE(bare.ends_with("  },\n  \"output\": {\n    \"format\": \"native\",\n    \"file\": \"\"\n  }\n}\n"));
}

// The record's texts alone give the inputs back.
TEST(ParameterRecord, InputsReadBackFromTheRecord)
{
    const Inputs inputs = ChangedInputs();
    const Json record = Json::parse(ParameterRecordText({"tamrisk", "1", "export", {}}, inputs,
                                                        {{"parameters", Json::object()}}, {TableFormat::Csv, "p.csv"}));
    Inputs read;
    ASSERT_EQ(ReadInputsJson(record["inputs"], read), std::nullopt);
    EXPECT_EQ(InputsJson(read), InputsJson(inputs));
    EXPECT_EQ(record["inputs"]["curve-step"]["value"], 12);
    EXPECT_EQ(record["inputs"]["extinction-pos"]["value"], 1000.0);
}

TEST(ParameterRecord, PositionsOutsideTheSliderAreRefused)
{
    const std::pair<std::string, bool> cases[] = {
        {std::to_string(kSliderMax), true},
        {std::to_string(kSliderMax + 1), false},
        {std::to_string(kSliderMin - 1), false},
        {"1e2", false},
    };
    for (const auto& [text, accepted] : cases) {
        Inputs inputs;
        const Json json = {{"eval-time-pos", {{"text", text}}}};
        const std::optional<std::string> problem = ReadInputsJson(json, inputs);
        EXPECT_EQ(!problem.has_value(), accepted) << text;
        EXPECT_EQ(inputs.controls.sliders.evalTime, accepted ? std::stoi(text) : SliderPositions{}.evalTime) << text;
    }
}

} // namespace
} // namespace tamrisk
