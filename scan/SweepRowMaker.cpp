// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/SweepRowMaker.h"

#include <algorithm>

namespace tamrisk {

SweepRowMaker::SweepRowMaker(const SweepPlan& plan, const Inputs& base, TableFormat format)
    : points_(plan, base), writer_(format, SweepColumnNames(plan).size())
{
    std::size_t column = 0;
    for (std::size_t a = 0; a < plan.axes.size(); ++a) {
        columns_.push_back(column++);
        // The half-value depth and the transmission follow the extinction, as in the scan.
        if (int(a) == points_.ExtinctionAxis())
            column += 2;
    }
    totalsColumn_ = column;
    cells_.assign(plan.axes.size(), std::string());
    cellIndex_.assign(plan.axes.size(), -1);
    for (const std::string& name : plan.readouts)
        readoutInDouble_.push_back(FindReadout(name)->computedInDouble);
    // The innermost axis's cells, for an axis whose times SweepPoints keeps.
    const std::int64_t inner = points_.Counts().back();
    if (points_.Lanes() && inner <= (std::int64_t(1) << 20)) {
        for (std::int64_t k = 0; k < inner; ++k) {
            innerCells_.emplace_back();
            writer_.Cell(innerCells_.back(), columns_.back(), points_.InnerTime(k));
        }
    }
}

void SweepRowMaker::AxisCells(std::string& out, std::size_t end)
{
    const std::vector<std::int64_t>& index = points_.Index();
    for (std::size_t a = 0; a < end; ++a) {
        if (cellIndex_[a] != index[a]) {
            cells_[a] = writer_.Text(points_.AxisValue(a));
            cellIndex_[a] = index[a];
        }
        writer_.TextCell(out, columns_[a], cells_[a]);
        if (int(a) == points_.ExtinctionAxis()) {
            writer_.Cell(out, columns_[a] + 1, points_.Parameters().halfValueDepth);
            writer_.Cell(out, columns_[a] + 2, points_.Parameters().transmission);
        }
    }
}

void SweepRowMaker::RunRows(std::int64_t row, std::int64_t first, std::size_t count, TextRows& out)
{
    if (points_.StartRun()) {
        runCells_.clear();
        AxisCells(runCells_, points_.Index().size() - 1);
    }
    const SweepPoints::RunRows rows = points_.RunTotals(first, count);
    std::string& bytes = out.bytes;
    for (std::size_t n = 0; n < count; ++n) {
        writer_.Begin(bytes, row + std::int64_t(n) == 0);
        bytes += runCells_;
        if (innerCells_.empty())
            writer_.Cell(bytes, columns_.back(), rows.times[n]);
        else
            bytes += innerCells_[std::size_t(first) + n];
        const float lab = rows.totals[n].effLabTotal;
        const float nat = rows.totals[n].effNatTotal;
        writer_.Cell(bytes, totalsColumn_, lab);
        writer_.Cell(bytes, totalsColumn_ + 1, nat);
        // The ratio is the double it is computed in, as in the scan.
        writer_.Cell(bytes, totalsColumn_ + 2, double(lab) / double(nat));
        writer_.End(bytes);
        out.ends.push_back(bytes.size());
    }
}

void SweepRowMaker::PointRow(std::int64_t row, const ScanTotals& totals, TextRows& out)
{
    std::string& bytes = out.bytes;
    writer_.Begin(bytes, row == 0);
    AxisCells(bytes, points_.Index().size());
    writer_.Cell(bytes, totalsColumn_, totals.effLabTotal);
    writer_.Cell(bytes, totalsColumn_ + 1, totals.effNatTotal);
    writer_.Cell(bytes, totalsColumn_ + 2, double(totals.effLabTotal) / double(totals.effNatTotal));
    const std::vector<double>& readouts = points_.ReadoutValues();
    for (std::size_t c = 0; c < readouts.size(); ++c) {
        // A stored float as its shortest text, a value computed in double precision as the double's.
        if (readoutInDouble_[c])
            writer_.Cell(bytes, totalsColumn_ + 3 + c, readouts[c]);
        else
            writer_.Cell(bytes, totalsColumn_ + 3 + c, float(readouts[c]));
    }
    writer_.End(bytes);
    out.ends.push_back(bytes.size());
}

void SweepRowMaker::AppendRows(RowRange range, TextRows& out)
{
    if (range.first >= range.last)
        return;
    points_.Seek(range.first);
    for (std::int64_t row = range.first; row < range.last;) {
        if (points_.Lanes()) {
            const std::int64_t first = points_.Index().back();
            const std::int64_t count = std::min(points_.Counts().back() - first, range.last - row);
            RunRows(row, first, std::size_t(count), out);
            row += count;
            points_.Advance(count);
        } else {
            PointRow(row, points_.EvaluatePoint(), out);
            ++row;
            points_.Advance(1);
        }
    }
}

} // namespace tamrisk
