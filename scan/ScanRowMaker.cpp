// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/ScanRowMaker.h"

#include <algorithm>

namespace tamrisk {

ScanRowMaker::ScanRowMaker(const ScanGrid& grid, const ModelParameters& params, TableFormat format)
    : writer_(format, kScanColumnCount), passes_(grid, params)
{
    // The evaluation times' cells are the same in every pass: kept once for
    // an axis of reasonable length, made per row for a longer one.
    if (grid.evalTime.steps >= kMaxCachedTimes)
        return;
    for (int j = 0; j <= grid.evalTime.steps; ++j) {
        evalTimeCells_.emplace_back();
        writer_.Cell(evalTimeCells_.back(), 3, passes_.EvalTime(j));
    }
}

void ScanRowMaker::PassRows(std::int64_t i, std::int64_t first, std::int64_t last, std::string& out,
                            std::vector<std::size_t>* ends)
{
    if (passes_.StartPass(i)) {
        const ModelParameters& point = passes_.Point();
        passCells_.clear();
        writer_.Cell(passCells_, 0, point.extinction);
        writer_.Cell(passCells_, 1, point.halfValueDepth);
        writer_.Cell(passCells_, 2, point.transmission);
    }
    const ScanPassTotals::Rows rows = passes_.Evaluate(first, last);
    const std::size_t count = std::size_t(last - first);
    for (std::size_t n = 0; n < count; ++n) {
        const ScanTotals& totals = rows.totals[n];
        writer_.Begin(out, i == 0 && first + std::int64_t(n) == 0);
        out += passCells_;
        if (evalTimeCells_.empty())
            writer_.Cell(out, 3, rows.times[n]);
        else
            out += evalTimeCells_[std::size_t(first) + n];
        writer_.Cell(out, 4, totals.effLabTotal);
        writer_.Cell(out, 5, totals.effNatTotal);
        // The ratio is written in double precision, not rounded to float.
        writer_.Cell(out, 6, double(totals.effLabTotal) / double(totals.effNatTotal));
        writer_.End(out);
        if (ends != nullptr)
            ends->push_back(out.size());
    }
}

void ScanRowMaker::AppendRows(RowRange range, TextRows& out)
{
    const std::int64_t pointsPerPass = passes_.PointsPerPass();
    for (std::int64_t row = range.first; row < range.last;) {
        const std::int64_t i = row / pointsPerPass;
        const std::int64_t first = row % pointsPerPass;
        const std::int64_t last = std::min(pointsPerPass, first + (range.last - row));
        PassRows(i, first, last, out.bytes, &out.ends);
        row += last - first;
    }
}

void ScanRowMaker::AppendRow(std::int64_t i, std::int64_t j, std::string& out) { PassRows(i, j, j + 1, out, nullptr); }

} // namespace tamrisk
