// SPDX-License-Identifier: GPL-3.0-or-later
// plot scan and plot sweep through the built tool: the same figure from the
// numbers it computes as from the table scan or sweep wrote, records that
// draw it again, and the refusals.
#include "ToolRunner.h"
#include "support/TestSupport.h"

#include "cli/PlotData.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace tamrisk {
namespace {

using Args = std::vector<std::string>;

Args Joined(Args a, const Args& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct FromCase {
    const char* name;
    const char* kind;   // scan or sweep
    Args inputs;        // the grid or the varied inputs, as scan and sweep take them
    const char* table;  // the file the table is written to
    const char* figure; // the figure's file
    Args drawing;       // further options of plot
};

class FigureFromTable : public ::testing::TestWithParam<FromCase> {
protected:
    testing::TempDir dir_;
};

TEST_P(FigureFromTable, IsTheFigureOfTheComputedNumbers)
{
    const FromCase& c = GetParam();
    const std::string folder = dir_.path().string();
    const std::string kind = c.kind;
    const testing::ToolOutcome table = testing::RunTool(
        Joined({kind, "-o", c.table, "--format", std::string(c.table).ends_with(".tsv") ? "tsv" : "csv"}, c.inputs),
        folder);
    ASSERT_EQ(table.exitCode, 0) << table.err;
    const Args vary = kind == "sweep" ? c.inputs : Args{};
    const testing::ToolOutcome computed = testing::RunTool(
        Joined(Joined({"plot", kind, "-o", std::string("computed-") + c.figure}, c.inputs), c.drawing), folder);
    ASSERT_EQ(computed.exitCode, 0) << computed.err;
    const testing::ToolOutcome read = testing::RunTool(
        Joined({"plot", kind, "--from", c.table, "-o", std::string("read-") + c.figure}, c.drawing), folder);
    ASSERT_EQ(read.exitCode, 0) << read.err;
    const std::string bytes = testing::ReadFile(dir_ / (std::string("computed-") + c.figure));
    EXPECT_FALSE(bytes.empty());
    EXPECT_TRUE(bytes == testing::ReadFile(dir_ / (std::string("read-") + c.figure)));
}

INSTANTIATE_TEST_SUITE_P(
    Tables, FigureFromTable,
    ::testing::Values(
        FromCase{"LogScan", "scan", {"--ext-steps", "12", "--time-steps", "9"}, "scan.csv", "map.svg", {}},
        FromCase{"LinearScanTsv",
                 "scan",
                 {"--ext-start", "1", "--ext-end", "30", "--ext-steps", "10", "--ext-log", "0", "--time-start", "5",
                  "--time-end", "400", "--time-steps", "8", "--time-log", "0"},
                 "scan.tsv",
                 "map.pdf",
                 {"--language", "de", "--levels", "1.5,2"}},
        FromCase{"Family",
                 "sweep",
                 {"--vary", "eval-time=1:100000:30:log", "--vary", "extinction=1:1000:3:log"},
                 "sweep.csv",
                 "family.svg",
                 {"--width", "single"}},
        FromCase{"FamilyOfTotals",
                 "sweep",
                 {"--vary", "dose-rate=0:2:10", "--vary", "rate1=0.01:0.1:2"},
                 "sweep.csv",
                 "family.png",
                 {"--column", "eff_lab_total", "--dpi", "72"}}),
    [](const auto& param) { return std::string(param.param.name); });

// A record draws the same figure again, from the computation as from a table.
TEST(FigureRecords, DrawTheSameFigureAgain)
{
    testing::TempDir dir;
    const std::string folder = dir.path().string();
    const Args first[] = {
        {"plot", "scan", "-o", "m.svg", "--ext-steps", "6", "--time-steps", "5", "--record", "m.json"},
        {"plot", "sweep", "-o", "f.svg", "--vary", "eval-time=1:1000:8:log", "--vary", "transparency-correction=0,1",
         "--legend", "right", "--record", "f.json"},
    };
    for (const Args& args : first) {
        const testing::ToolOutcome made = testing::RunTool(args, folder);
        ASSERT_EQ(made.exitCode, 0) << made.err;
        const std::string figure = args[3], record = args.back();
        const std::string bytes = testing::ReadFile(dir / figure);
        std::filesystem::remove(dir / figure);
        const testing::ToolOutcome again = testing::RunTool({"plot", "--params", record}, folder);
        ASSERT_EQ(again.exitCode, 0) << again.err;
        EXPECT_TRUE(testing::ReadFile(dir / figure) == bytes) << figure;
    }
}

struct RefusalCase {
    const char* name;
    Args args;
    const char* message;
};

class PlotDataRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(PlotDataRefusal, SaysWhyAndWritesNothing)
{
    testing::TempDir dir;
    const testing::ToolOutcome outcome = testing::RunTool(Joined({"plot"}, GetParam().args), dir.path().string());
    EXPECT_EQ(outcome.exitCode, 2) << outcome.err;
    EXPECT_NE(outcome.err.find(GetParam().message), std::string::npos) << outcome.err;
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

INSTANTIATE_TEST_SUITE_P(
    Usage, PlotDataRefusal,
    ::testing::Values(
        RefusalCase{"SweepOfOneInput", {"sweep", "-o", "f.svg", "--vary", "dose-rate=0:1:3"}, "two --vary"},
        RefusalCase{"VaryOnAMap", {"scan", "-o", "m.svg", "--vary", "dose-rate=0:1:3"}, "--vary belongs"},
        RefusalCase{"FromOnAWindowPlot", {"depth", "-o", "d.svg", "--show", "showRatio", "--from", "x.csv"}, "--from"},
        RefusalCase{"MissingTable", {"scan", "-o", "m.svg", "--from", "missing.csv"}, "cannot read missing.csv"},
        RefusalCase{"UnknownColumn", {"scan", "-o", "m.svg", "--column", "depth_mm"}, "eff_ratio"},
        RefusalCase{"MapOfOneTime", {"scan", "-o", "m.svg", "--time-steps", "0"}, "two values on each axis"},
        RefusalCase{"WidthOfNoColumn", {"scan", "-o", "m.svg", "--width", "triple"}, "single or double"},
        RefusalCase{"LevelsOnAFamily",
                    {"sweep", "-o", "f.svg", "--vary", "dose-rate=0:1:3", "--vary", "rate1=0.1:1:2", "--levels", "1"},
                    "--levels belongs"}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(LogarithmicSpacing, IsToldFromLinear)
{
    EXPECT_TRUE(cli::LogarithmicallySpaced({1, 10, 100, 1000}));
    EXPECT_TRUE(cli::LogarithmicallySpaced({0.5, 1, 2, 4, 8}));
    EXPECT_FALSE(cli::LogarithmicallySpaced({1, 2, 3, 4}));
    EXPECT_FALSE(cli::LogarithmicallySpaced({0, 10, 20}));
    EXPECT_FALSE(cli::LogarithmicallySpaced({1, 2}));
}

} // namespace
} // namespace tamrisk
