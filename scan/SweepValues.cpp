// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/SweepValues.h"

#include "scan/SweepPoints.h"

#include <algorithm>

namespace tamrisk {

namespace {

// Rows of a block as numbers, row after row, each value as a double (a
// float's value is kept exactly).
struct ValueBlock {
    std::int64_t first = 0;
    std::vector<double> values;
};

// Appends the numbers of rows, one SweepPoints row at a time, in the
// columns' order.
class SweepValueMaker {
public:
    SweepValueMaker(const SweepPlan& plan, const Inputs& base) : points_(plan, base) {}

    void AppendRows(RowRange range, std::vector<double>& out)
    {
        if (range.first >= range.last)
            return;
        points_.Seek(range.first);
        for (std::int64_t row = range.first; row < range.last;) {
            if (points_.Lanes()) {
                const std::int64_t first = points_.Index().back();
                const std::int64_t count = std::min(points_.Counts().back() - first, range.last - row);
                points_.StartRun();
                const SweepPoints::RunRows rows = points_.RunTotals(first, std::size_t(count));
                for (std::int64_t n = 0; n < count; ++n) {
                    Axes(out, points_.Index().size() - 1);
                    out.push_back(double(rows.times[n]));
                    Totals(out, rows.totals[n]);
                }
                row += count;
                points_.Advance(count);
            } else {
                const ScanTotals totals = points_.EvaluatePoint();
                Axes(out, points_.Index().size());
                Totals(out, totals);
                for (const double value : points_.ReadoutValues())
                    out.push_back(value);
                ++row;
                points_.Advance(1);
            }
        }
    }

private:
    void Axes(std::vector<double>& out, std::size_t end) const
    {
        for (std::size_t a = 0; a < end; ++a) {
            out.push_back(double(points_.AxisValue(a)));
            if (int(a) == points_.ExtinctionAxis()) {
                out.push_back(double(points_.Parameters().halfValueDepth));
                out.push_back(double(points_.Parameters().transmission));
            }
        }
    }

    static void Totals(std::vector<double>& out, const ScanTotals& totals)
    {
        out.push_back(double(totals.effLabTotal));
        out.push_back(double(totals.effNatTotal));
        // The ratio is the double it is computed in, as the table writes it.
        out.push_back(double(totals.effLabTotal) / double(totals.effNatTotal));
    }

    SweepPoints points_;
};

} // namespace

std::vector<bool> SweepColumnsInDouble(const SweepPlan& plan)
{
    const std::size_t columns = SweepColumnNames(plan).size();
    std::vector<bool> inDouble(columns, false);
    // The ratio of the totals, then the read-outs asked for.
    const std::size_t ratio = columns - plan.readouts.size() - 1;
    inDouble[ratio] = true;
    for (std::size_t c = 0; c < plan.readouts.size(); ++c)
        inDouble[ratio + 1 + c] = FindReadout(plan.readouts[c])->computedInDouble;
    return inDouble;
}

bool ComputeSweepValues(const SweepPlan& plan, const Inputs& base, RowRange range, int threads,
                        const std::vector<SweepValueColumn>& columns, const std::function<bool()>& stopRequested)
{
    const TableBlocks blocks(range, SweepRunLength(plan), threads);
    const auto makeProducer = [&] {
        return [&blocks, maker = SweepValueMaker(plan, base)](std::int64_t b, ValueBlock& block) mutable {
            const RowRange rows = blocks.Block(b);
            block.first = rows.first;
            block.values.clear();
            maker.AppendRows(rows, block.values);
        };
    };
    const std::size_t width = columns.size();
    const auto consume = [&](std::int64_t, const ValueBlock& block) {
        const std::size_t rows = width == 0 ? 0 : block.values.size() / width;
        for (std::size_t c = 0; c < width; ++c) {
            const double* value = block.values.data() + c;
            const std::size_t at = std::size_t(block.first - range.first);
            if (float* const* f = std::get_if<float*>(&columns[c])) {
                for (std::size_t r = 0; r < rows; ++r)
                    (*f)[at + r] = float(value[r * width]);
            } else {
                double* d = std::get<double*>(columns[c]);
                for (std::size_t r = 0; r < rows; ++r)
                    d[at + r] = value[r * width];
            }
        }
        return true;
    };
    return RunTable<ValueBlock>({blocks.Count(), threads, stopRequested}, makeProducer, consume);
}

} // namespace tamrisk
