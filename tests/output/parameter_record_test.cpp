// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/ParameterRecord.h"
#include "model/InputTable.h"

#include <gtest/gtest.h>

namespace tamrisk {
namespace {

// The record's bytes, which scripts read: the extra sections in their order
// between the inputs and the output, two-space indented, a final line end.
TEST(ParameterRecord, ExtraSectionsStandBetweenTheInputsAndTheOutput)
{
    const nlohmann::ordered_json extra = {{"parameters", {{"a", 1}}}, {"grid", {{"b", 2}}}};
    const std::string text =
        ParameterRecordText({"tamrisk", "1.2.3", "scan", {"-o"}}, Inputs{}, extra, {TableFormat::Csv, "x.csv"});
    EXPECT_TRUE(text.starts_with("{\n  \"program\": \"tamrisk\",\n  \"version\": \"1.2.3\",\n  \"command\": \"scan\",\n"
                                 "  \"arguments\": [\n    \"-o\"\n  ],\n  \"inputs\": {\n"));
    EXPECT_TRUE(text.ends_with("  \"parameters\": {\n    \"a\": 1\n  },\n  \"grid\": {\n    \"b\": 2\n  },\n"
                               "  \"output\": {\n    \"format\": \"csv\",\n    \"file\": \"x.csv\"\n  }\n}\n"));
}

} // namespace
} // namespace tamrisk

namespace tamrisk {
namespace {

struct EditCase {
    const char* name;
    const char* input;
    nlohmann::ordered_json field; // {"text": ...} or {"value": ...} to put in
    const char* message;          // "" when the record must be read
};

class RecordEditTest : public ::testing::TestWithParam<EditCase> {};

// A record whose text and value of one input were edited apart is refused,
// naming the input and both fields; one edited consistently is read.
TEST_P(RecordEditTest, TextAndValueMustAgree)
{
    const EditCase& c = GetParam();
    Inputs written;
    FindInput("extinction")->set(written, "25");
    FindInput("top")->set(written, "0.5");
    FindInput("depth-pos")->set(written, "33");
    nlohmann::ordered_json json = InputsJson(written);
    for (const auto& [key, value] : c.field.items())
        json[c.input][key] = value;
    Inputs read;
    const std::optional<std::string> problem = ReadInputsJson(json, read);
    if (*c.message == '\0') {
        EXPECT_FALSE(problem) << *problem;
        return;
    }
    ASSERT_TRUE(problem) << c.name;
    EXPECT_NE(problem->find(c.message), std::string::npos) << *problem;
}

INSTANTIATE_TEST_SUITE_P(
    Records, RecordEditTest,
    ::testing::Values(EditCase{"Unchanged", "rate1", nlohmann::ordered_json::object(), ""},
                      EditCase{
                          "TextEdited", "extinction", {{"text", "30"}}, "\"extinction\": its \"text\" \"30\" gives 30"},
                      EditCase{"ValueEdited",
                               "rate1",
                               {{"value", 0.3}},
                               "\"rate1\": its \"text\" \"0.05\" gives 0.05 but its \"value\" is 0.3"},
                      EditCase{"BothEdited", "rate1", {{"text", "0.3"}, {"value", 0.3}}, ""},
                      EditCase{"FloatValueAsShortestText", "top", {{"value", 0.5}}, ""},
                      EditCase{"SliderValueEdited", "extinction-pos", {{"value", 7}}, "extinction-pos"},
                      EditCase{"DepthFollowsTheEdges", "top", {{"text", "0.6"}, {"value", 0.6}}, "depth-pos"},
                      EditCase{"SwitchEdited", "transparency-correction", {{"value", true}}, "transparency"},
                      EditCase{"ValueNotANumber", "rate1", {{"value", "0.05"}}, "rate1"},
                      EditCase{"TextNotAString", "rate1", {{"text", 0.05}}, "no acceptable"}),
    [](const auto& param) { return std::string(param.param.name); });

} // namespace
} // namespace tamrisk
