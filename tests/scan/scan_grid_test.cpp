// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/ScanGrid.h"

#include "model/InputTable.h"
#include "output/NumberText.h"

#include <gtest/gtest.h>

#include <ostream>

#include <cmath>
#include <limits>
#include <vector>

namespace tamrisk {
namespace {

TEST(ReadScanGridTest, DialogDefaults)
{
    const ScanGrid grid = ReadScanGrid({});
    for (const ScanAxis& axis : {grid.extinction, grid.evalTime}) {
        EXPECT_EQ(axis.start, 1.0f);
        EXPECT_EQ(axis.end, 10000.0f);
        EXPECT_EQ(axis.steps, 20);
        EXPECT_TRUE(axis.logarithmic);
    }
}

TEST(ReadScanGridTest, EndBeyondSinglePrecisionIsRefused)
{
    ScanGridTexts texts;
    texts.extinctionEnd = "1e39";
    const std::optional<std::string> message = CheckScanGrid(ReadScanGrid(texts));
    ASSERT_TRUE(message);
    EXPECT_NE(message->find("endliche Zahlen"), std::string::npos) << *message;
}

TEST(ReadScanGridTest, TextsReadAsAtofAndAtoi)
{
    ScanGridTexts texts;
    texts.extinctionStart = "0,5";
    texts.extinctionEnd = "1e3";
    texts.extinctionSteps = "2.7";
    texts.extinctionLog = false;
    texts.evalTimeStart = "";
    texts.evalTimeEnd = " 2.5 s";
    texts.evalTimeSteps = "-3";
    const ScanGrid grid = ReadScanGrid(texts);
    EXPECT_EQ(grid.extinction.start, 0.0f);
    EXPECT_EQ(grid.extinction.end, 1000.0f);
    EXPECT_EQ(grid.extinction.steps, 2);
    EXPECT_FALSE(grid.extinction.logarithmic);
    EXPECT_EQ(grid.evalTime.start, 0.0f);
    EXPECT_EQ(grid.evalTime.end, 2.5f);
    EXPECT_EQ(grid.evalTime.steps, -3);
    EXPECT_TRUE(grid.evalTime.logarithmic);
}

std::vector<std::string> AxisCells(float start, float end, int steps, bool logarithmic)
{
    std::vector<std::string> cells;
    for (int k = 0; k <= steps; ++k)
        cells.push_back(FormatCell(float(AxisValue(start, end, steps, k, logarithmic))));
    return cells;
}

// Each field of the grid dialog is read as the input table says: the grid
// takes the value a record states for it, whole numbers for the step counts.
TEST(ReadScanGridTest, FieldsReadAsTheInputTableSays)
{
    const auto values = [](const ScanGrid& grid) {
        std::vector<double> v;
        for (const ScanAxis& axis : {grid.extinction, grid.evalTime})
            v.insert(v.end(), {double(axis.start), double(axis.end), double(axis.steps), double(axis.logarithmic)});
        return v;
    };
    const std::vector<double> start = values(ReadScanGrid({}));
    int fields = 0;
    for (const InputRow& row : InputTable()) {
        if (row.dialog != InputDialog::Grid)
            continue;
        ++fields;
        Inputs inputs;
        row.set(inputs, row.kind == InputKind::Text ? "7.9" : DefaultText(row) == "1" ? "0" : "1");
        const std::vector<double> read = values(ReadScanGrid(inputs.grid));
        int changed = 0;
        for (std::size_t i = 0; i < read.size(); ++i) {
            if (read[i] == start[i])
                continue;
            ++changed;
            EXPECT_EQ(read[i], *ValueUsed(row, inputs)) << row.name;
        }
        EXPECT_EQ(changed, 1) << row.name;
    }
    EXPECT_EQ(fields, 8);
}

TEST(AxisValueTest, DefaultAxisIsTenToTheKOverFive)
{
    const std::vector<std::string> cells = AxisCells(1.0f, 10000.0f, 20, true);
    ASSERT_EQ(cells.size(), 21u);
    const std::vector<std::string> first = {"1,0", "1,58489", "2,51189", "3,98107", "6,30957", "10,0"};
    EXPECT_EQ(std::vector<std::string>(cells.begin(), cells.begin() + 6), first);
    EXPECT_EQ(cells[10], "100,0");
    EXPECT_EQ(cells[20], "10000,0");
}

struct AxisCase {
    const char* name;
    float start;
    float end;
    int steps;
    bool logarithmic;
    std::vector<std::string> cells;
};

void PrintTo(const AxisCase& c, std::ostream* os) { *os << c.name; }

class AxisValueCases : public ::testing::TestWithParam<AxisCase> {};

TEST_P(AxisValueCases, Cells)
{
    const AxisCase& c = GetParam();
    EXPECT_EQ(AxisCells(c.start, c.end, c.steps, c.logarithmic), c.cells);
}

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, AxisValueCases,
    ::testing::Values(AxisCase{"OneLinearStep", 2.0f, 4.0f, 1, false, {"2,0", "4,0"}},
                      AxisCase{"Linear", 0.0f, 1.0f, 4, false, {"0,0", "0,25", "0,5", "0,75", "1,0"}},
                      AxisCase{"EqualEnds", 3.0f, 3.0f, 3, false, {"3,0", "3,0", "3,0", "3,0"}},
                      AxisCase{"EqualEndsLog", 3.0f, 3.0f, 2, true, {"3,0", "3,0", "3,0"}},
                      AxisCase{"Descending", 10.0f, 4.0f, 3, false, {"10,0", "8,0", "6,0", "4,0"}},
                      AxisCase{"DescendingLog", 1000.0f, 1.0f, 3, true, {"1000,0", "100,0", "10,0", "1,0"}},
                      AxisCase{"ZeroStepsLinear", 7.0f, 9.0f, 0, false, {"7,0"}},
                      AxisCase{"ZeroStepsLog", 5.0f, -1.0f, 0, true, {"5,0"}},
                      AxisCase{"NegativeSteps", 1.0f, 2.0f, -1, false, {}}),
    [](const auto& testCase) { return testCase.param.name; });

struct CheckCase {
    const char* name;
    ScanAxis extinction;
    ScanAxis evalTime;
    const char* refusedAxis; // nullptr: accepted
};

void PrintTo(const CheckCase& c, std::ostream* os) { *os << c.name; }

class CheckScanGridCases : public ::testing::TestWithParam<CheckCase> {};

TEST_P(CheckScanGridCases, Verdict)
{
    const CheckCase& c = GetParam();
    const std::optional<std::string> message = CheckScanGrid({c.extinction, c.evalTime});
    if (c.refusedAxis == nullptr) {
        EXPECT_FALSE(message) << *message;
    } else {
        ASSERT_TRUE(message);
        EXPECT_EQ(message->rfind(c.refusedAxis, 0), 0u) << *message;
    }
}

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();
const ScanAxis kDefault{};

INSTANTIATE_TEST_SUITE_P(
    Grids, CheckScanGridCases,
    ::testing::Values(CheckCase{"Defaults", kDefault, kDefault, nullptr},
                      CheckCase{"LinearFromZero", {0.0f, 5.0f, 5, false}, {-1.0f, 5.0f, 5, false}, nullptr},
                      CheckCase{"LogStartZero", {0.0f, 5.0f, 5, true}, kDefault, "Transparenz"},
                      CheckCase{"LogEndNegative", kDefault, {1.0f, -5.0f, 5, true}, "Auswertezeit"},
                      CheckCase{"LogStartNaN", kDefault, {kNaN, 5.0f, 5, true}, "Auswertezeit"},
                      CheckCase{"LogSingleValueIgnoresEnd", {2.0f, 0.0f, 0, true}, kDefault, nullptr},
                      CheckCase{"LogSingleValueZeroStart", {0.0f, 2.0f, 0, true}, kDefault, "Transparenz"},
                      CheckCase{"LogWithoutValues", {0.0f, 0.0f, -1, true}, kDefault, nullptr},
                      CheckCase{"InfiniteEnd", {1.0f, kInfinity, 20, false}, kDefault, "Transparenz"},
                      CheckCase{"NegativeInfiniteStartLog", kDefault, {-kInfinity, 5.0f, 5, true}, "Auswertezeit"},
                      CheckCase{"LinearNaNEnd", kDefault, {1.0f, kNaN, 5, false}, "Auswertezeit"},
                      CheckCase{"InfiniteEndOfSingleValue", kDefault, {1.0f, kInfinity, 0, false}, "Auswertezeit"}),
    [](const auto& testCase) { return testCase.param.name; });

} // namespace
} // namespace tamrisk
