// SPDX-License-Identifier: GPL-3.0-or-later
// Sweeps: the scan's axis rules, one model run's values per row in row
// order, the scan's values on the scan's grid, and blocks that join.
#include "scan/ScanRun.h"
#include "scan/SweepRowMaker.h"
#include "scan/SweepRows.h"

#include "ScanTestSupport.h"
#include "model/ComputeModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <map>
#include <sstream>

namespace tamrisk {
namespace {

using testing::SameBits;

SweepPlan Plan(const std::vector<std::string>& vary, std::vector<std::string> readouts = {})
{
    SweepPlan plan;
    for (const std::string& text : vary) {
        SweepAxis axis;
        const std::optional<SweepAxisProblem> problem = ParseSweepAxis(text, axis);
        EXPECT_FALSE(problem) << text << ": " << problem->message;
        plan.axes.push_back(axis);
    }
    plan.readouts = std::move(readouts);
    EXPECT_FALSE(CheckSweep(plan));
    return plan;
}

std::string Rows(const SweepPlan& plan, const Inputs& base, int threads, RowRange range,
                 TableFormat format = TableFormat::Csv)
{
    StringSink sink;
    SweepHooks hooks;
    hooks.threads = threads;
    EXPECT_TRUE(WriteSweepRows(plan, base, format, range, sink, hooks));
    return sink.data();
}

std::vector<std::vector<std::string>> Cells(const std::string& csv)
{
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(csv);
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> cells;
        std::istringstream in(line);
        for (std::string cell; std::getline(in, cell, ',');)
            cells.push_back(cell);
        rows.push_back(cells);
    }
    return rows;
}

float Float(const std::string& text)
{
    if (text == "NaN")
        return std::nanf("");
    float value = 0.0f;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    EXPECT_TRUE(error == std::errc() && end == text.data() + text.size()) << text;
    return value;
}

struct RefusedCase {
    const char* name;
    const char* vary;
    const char* unknownName; // "" unless NAME is no input
};

void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.name; }

class RefusedAxis : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedAxis, Refused)
{
    SweepAxis axis;
    const std::optional<SweepAxisProblem> problem = ParseSweepAxis(GetParam().vary, axis);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->unknownName, GetParam().unknownName);
}

INSTANTIATE_TEST_SUITE_P(
    Axes, RefusedAxis,
    ::testing::Values(RefusedCase{"LogThroughZero", "rate1=0:1:10:log", ""},
                      RefusedCase{"InfiniteEnd", "top=0:inf:3", ""}, RefusedCase{"EndBeyondFloat", "top=0:1e39:3", ""},
                      RefusedCase{"NaNStart", "dose-rate=nan:1:3", ""}, RefusedCase{"StepsNotWhole", "top=0:1:2.5", ""},
                      RefusedCase{"UnknownScale", "top=0:1:2:ln", ""}, RefusedCase{"NoValues", "top", ""},
                      RefusedCase{"SwitchState", "transparency-correction=0,2", ""},
                      RefusedCase{"SliderPosition", "extinction-pos=0:200:10", ""},
                      RefusedCase{"IntegerText", "curve-step=1:10:9", ""},
                      RefusedCase{"UnknownName", "dose_rate=0:1:2", "dose_rate"}),
    [](const auto& c) { return c.param.name; });

// As a scan axis with a negative step count, such an axis has no values, and the sweep no rows.
TEST(SweepAxisTest, NegativeStepsGiveNoRows)
{
    const SweepPlan plan = Plan({"rate1=0.1:1:3", "top=0:1:-1"});
    EXPECT_EQ(plan.axes.back().Count(), 0);
    EXPECT_FALSE(CheckSweep(plan).has_value());
    EXPECT_EQ(SweepPointCount(plan), 0);
    StringSink sink;
    EXPECT_TRUE(WriteSweepRows(plan, Inputs{}, TableFormat::Csv, {0, 0}, sink));
    EXPECT_EQ(sink.data(), "");
}

TEST(SweepAxisTest, ValuesAndNamesFollowTheScanAxes)
{
    // A single-value log axis ignores its end, as the scan's does.
    const SweepPlan plan =
        Plan({"extinction=1:10000:20:log", "rate1=0.01:1:7", "depth=0.5:0:0:log", "transparency-correction=1,0"});
    const std::vector<std::string> names = SweepColumnNames(plan);
    EXPECT_EQ(names, (std::vector<std::string>{"extinction_per_mm", "half_value_depth_mm", "transmission",
                                               "rate1_per_s", "depth_mm", "transparency_correction", "eff_lab_total",
                                               "eff_nat_total", "eff_ratio"}));
    for (int k = 0; k <= 20; ++k)
        EXPECT_TRUE(SameBits(float(plan.axes[0].Value(k)), float(AxisValue(1.0f, 10000.0f, 20, k, true))));
    for (int k = 0; k <= 7; ++k)
        EXPECT_TRUE(SameBits(float(plan.axes[1].Value(k)), float(AxisValue(0.01f, 1.0f, 7, k, false))));
    EXPECT_EQ(SweepPointCount(plan), 21 * 8 * 1 * 2);
    EXPECT_EQ(plan.axes[3].Value(0), 1.0);
}

TEST(SweepPlanTest, RefusesRepeatedInputsAndUnknownReadouts)
{
    SweepPlan plan = Plan({"top=0:1:2"});
    plan.axes.push_back(plan.axes[0]);
    EXPECT_TRUE(CheckSweep(plan));
    plan.axes.pop_back();
    plan.readouts = {"eff_lab_totl"};
    const std::optional<SweepAxisProblem> problem = CheckSweep(plan);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->unknownName, "eff_lab_totl");
}

// Every row holds its point's values: the axes in row order, the first
// slowest, and the totals of the model run with the inputs set as options
// set them, on every path and any number of threads.
TEST(SweepRowsTest, EveryRowIsItsModelRun)
{
    Inputs base;
    base.controls.edits.rate1 = "0.2";
    const std::vector<std::vector<std::string>> plans = {
        {"dose-rate=0:2:3", "top=0:0.5:2", "transparency-correction=0,1"},      // point by point
        {"bottom=1:3:2", "extinction=0.1:100:3:log", "eval-time=1:1000:4:log"}, // the point model
        {"extinction=1:10:2", "dose-rate=0.5:1:1", "eval-time=10:100:2"},       // the point model's extinction steps
    };
    for (const std::vector<std::string>& vary : plans) {
        const SweepPlan plan = Plan(vary);
        const std::vector<std::string> names = SweepColumnNames(plan);
        const std::int64_t points = SweepPointCount(plan);
        const std::string one = Rows(plan, base, 1, {0, points});
        EXPECT_EQ(Rows(plan, base, 3, {0, points}), one);
        const std::vector<std::vector<std::string>> rows = Cells(one);
        ASSERT_EQ(std::int64_t(rows.size()), points);
        for (std::int64_t r = 0; r < points; ++r) {
            Inputs inputs = base;
            std::int64_t rest = r;
            std::vector<std::int64_t> index(plan.axes.size());
            for (std::size_t a = plan.axes.size(); a-- > 0;) {
                index[a] = rest % plan.axes[a].Count();
                rest /= plan.axes[a].Count();
                const InputRow& row = *plan.axes[a].input;
                std::ostringstream text;
                text.precision(17);
                text << plan.axes[a].Value(index[a]);
                row.set(inputs,
                        row.kind == InputKind::Switch ? (plan.axes[a].Value(index[a]) != 0 ? "1" : "0") : text.str());
            }
            ModelParameters params;
            DisplayFlags flags;
            DepthProfile profile;
            ReadParameters(inputs.controls, params, flags);
            ApplyOverrides(inputs.overrides, params);
            ComputeDepthProfile(params, profile);
            const std::vector<std::string>& cells = rows[std::size_t(r)];
            const auto cell = [&](const std::string& name) {
                return Float(cells[std::size_t(std::find(names.begin(), names.end(), name) - names.begin())]);
            };
            for (std::size_t a = 0; a < plan.axes.size(); ++a)
                EXPECT_TRUE(SameBits(cell(plan.axes[a].ColumnName()), float(plan.axes[a].Value(index[a])))) << r;
            EXPECT_TRUE(SameBits(cell("eff_lab_total"), profile.effLabTotal)) << vary[0] << " row " << r;
            EXPECT_TRUE(SameBits(cell("eff_nat_total"), profile.effNatTotal)) << vary[0] << " row " << r;
            if (VariesExtinction(plan)) {
                EXPECT_TRUE(SameBits(cell("half_value_depth_mm"), params.halfValueDepth));
                EXPECT_TRUE(SameBits(cell("transmission"), params.transmission));
            }
        }
    }
}

// A sweep of the scan's two axes, the evaluation time innermost, is the
// scan's table byte for byte: the same columns in the same order, the same
// values from the same lanes.
TEST(SweepRowsTest, SweepOfTheScansAxesIsTheScansTable)
{
    struct GridCase {
        ScanGrid grid;
        std::vector<std::string> vary;
    };
    const GridCase cases[] = {
        {ScanGrid{}, {"extinction=1:10000:20:log", "eval-time=1:10000:20:log"}},
        {{{0.5f, 300.0f, 9, true}, {2.0f, 900.0f, 6, false}}, {"extinction=0.5:300:9:log", "eval-time=2:900:6"}},
        {{{7.0f, 0.25f, 3, false}, {0.5f, 1e5f, 1500, true}}, {"extinction=7:0.25:3", "eval-time=0.5:1e5:1500:log"}},
    };
    for (const GridCase& c : cases) {
        const SweepPlan plan = Plan(c.vary);
        for (TableFormat format : {TableFormat::Csv, TableFormat::Tsv}) {
            for (int threads : {1, 2}) {
                testing::ScanFixture state;
                StringSink scan;
                ScanLayout layout;
                layout.format = format;
                ScanToFile(c.grid, state.params, state.flags, state.profile, state.curves, scan, {}, threads, {},
                           layout);
                const std::string sweep =
                    SweepHeader(plan, format) + Rows(plan, Inputs{}, threads, {0, SweepPointCount(plan)}, format);
                EXPECT_EQ(sweep, scan.data()) << c.vary[0] << " " << TableFormatName(format) << " " << threads;
            }
        }
    }
}

TEST(SweepRowsTest, RowsOfAnOuterPointShareTheLanesWhereTheEvaluationTimeIsInnermost)
{
    EXPECT_EQ(SweepRunLength(Plan({"dose-rate=0:1:4", "eval-time=1:100:30"})), 31);
    EXPECT_EQ(SweepRunLength(Plan({"eval-time=1:100:30"})), 31);
    EXPECT_EQ(SweepRunLength(Plan({"eval-time=1:100:30", "dose-rate=0:1:4"})), 1);
    // The read-outs need the whole window at every point.
    EXPECT_EQ(SweepRunLength(Plan({"dose-rate=0:1:4", "eval-time=1:100:30"}, {"eff_ratio"})), 1);
}

// A cell holds a value exactly: as its double's text or as its float's.
bool Holds(const std::string& cell, double value)
{
    double d = 0.0;
    std::from_chars(cell.data(), cell.data() + cell.size(), d);
    return d == value || double(Float(cell)) == value;
}

TEST(SweepRowsTest, ReadoutColumnsAreTheWindowsReadouts)
{
    const std::vector<std::string> names = {"eff_ratio", "signal_axis_max", "eval_time_s"};
    const SweepPlan plan = Plan({"dose-rate=0:1:1"}, names);
    const std::vector<std::vector<std::string>> rows = Cells(Rows(plan, Inputs{}, 1, {0, 2}));
    ASSERT_EQ(rows.size(), 2u);
    for (std::size_t r = 0; r < 2; ++r) {
        Inputs inputs;
        plan.axes[0].Set(inputs, std::int64_t(r));
        ModelState state;
        const std::vector<Readout> readouts = ComputeReadouts(inputs, state);
        for (std::size_t c = 0; c < names.size(); ++c) {
            const auto readout =
                std::find_if(readouts.begin(), readouts.end(), [&](const Readout& x) { return x.name == names[c]; });
            EXPECT_TRUE(Holds(rows[r][4 + c], readout->value)) << names[c] << " " << rows[r][4 + c];
        }
    }
}

TEST(SweepRowsTest, BlocksJoinToTheWholeTable)
{
    // 10 points; and 2 x 1500, whose outer points' rows the lanes take in parts.
    for (const SweepPlan& plan : {Plan({"dose-rate=0:1:4", "eval-time=1:100:1"}),
                                  Plan({"extinction=3:30:1:log", "eval-time=1:1e4:1499:log"})}) {
        const std::int64_t points = SweepPointCount(plan);
        for (TableFormat format : {TableFormat::Csv, TableFormat::Json}) {
            const std::string whole = Rows(plan, Inputs{}, 2, {0, points}, format);
            EXPECT_EQ(Rows(plan, Inputs{}, 1, {0, points}, format), whole);
            for (std::int64_t n : {1, 2, 3, 7, 10, 13}) {
                std::string joined;
                std::int64_t smallest = points, largest = 0, next = 0;
                for (std::int64_t k = 1; k <= n; ++k) {
                    const RowRange range = ShardRows(points, k, n);
                    EXPECT_EQ(range.first, next);
                    next = range.last;
                    smallest = std::min(smallest, range.last - range.first);
                    largest = std::max(largest, range.last - range.first);
                    joined += Rows(plan, Inputs{}, 1, range, format);
                }
                EXPECT_EQ(next, points);
                EXPECT_LE(largest - smallest, 1);
                EXPECT_EQ(joined, whole) << n;
            }
        }
    }
}

TEST(SweepRowsTest, CancelStopsAfterWholeBlocks)
{
    const SweepPlan plan = Plan({"dose-rate=0:1:99", "eval-time=1:100:999"});
    StringSink sink;
    SweepHooks hooks;
    int polls = 0;
    std::int64_t reported = 0;
    hooks.cancelled = [&] { return ++polls > 1; };
    hooks.progress = [&](std::int64_t done, std::int64_t total) {
        reported = done;
        EXPECT_EQ(total, 100000);
    };
    EXPECT_FALSE(WriteSweepRows(plan, Inputs{}, TableFormat::Csv, {0, 100000}, sink, hooks));
    EXPECT_GT(reported, 0);
    EXPECT_LT(reported, 100000);
    EXPECT_EQ(std::count(sink.data().begin(), sink.data().end(), '\n'), reported);
}

} // namespace
} // namespace tamrisk
