// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/ScanRowMaker.h"

#include <algorithm>

namespace tamrisk {

ScanRowMaker::ScanRowMaker(const ScanGrid& grid, const ModelParameters& params, TableFormat format)
    : grid_(grid),
      writer_(format, kScanColumnCount),
      point_(params),
      model_(params),
      pointsPerPass_(std::int64_t(grid.evalTime.steps) + 1)
{
    // The evaluation times and their cells are the same in every pass: kept
    // once for an axis of reasonable length, made per row for a longer one.
    const ScanAxis& axis = grid_.evalTime;
    if (axis.steps >= kMaxCachedTimes)
        return;
    for (int j = 0; j <= axis.steps; ++j) {
        evalTimes_.push_back(float(AxisValue(axis.start, axis.end, axis.steps, j, axis.logarithmic)));
        evalTimeCells_.emplace_back();
        writer_.Cell(evalTimeCells_.back(), 3, evalTimes_.back());
    }
}

void ScanRowMaker::StartPass(std::int64_t i)
{
    if (i == pass_)
        return;
    const ScanAxis& axis = grid_.extinction;
    point_.extinction = float(AxisValue(axis.start, axis.end, axis.steps, int(i), axis.logarithmic));
    DeriveFromExtinction(point_);
    model_.SetExtinction(point_.extinction);
    passCells_.clear();
    writer_.Cell(passCells_, 0, point_.extinction);
    writer_.Cell(passCells_, 1, point_.halfValueDepth);
    writer_.Cell(passCells_, 2, point_.transmission);
    pass_ = i;
}

void ScanRowMaker::PassRows(std::int64_t i, std::int64_t first, std::int64_t last, std::string& out,
                            std::vector<std::size_t>* ends)
{
    StartPass(i);
    const std::size_t count = std::size_t(last - first);
    totals_.resize(count);
    const float* times = nullptr;
    if (!evalTimes_.empty()) {
        times = evalTimes_.data() + first;
    } else {
        const ScanAxis& axis = grid_.evalTime;
        chunkTimes_.clear();
        for (std::int64_t j = first; j < last; ++j)
            chunkTimes_.push_back(float(AxisValue(axis.start, axis.end, axis.steps, int(j), axis.logarithmic)));
        times = chunkTimes_.data();
    }
    // Every evaluation time of the rows at once, in vector lanes.
    model_.Totals(times, totals_.data(), count);

    for (std::size_t n = 0; n < count; ++n) {
        const ScanTotals& totals = totals_[n];
        writer_.Begin(out, i == 0 && first + std::int64_t(n) == 0);
        out += passCells_;
        if (evalTimeCells_.empty())
            writer_.Cell(out, 3, times[n]);
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
    for (std::int64_t row = range.first; row < range.last;) {
        const std::int64_t i = row / pointsPerPass_;
        const std::int64_t first = row % pointsPerPass_;
        const std::int64_t last = std::min(pointsPerPass_, first + (range.last - row));
        PassRows(i, first, last, out.bytes, &out.ends);
        row += last - first;
    }
}

void ScanRowMaker::AppendRow(std::int64_t i, std::int64_t j, std::string& out) { PassRows(i, j, j + 1, out, nullptr); }

} // namespace tamrisk
