// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/ModelParameters.h"
#include "output/RowWriter.h"
#include "scan/ScanGrid.h"
#include "scan/ScanPointModel.h"
#include "scan/TableEngine.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tamrisk {

// The number of columns of a scan table.
inline constexpr std::size_t kScanColumnCount = 7;

// Makes the data rows of a scan table in any format; row r is grid point
// (r / P, r % P), P the number of evaluation times. The rows of one
// extinction value (a pass) are evaluated together in vector lanes. Keeps
// the model tables of the extinction value it handled last, so rows are
// cheapest in grid order; any order gives the same bytes. One maker serves
// one thread.
class ScanRowMaker {
public:
    // Keeps a reference to grid. Needs at least one value on each axis.
    ScanRowMaker(const ScanGrid& grid, const ModelParameters& params, TableFormat format = TableFormat::Native);

    // Appends rows [range.first, range.last) to out.
    void AppendRows(RowRange range, TextRows& out);
    // Appends the row of grid point (i, j) to out.
    void AppendRow(std::int64_t i, std::int64_t j, std::string& out);

private:
    void StartPass(std::int64_t i);
    // Rows j = first .. last - 1 of pass i.
    void PassRows(std::int64_t i, std::int64_t first, std::int64_t last, std::string& out,
                  std::vector<std::size_t>* ends);

    const ScanGrid& grid_;
    RowWriter writer_;
    ModelParameters point_;
    ScanPointModel model_;
    std::int64_t pointsPerPass_;
    std::int64_t pass_ = -1;
    std::string passCells_; // the first three cells, the same on every row of a pass
    std::vector<float> evalTimes_;
    std::vector<std::string> evalTimeCells_;
    std::vector<ScanTotals> totals_;
    std::vector<float> chunkTimes_;
    static constexpr int kMaxCachedTimes = 1 << 20;
};

} // namespace tamrisk
