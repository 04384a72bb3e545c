// SPDX-License-Identifier: GPL-3.0-or-later
// The clean tables carry the model's single-precision values exactly, and a
// parameter record reproduces its output.
#include "model/CurveTable.h"
#include "model/SampleGrid.h"
#include "plot/Recompute.h"
#include "scan/ScanGrid.h"
#include "scan/ScanPointModel.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace tamrisk {
namespace {

using testing::ReadFile;
using testing::SameBits;

std::string Quote(const std::string& arg) { return "'" + arg + "'"; }

int RunTool(const std::vector<std::string>& args)
{
    std::string command = Quote(TAMRISK_CLI_PATH);
    for (const std::string& arg : args)
        command += " " + Quote(arg);
    return std::system((command + " 2>/dev/null").c_str());
}

// A strict reader: every row has the header's number of cells, every cell is
// one whole number text (or NaN, Inf, -Inf).
std::vector<std::vector<float>> ReadTable(const std::string& text, char separator, std::vector<std::string>& header)
{
    std::vector<std::vector<float>> rows;
    std::istringstream lines(text);
    std::string line;
    bool first = true;
    while (std::getline(lines, line)) {
        std::vector<std::string> cells;
        std::string cell;
        std::istringstream in(line);
        while (std::getline(in, cell, separator))
            cells.push_back(cell);
        if (first) {
            header = cells;
            first = false;
            continue;
        }
        EXPECT_EQ(cells.size(), header.size()) << line;
        std::vector<float> values;
        for (const std::string& c : cells) {
            float v = 0.0f;
            if (c == "NaN" || c == "Inf" || c == "-Inf") {
                v = c == "NaN" ? std::nanf("") : (c == "Inf" ? INFINITY : -INFINITY);
            } else {
                const auto [end, error] = std::from_chars(c.data(), c.data() + c.size(), v);
                EXPECT_TRUE(error == std::errc() && end == c.data() + c.size()) << "cell '" << c << "'";
            }
            values.push_back(v);
        }
        rows.push_back(values);
    }
    return rows;
}

struct Case {
    const char* name;
    std::vector<std::string> args;
    ControlState controls;
};

std::vector<Case> Cases()
{
    ControlState unusual;
    unusual.transparencyCorrection = true;
    unusual.edits.rate1 = "0.37";
    unusual.sliders.extinction = 73;
    return {
        {"Defaults", {}, {}},
        {"CorrectedFastDecay", {"--transparency-correction", "--rate1", "0.37", "--extinction-pos", "73"}, unusual}};
}

class CleanTables : public ::testing::TestWithParam<Case> {
protected:
    testing::TempDir dir_;
};

TEST_P(CleanTables, ProfileAndCurvesHoldTheModelsFloats)
{
    ModelState state;
    ControlState controls = GetParam().controls;
    controls.flags = testing::CurvesOf(PlotKind::Signal);
    Recompute(controls, state);

    for (const char* format : {"csv", "tsv"}) {
        const char separator = std::string(format) == "csv" ? ',' : '\t';
        std::vector<std::string> args = {"export", "-o", dir_ / "p", "--format", format};
        args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());
        ASSERT_EQ(RunTool(args), 0);
        std::vector<std::string> header;
        const auto rows = ReadTable(ReadFile(dir_ / "p"), separator, header);
        ASSERT_EQ(rows.size(), 400u);
        ASSERT_EQ(header.size(), 15u);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            ASSERT_TRUE(SameBits(rows[i][0], GridPoint(int(i), DepthStep(state.params))));
            for (std::size_t k = 0; k < kProfileArrays.size(); ++k)
                ASSERT_TRUE(SameBits(rows[i][k + 1], (state.profile.*kProfileArrays[k].values)[i]))
                    << header[k + 1] << " row " << i;
        }

        args[0] = "curves";
        ASSERT_EQ(RunTool(args), 0);
        const auto curveRows = ReadTable(ReadFile(dir_ / "p"), separator, header);
        ASSERT_EQ(curveRows.size(), 450u);
        for (std::size_t k = 0; k < curveRows.size(); ++k)
            for (std::size_t c = 0; c < kSignalArrays.size(); ++c)
                ASSERT_TRUE(SameBits(curveRows[k][c + 1], (state.curves.*kSignalArrays[c].values)[k])) << header[c + 1];
    }
}

TEST_P(CleanTables, ScanRowsHoldTheTotalsOfEveryGridPoint)
{
    std::vector<std::string> args = {
        "scan", "-o",          dir_ / "s.csv", "--format",  "csv", "--ext-steps", "4", "--time-steps",
        "6",    "--ext-start", "0.5",          "--threads", "2"};
    args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());
    ASSERT_EQ(RunTool(args), 0);
    std::vector<std::string> header;
    const auto rows = ReadTable(ReadFile(dir_ / "s.csv"), ',', header);
    ASSERT_EQ(rows.size(), 35u); // 5 x 7

    ModelParameters params;
    DisplayFlags flags;
    ReadParameters(GetParam().controls, params, flags);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        ModelParameters point = params;
        point.extinction = float(AxisValue(0.5f, 10000, 4, int(r / 7), true));
        DeriveFromExtinction(point);
        point.evalTime = float(AxisValue(1, 10000, 6, int(r % 7), true));
        DepthProfile profile;
        ComputeDepthProfile(point, profile);
        EXPECT_TRUE(SameBits(rows[r][0], point.extinction));
        EXPECT_TRUE(SameBits(rows[r][3], point.evalTime));
        EXPECT_TRUE(SameBits(rows[r][4], profile.effLabTotal)) << "row " << r;
        EXPECT_TRUE(SameBits(rows[r][5], profile.effNatTotal)) << "row " << r;
    }
}

TEST_P(CleanTables, JsonOutputsParse)
{
    for (const char* command : {"readouts", "export", "scan", "curves"}) {
        std::vector<std::string> args = {command, "-o", dir_ / "out.json", "--format", "json", "--ext-steps", "2"};
        args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());
        ASSERT_EQ(RunTool(args), 0) << command;
        const auto json = nlohmann::ordered_json::parse(ReadFile(dir_ / "out.json"), nullptr, false);
        ASSERT_FALSE(json.is_discarded()) << command;
        EXPECT_TRUE(json.contains("inputs")) << command;
    }
}

TEST_P(CleanTables, ARecordReadBackGivesTheSameFiles)
{
    std::vector<std::string> inputs = GetParam().args;
    inputs.insert(inputs.end(), {"--ext-steps", "3", "--time-steps", "2", "--show", "showRatio"});
    std::vector<std::string> params = {"params", "-o", dir_ / "p.json"};
    params.insert(params.end(), inputs.begin(), inputs.end());
    ASSERT_EQ(RunTool(params), 0);
    for (const char* command : {"export", "scan", "readouts"}) {
        std::vector<std::string> direct = {command, "-o", dir_ / "direct"};
        direct.insert(direct.end(), inputs.begin(), inputs.end());
        ASSERT_EQ(RunTool(direct), 0);
        ASSERT_EQ(RunTool({command, "-o", dir_ / "replayed", "--params", dir_ / "p.json"}), 0);
        EXPECT_EQ(ReadFile(dir_ / "direct"), ReadFile(dir_ / "replayed")) << command;
    }
    // --record writes the same inputs as params, so it replays too.
    std::vector<std::string> recorded = {"export", "-o", dir_ / "e", "--record", dir_ / "r.json"};
    recorded.insert(recorded.end(), inputs.begin(), inputs.end());
    ASSERT_EQ(RunTool(recorded), 0);
    ASSERT_EQ(RunTool({"export", "-o", dir_ / "e2", "--params", dir_ / "r.json"}), 0);
    EXPECT_EQ(ReadFile(dir_ / "e"), ReadFile(dir_ / "e2"));
}

INSTANTIATE_TEST_SUITE_P(Inputs, CleanTables, ::testing::ValuesIn(Cases()),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

} // namespace
} // namespace tamrisk
