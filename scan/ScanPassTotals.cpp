// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/ScanPassTotals.h"

namespace tamrisk {

void SetPassExtinction(const ScanGrid& grid, std::int64_t i, ModelParameters& params)
{
    const ScanAxis& axis = grid.extinction;
    params.extinction = float(AxisValue(axis.start, axis.end, axis.steps, int(i), axis.logarithmic));
    DeriveFromExtinction(params);
}

ScanPassTotals::ScanPassTotals(const ScanGrid& grid, const ModelParameters& params)
    : grid_(grid), point_(params), model_(params), pointsPerPass_(std::int64_t(grid.evalTime.steps) + 1)
{
    // The evaluation times are the same in every pass: kept once for an axis
    // of reasonable length, made per row for a longer one.
    if (grid_.evalTime.steps >= kMaxCachedTimes)
        return;
    for (int j = 0; j <= grid_.evalTime.steps; ++j)
        evalTimes_.push_back(EvalTime(j));
}

float ScanPassTotals::EvalTime(std::int64_t j) const
{
    const ScanAxis& axis = grid_.evalTime;
    return float(AxisValue(axis.start, axis.end, axis.steps, int(j), axis.logarithmic));
}

bool ScanPassTotals::StartPass(std::int64_t i)
{
    if (i == pass_)
        return false;
    SetPassExtinction(grid_, i, point_);
    model_.SetExtinction(point_.extinction);
    pass_ = i;
    return true;
}

ScanPassTotals::Rows ScanPassTotals::Evaluate(std::int64_t first, std::int64_t last)
{
    const float* times = nullptr;
    if (!evalTimes_.empty()) {
        times = evalTimes_.data() + first;
    } else {
        chunkTimes_.clear();
        for (std::int64_t j = first; j < last; ++j)
            chunkTimes_.push_back(EvalTime(j));
        times = chunkTimes_.data();
    }
    const std::size_t count = std::size_t(last - first);
    totals_.resize(count);
    // Every evaluation time of the rows at once, in vector lanes.
    model_.Totals(times, totals_.data(), count);
    return {times, totals_.data()};
}

} // namespace tamrisk
