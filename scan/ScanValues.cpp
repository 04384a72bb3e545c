// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/ScanValues.h"

#include "scan/ScanPassTotals.h"
#include "scan/TableEngine.h"

#include <algorithm>
#include <vector>

namespace tamrisk {

namespace {

// A block of the table's rows as numbers: its first row and the totals.
struct TotalsBlock {
    std::int64_t first = 0;
    std::vector<ScanTotals> totals;
};

} // namespace

std::int64_t ScanAxisCount(const ScanAxis& axis) { return std::max<std::int64_t>(std::int64_t(axis.steps) + 1, 0); }

bool ComputeScanValues(const ScanGrid& grid, const ModelParameters& params, int threads, const ScanValueArrays& out,
                       const std::function<bool()>& stopRequested)
{
    const std::int64_t passes = ScanAxisCount(grid.extinction);
    const std::int64_t perPass = ScanAxisCount(grid.evalTime);
    ModelParameters point = params;
    for (std::int64_t i = 0; i < passes; ++i) {
        SetPassExtinction(grid, i, point);
        out.extinction[i] = point.extinction;
        out.halfValueDepth[i] = point.halfValueDepth;
        out.transmission[i] = point.transmission;
    }
    if (passes == 0 || perPass == 0)
        return true;
    const ScanPassTotals times(grid, params);
    for (std::int64_t j = 0; j < perPass; ++j)
        out.evalTime[j] = times.EvalTime(j);

    const TableBlocks blocks({0, passes * perPass}, perPass, threads);
    const auto makeProducer = [&] {
        return [&blocks, totals = ScanPassTotals(grid, params), perPass](std::int64_t b, TotalsBlock& block) mutable {
            const RowRange range = blocks.Block(b);
            block.first = range.first;
            block.totals.clear();
            for (std::int64_t row = range.first; row < range.last;) {
                const std::int64_t first = row % perPass;
                const std::int64_t last = std::min(perPass, first + (range.last - row));
                totals.StartPass(row / perPass);
                const ScanPassTotals::Rows rows = totals.Evaluate(first, last);
                block.totals.insert(block.totals.end(), rows.totals, rows.totals + (last - first));
                row += last - first;
            }
        };
    };
    const auto consume = [&](std::int64_t, const TotalsBlock& block) {
        for (std::size_t n = 0; n < block.totals.size(); ++n) {
            const std::size_t at = std::size_t(block.first) + n;
            const ScanTotals& totals = block.totals[n];
            out.effLabTotal[at] = totals.effLabTotal;
            out.effNatTotal[at] = totals.effNatTotal;
            // The ratio is the double it is computed in, as the table writes it.
            out.effRatio[at] = double(totals.effLabTotal) / double(totals.effNatTotal);
        }
        return true;
    };
    return RunTable<TotalsBlock>({blocks.Count(), threads, stopRequested}, makeProducer, consume);
}

} // namespace tamrisk
