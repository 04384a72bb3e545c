// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/ScanEstimate.h"

#include "scan/ScanRowMaker.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

namespace tamrisk {

namespace {

constexpr std::uint64_t kHeaderBytes = 81; // the title line with its seven NULs
constexpr std::int64_t kSamplesPerAxis = 8;

// Indices spread evenly over 0 .. steps, both ends included.
std::vector<std::int64_t> SampleIndices(int steps)
{
    std::vector<std::int64_t> indices;
    const std::int64_t count = std::min<std::int64_t>(std::int64_t(steps) + 1, kSamplesPerAxis);
    for (std::int64_t k = 0; k < count; ++k)
        indices.push_back(count == 1 ? 0 : k * std::int64_t(steps) / (count - 1));
    return indices;
}

} // namespace

ScanEstimate EstimateScan(const ScanGrid& grid, const ModelParameters& params, int threads, TableFormat format)
{
    ScanEstimate estimate;
    estimate.bytes = double(kHeaderBytes);
    if (grid.extinction.steps < 0 || grid.evalTime.steps < 0)
        return estimate;
    const std::uint64_t passes = std::uint64_t(grid.extinction.steps) + 1;
    const std::uint64_t perPass = std::uint64_t(grid.evalTime.steps) + 1;
    estimate.points = passes * perPass;

    // Rows differ in length by their number texts; a pass starts with the
    // extinction's tables, which cost more than a row.
    using Clock = std::chrono::steady_clock;
    ScanRowMaker rows(grid, params, format);
    std::string row;
    std::uint64_t rowBytes = 0;
    std::uint64_t rowCount = 0;
    double firstRowSeconds = 0.0;
    double otherRowSeconds = 0.0;
    std::uint64_t otherRows = 0;
    for (const std::int64_t i : SampleIndices(grid.extinction.steps)) {
        bool first = true;
        for (const std::int64_t j : SampleIndices(grid.evalTime.steps)) {
            row.clear();
            const Clock::time_point begin = Clock::now();
            rows.AppendRow(i, j, row);
            const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
            (first ? firstRowSeconds : otherRowSeconds) += seconds;
            otherRows += first ? 0 : 1;
            first = false;
            rowBytes += row.size();
            ++rowCount;
        }
    }
    const double meanRow = double(rowBytes) / double(rowCount);
    estimate.bytes = double(kHeaderBytes) + meanRow * double(estimate.points);

    const double samplePasses = double(SampleIndices(grid.extinction.steps).size());
    const double passSeconds = firstRowSeconds / samplePasses;
    const double rowSeconds = otherRows > 0 ? otherRowSeconds / double(otherRows) : passSeconds;
    const double serial = double(passes) * passSeconds + double(estimate.points - passes) * rowSeconds;
    estimate.seconds = serial / double(std::max(threads, 1));
    return estimate;
}

} // namespace tamrisk
