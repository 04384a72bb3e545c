// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/ModelParameters.h"
#include "scan/ScanGrid.h"
#include "scan/ScanPointModel.h"

#include <cstdint>
#include <vector>

namespace tamrisk {

// The totals of a scan's grid points pass by pass, as its table holds them:
// row r is grid point (r / P, r % P), P the number of evaluation times. The
// point model is set once per extinction value (a pass), and the evaluation
// times of a pass are evaluated together in vector lanes. Keeps the pass it
// handled last, so rows are cheapest in grid order. One serves one thread.
class ScanPassTotals {
public:
    // Keeps a reference to grid. Needs at least one value on each axis.
    ScanPassTotals(const ScanGrid& grid, const ModelParameters& params);

    std::int64_t PointsPerPass() const { return pointsPerPass_; }
    // Evaluation time j as the scan stores it.
    float EvalTime(std::int64_t j) const;
    // Moves to pass i; false when it is the current pass already.
    bool StartPass(std::int64_t i);
    // The parameters of the current pass: its extinction, half-value depth and transmission.
    const ModelParameters& Point() const { return point_; }
    // The evaluation times j = first .. last - 1 of the current pass and
    // their totals, valid until the next call.
    struct Rows {
        const float* times;
        const ScanTotals* totals;
    };
    Rows Evaluate(std::int64_t first, std::int64_t last);

private:
    const ScanGrid& grid_;
    ModelParameters point_;
    ScanPointModel model_;
    std::int64_t pointsPerPass_;
    std::int64_t pass_ = -1;
    std::vector<float> evalTimes_; // every pass's evaluation times, for an axis of reasonable length
    std::vector<float> chunkTimes_;
    std::vector<ScanTotals> totals_;
    static constexpr int kMaxCachedTimes = 1 << 20;
};

// The extinction of pass i as the scan stores it, with the parameters derived from it.
void SetPassExtinction(const ScanGrid& grid, std::int64_t i, ModelParameters& params);

} // namespace tamrisk
