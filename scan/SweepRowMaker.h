// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "output/RowWriter.h"
#include "scan/SweepPlan.h"
#include "scan/SweepPoints.h"
#include "scan/TableEngine.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tamrisk {

// Makes the rows of a sweep table from the points SweepPoints evaluates,
// keeping the texts that rows share: the axes' cells, the cells of an outer
// point before its evaluation time, and the evaluation times' cells. One
// maker serves one thread.
class SweepRowMaker {
public:
    // Keeps a reference to plan, which must have passed CheckSweep.
    SweepRowMaker(const SweepPlan& plan, const Inputs& base, TableFormat format);

    // Appends rows [range.first, range.last) of the table to out.
    void AppendRows(RowRange range, TextRows& out);

private:
    // Rows of the current outer point from inner index `first`, `count` of them.
    void RunRows(std::int64_t row, std::int64_t first, std::size_t count, TextRows& out);
    void PointRow(std::int64_t row, const ScanTotals& totals, TextRows& out);
    // The cells of the axes before `end`, brought up to the current row first.
    void AxisCells(std::string& out, std::size_t end);

    SweepPoints points_;
    RowWriter writer_;
    std::vector<std::size_t> columns_; // the column of each axis
    std::size_t totalsColumn_;         // the column of eff_lab_total
    std::vector<std::string> cells_;   // the axes' texts at cellIndex_
    std::vector<std::int64_t> cellIndex_;
    std::vector<char> readoutInDouble_; // per asked read-out: computed in double precision
    std::string runCells_;              // the cells of the outer point before the evaluation time
    std::vector<std::string> innerCells_;
};

} // namespace tamrisk
