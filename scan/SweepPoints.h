// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/DepthProfile.h"
#include "model/Inputs.h"
#include "plot/Recompute.h"
#include "scan/ScanPointModel.h"
#include "scan/SweepPlan.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace tamrisk {

// Rows that a sweep evaluates together: where the evaluation time is the
// innermost axis (and no read-out is asked for), the rows of one outer
// point, whose evaluation times share the scan's vector lanes; otherwise
// each row alone.
std::int64_t SweepRunLength(const SweepPlan& plan);

// Walks the points of a sweep in row order and evaluates them, as numbers;
// the row makers write them. It keeps what the last rows left: inputs change
// only where an axis index changed, and where the evaluation time is the
// innermost axis the scan's point model serves every row of an outer point,
// all its evaluation times at once, rebuilt only when something besides the
// extinction changes. One serves one thread.
class SweepPoints {
public:
    // Keeps a reference to plan, which must have passed CheckSweep.
    SweepPoints(const SweepPlan& plan, const Inputs& base);

    // Whether the rows of an outer point are evaluated together (RunTotals)
    // rather than one by one (EvaluatePoint).
    bool Lanes() const { return lanes_; }
    // The axis that varies the extinction, or -1.
    int ExtinctionAxis() const { return extinctionAxis_; }
    // Values of each axis.
    const std::vector<std::int64_t>& Counts() const { return counts_; }

    // Moves to row `row`; the axes' indices of the current row.
    void Seek(std::int64_t row);
    const std::vector<std::int64_t>& Index() const { return index_; }
    // Moves on by `steps` rows of the innermost axis.
    void Advance(std::int64_t steps);
    // The value of axis a at the current row, as the model uses it.
    float AxisValue(std::size_t a) const { return float(plan_.axes[a].Value(index_[a])); }

    // Lanes: sets the inputs of the current row's outer point; true when they
    // (and so the parameters) changed since the last run.
    bool StartRun();
    // Lanes: the evaluation times and totals of `count` rows of the current
    // outer point from inner index `first`, valid until the next call.
    struct RunRows {
        const float* times;
        const ScanTotals* totals;
    };
    RunRows RunTotals(std::int64_t first, std::size_t count);
    // The evaluation time of inner index k, as the model uses it.
    float InnerTime(std::int64_t k) const;

    // One by one: evaluates the current row; the read-outs asked for in ReadoutValues.
    ScanTotals EvaluatePoint();
    const std::vector<double>& ReadoutValues() const { return readoutValues_; }

    // The parameters of the last run or point: the half-value depth and the
    // transmission of its extinction.
    const ModelParameters& Parameters() const { return params_; }

private:
    // Sets the inputs of the axes before `end` whose index changed.
    bool SetAxes(std::size_t end, bool& onlyExtinction);

    const SweepPlan& plan_;
    Inputs inputs_;
    bool lanes_;
    int extinctionAxis_ = -1;
    std::vector<std::int64_t> counts_;
    std::vector<std::int64_t> index_; // the axes' indices of the current row
    std::vector<std::int64_t> last_;  // indices the inputs hold, -1 before the first row
    ModelParameters params_;
    DisplayFlags flags_;
    DepthProfile profile_;
    ModelState state_;
    std::vector<std::size_t> readoutAt_; // position of each asked read-out in ComputeReadouts
    std::vector<double> readoutValues_;
    std::optional<ScanPointModel> model_; // the lanes' model of the outer point
    std::vector<float> innerTimes_;       // for an innermost axis of reasonable length
    std::vector<float> chunkTimes_;
    std::vector<ScanTotals> totals_;
};

} // namespace tamrisk
