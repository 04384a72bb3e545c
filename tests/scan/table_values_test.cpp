// SPDX-License-Identifier: GPL-3.0-or-later
// The scan's and the sweep's tables as numbers: each value is the one the
// clean table writes, on every path of the lanes and any number of threads.
#include "scan/ScanRun.h"
#include "scan/ScanValues.h"
#include "scan/SweepRows.h"
#include "scan/SweepValues.h"

#include "ScanTestSupport.h"
#include "output/CleanText.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tamrisk {
namespace {

// The cells of a CSV table after its header, row by row.
std::vector<std::vector<std::string>> Cells(const std::string& csv)
{
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(csv);
    std::string line;
    std::getline(lines, line);
    while (std::getline(lines, line)) {
        std::vector<std::string> cells;
        std::istringstream in(line);
        for (std::string cell; std::getline(in, cell, ',');)
            cells.push_back(cell);
        rows.push_back(cells);
    }
    return rows;
}

struct ScanCase {
    const char* name;
    ScanGrid grid;
    const char* rate1;
    bool transparencyCorrection;
};

void PrintTo(const ScanCase& c, std::ostream* os) { *os << c.name; }

class ScanValuesCases : public ::testing::TestWithParam<ScanCase> {};

TEST_P(ScanValuesCases, EveryValueIsTheTables)
{
    const ScanCase& c = GetParam();
    ControlState controls;
    controls.edits.rate1 = c.rate1;
    controls.transparencyCorrection = c.transparencyCorrection;
    testing::ScanFixture state(controls);
    const ModelParameters params = state.params;
    StringSink sink;
    ScanLayout layout;
    layout.format = TableFormat::Csv;
    ScanToFile(c.grid, state.params, state.flags, state.profile, state.curves, sink, {}, 1, {}, layout);
    const std::vector<std::vector<std::string>> rows = Cells(sink.data());

    const std::size_t passes = std::size_t(ScanAxisCount(c.grid.extinction));
    const std::size_t times = std::size_t(ScanAxisCount(c.grid.evalTime));
    ASSERT_EQ(rows.size(), passes * times);
    for (const int threads : {1, 3}) {
        std::vector<float> extinction(passes), halfValueDepth(passes), transmission(passes), evalTime(times);
        std::vector<float> lab(passes * times), nat(passes * times);
        std::vector<double> ratio(passes * times);
        const ScanValueArrays out{
            extinction.data(), halfValueDepth.data(), transmission.data(), evalTime.data(), lab.data(),
            nat.data(),        ratio.data()};
        ASSERT_TRUE(ComputeScanValues(c.grid, params, threads, out));
        for (std::size_t r = 0; r < rows.size(); ++r) {
            const std::size_t i = r / times;
            const std::size_t j = r % times;
            const std::vector<std::string> expected = {CleanText(extinction[i]),   CleanText(halfValueDepth[i]),
                                                       CleanText(transmission[i]), CleanText(evalTime[j]),
                                                       CleanText(lab[r]),          CleanText(nat[r]),
                                                       CleanText(ratio[r])};
            ASSERT_EQ(expected, rows[r]) << "row " << r << ", " << threads << " threads";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Grids, ScanValuesCases,
    ::testing::Values(ScanCase{"DefaultGrid", ScanGrid{}, "0.05", false},
                      ScanCase{
                          "LinearTimesCorrected", {{0.5f, 300.0f, 9, true}, {0.0f, 900.0f, 6, false}}, "0.2", true},
                      ScanCase{"OneValueEach", {{3.0f, 0.0f, 0, true}, {5.0f, -1.0f, 0, true}}, "0.05", false},
                      ScanCase{"LongPassesInParts", {{7.0f, 0.25f, 1, false}, {0.5f, 1e5f, 2100, true}}, "0.05", true},
                      ScanCase{"RateZeroGivesNaN", {{0.1f, 1e4f, 4, true}, {1.0f, 1e4f, 5, true}}, "0", false},
                      ScanCase{"NoTimes", {{1.0f, 10.0f, 3, false}, {1.0f, 10.0f, -1, false}}, "0.05", false}),
    [](const auto& param) { return std::string(param.param.name); });

SweepPlan Plan(const std::vector<std::string>& vary, std::vector<std::string> readouts = {})
{
    SweepPlan plan;
    for (const std::string& text : vary) {
        SweepAxis axis;
        EXPECT_FALSE(ParseSweepAxis(text, axis)) << text;
        plan.axes.push_back(axis);
    }
    plan.readouts = std::move(readouts);
    EXPECT_FALSE(CheckSweep(plan));
    return plan;
}

struct SweepCase {
    const char* name;
    std::vector<std::string> vary;
    std::vector<std::string> readouts;
    RowRange range; // {0, 0}: every row
};

void PrintTo(const SweepCase& c, std::ostream* os) { *os << c.name; }

class SweepValuesCases : public ::testing::TestWithParam<SweepCase> {};

TEST_P(SweepValuesCases, EveryValueIsTheTables)
{
    const SweepCase& c = GetParam();
    const SweepPlan plan = Plan(c.vary, c.readouts);
    Inputs base;
    base.controls.edits.rate1 = "0.15";
    const RowRange range = c.range.last > 0 ? c.range : RowRange{0, SweepPointCount(plan)};
    StringSink sink;
    sink.Write(SweepHeader(plan, TableFormat::Csv));
    ASSERT_TRUE(WriteSweepRows(plan, base, TableFormat::Csv, range, sink));
    const std::vector<std::vector<std::string>> rows = Cells(sink.data());
    ASSERT_EQ(std::int64_t(rows.size()), range.last - range.first);

    const std::vector<bool> inDouble = SweepColumnsInDouble(plan);
    ASSERT_EQ(inDouble.size(), SweepColumnNames(plan).size());
    for (const int threads : {1, 4}) {
        std::vector<std::vector<float>> floats(inDouble.size(), std::vector<float>(rows.size()));
        std::vector<std::vector<double>> doubles(inDouble.size(), std::vector<double>(rows.size()));
        std::vector<SweepValueColumn> columns;
        for (std::size_t k = 0; k < inDouble.size(); ++k)
            columns.push_back(inDouble[k] ? SweepValueColumn(doubles[k].data()) : SweepValueColumn(floats[k].data()));
        ASSERT_TRUE(ComputeSweepValues(plan, base, range, threads, columns));
        for (std::size_t r = 0; r < rows.size(); ++r) {
            std::vector<std::string> expected;
            for (std::size_t k = 0; k < inDouble.size(); ++k)
                expected.push_back(inDouble[k] ? CleanText(doubles[k][r]) : CleanText(floats[k][r]));
            ASSERT_EQ(expected, rows[r]) << "row " << range.first + std::int64_t(r) << ", " << threads << " threads";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Plans, SweepValuesCases,
    ::testing::Values(SweepCase{"LanesThreeAxes",
                                {"extinction=0.5:50:6:log", "transparency-correction=0,1", "eval-time=1:1e4:30:log"},
                                {},
                                {}},
                      SweepCase{"PointByPointWithReadouts",
                                {"eval-time=10:1000:3:log", "dose-rate=0:2:3"},
                                {"signal_axis_max", "eff_ratio", "half_value_depth_mm"},
                                {}},
                      SweepCase{"LongRunsInParts", {"extinction=3:30:1:log", "eval-time=1:1e4:2999:log"}, {}, {}},
                      SweepCase{"RangeStartingMidRun", {"dose-rate=0:1:4", "eval-time=1:100:9"}, {}, {7, 41}},
                      SweepCase{"RateZeroGivesNaN", {"rate1=0:0.5:2", "top=0:1:2"}, {}, {}}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(TableValuesTest, AStopRequestEndsTheTable)
{
    const SweepPlan plan = Plan({"dose-rate=0:1:99", "eval-time=1:100:99"});
    std::vector<std::vector<float>> floats(5, std::vector<float>(10000));
    std::vector<double> ratio(10000);
    const std::vector<SweepValueColumn> columns = {floats[0].data(), floats[1].data(), floats[2].data(),
                                                   floats[3].data(), ratio.data()};
    int asked = 0;
    EXPECT_FALSE(ComputeSweepValues(plan, Inputs{}, {0, 10000}, 2, columns, [&] { return ++asked > 3; }));
    EXPECT_EQ(asked, 4);

    const ScanGrid grid{{1.0f, 100.0f, 99, true}, {1.0f, 100.0f, 99, true}};
    std::vector<float> axis(100), values(10000);
    const ScanValueArrays out{axis.data(),   axis.data(),   axis.data(), axis.data(),
                              values.data(), values.data(), ratio.data()};
    EXPECT_FALSE(ComputeScanValues(grid, ModelParameters{}, 2, out, [] { return true; }));
}

} // namespace
} // namespace tamrisk
