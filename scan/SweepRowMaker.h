// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/DepthProfile.h"
#include "model/Inputs.h"
#include "output/RowWriter.h"
#include "plot/Recompute.h"
#include "scan/ScanPointModel.h"
#include "scan/SweepPlan.h"
#include "scan/TableEngine.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tamrisk {

// Rows that a sweep evaluates together: where the evaluation time is the
// innermost axis (and no read-out is asked for), the rows of one outer
// point, whose evaluation times share the scan's vector lanes; otherwise
// each row alone.
std::int64_t SweepRunLength(const SweepPlan& plan);

// Makes the rows of a sweep table. It keeps what the last rows left:
// inputs change only where an axis index changed, and where the evaluation
// time is the innermost axis the scan's point model serves every row of an
// outer point, all its evaluation times at once, rebuilt only when
// something besides the extinction changes. One maker serves one thread.
class SweepRowMaker {
public:
    // Keeps a reference to plan, which must have passed CheckSweep.
    SweepRowMaker(const SweepPlan& plan, const Inputs& base, TableFormat format);

    // Appends rows [range.first, range.last) of the table to out.
    void AppendRows(RowRange range, TextRows& out);

private:
    struct Totals {
        float lab = 0.0f;
        float nat = 0.0f;
    };
    // Sets the axes' inputs and cells that changed since the last row; axes
    // from `end` on are left alone.
    bool SetAxes(std::size_t end, bool& onlyExtinction);
    // The outer point of the lanes: its model and the cells before the evaluation time.
    void StartRun();
    // Rows of the current outer point from inner index `first`, `count` of them.
    void RunRows(std::int64_t row, std::int64_t first, std::size_t count, TextRows& out);
    Totals EvaluatePoint();
    void PointRow(std::int64_t row, const Totals& totals, TextRows& out);
    void AxisCells(std::string& out, std::size_t end) const; // cells of the axes before `end`
    void Advance(std::int64_t steps);                        // moves index_ on by steps rows of the innermost axis

    const SweepPlan& plan_;
    Inputs inputs_;
    RowWriter writer_;
    bool lanes_;         // the evaluation time innermost, evaluated in lanes
    int extinctionAxis_; // -1 when the extinction is not varied
    std::vector<std::int64_t> counts_;
    std::vector<std::size_t> columns_; // the column of each axis
    std::size_t totalsColumn_;         // the column of eff_lab_total
    std::vector<std::int64_t> index_;  // the axes' indices of the next row
    std::vector<std::int64_t> last_;   // indices the inputs hold, -1 before the first row
    std::vector<std::string> cells_;   // the axes' texts at last_
    ModelParameters params_;
    DisplayFlags flags_;
    DepthProfile profile_;
    ModelState state_;
    std::vector<std::size_t> readoutAt_; // position of each asked read-out in ComputeReadouts
    std::vector<double> readoutValues_;
    std::vector<char> readoutInDouble_; // per asked read-out: computed in double precision
    // The lanes: the model of the outer point, the cells before the
    // evaluation time, and the evaluation times with their cells.
    std::optional<ScanPointModel> model_;
    std::string runCells_;
    std::vector<float> innerTimes_;
    std::vector<std::string> innerCells_;
    std::vector<float> chunkTimes_;
    std::vector<ScanTotals> totals_;
};

} // namespace tamrisk
