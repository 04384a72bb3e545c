// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/ScanEstimate.h"

#include "ScanTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

namespace tamrisk {
namespace {

using testing::RunScan;
using testing::ScanFixture;

struct EstimateCase {
    const char* name;
    ScanGrid grid;
};

void PrintTo(const EstimateCase& c, std::ostream* os) { *os << c.name; }

class ScanEstimateCases : public ::testing::TestWithParam<EstimateCase> {};

// The estimate must be close enough to refuse only what does not fit.
TEST_P(ScanEstimateCases, PointsExactAndSizeWithinAFewPercent)
{
    const ScanGrid& grid = GetParam().grid;
    ScanFixture state;
    const ScanEstimate estimate = EstimateScan(grid, state.params, 2);
    const std::string file = RunScan(grid, 1).file;
    const auto rows = std::uint64_t(std::count(file.begin(), file.end(), '\n') - 1);
    EXPECT_EQ(estimate.points, rows);
    EXPECT_NEAR(estimate.bytes, double(file.size()), 0.05 * double(file.size()));
    EXPECT_GE(estimate.seconds, 0.0);
}

INSTANTIATE_TEST_SUITE_P(
    Grids, ScanEstimateCases,
    ::testing::Values(EstimateCase{"Default", ScanGrid{}},
                      EstimateCase{"LinearWide", {{0.5f, 300.0f, 150, false}, {10.0f, 1000.0f, 40, false}}},
                      EstimateCase{"OnePoint", {{3.0f, 3.0f, 0, false}, {5.0f, 5.0f, 0, false}}},
                      EstimateCase{"NoPoints", {{1.0f, 2.0f, 2147483647, false}, {1.0f, 2.0f, -1, false}}}),
    [](const auto& testCase) { return testCase.param.name; });

TEST(ScanEstimateTest, AbsurdGridIsCountedWithoutOverflow)
{
    ScanFixture state;
    const ScanGrid grid{{1.0f, 2.0f, 2000000000, false}, {1.0f, 2.0f, 2000000000, false}};
    const ScanEstimate estimate = EstimateScan(grid, state.params, 4);
    EXPECT_EQ(estimate.points, 4000000004000000001u);
    EXPECT_GT(estimate.bytes, 1e20);
    EXPECT_GT(estimate.seconds, 1e6);
}

} // namespace
} // namespace tamrisk
