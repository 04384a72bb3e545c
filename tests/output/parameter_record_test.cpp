// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/ParameterRecord.h"

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
