#pragma once

#include "model/ModelParameters.h"
#include "output/CleanTable.h"
#include "scan/ScanGrid.h"
#include "scan/ScanPointModel.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tamrisk {

// Builds the data rows of a scan file: in the window's format each the bytes
// of its seven cells with their NULs, or a line of a clean table. Keeps the
// model tables of the extinction value it handled last, so rows are cheapest
// in grid order; any order gives the same bytes.
class ScanRowMaker {
public:
    // Keeps a reference to grid.
    ScanRowMaker(const ScanGrid& grid, const ModelParameters& params, TableFormat format = TableFormat::Native);

    // Appends the row of grid point (i, j) to out.
    void AppendRow(std::int64_t i, std::int64_t j, std::string& out);
    // Rows of grid points (i, first) to (i, last - 1), each row's end in rowEnds.
    void AppendRows(std::int64_t i, std::int64_t first, std::int64_t last, std::string& out,
                    std::vector<std::size_t>& rowEnds);

private:
    const ScanGrid& grid_;
    ModelParameters point_;
    ScanPointModel model_;
    TableFormat format_;
    std::int64_t pass_ = -1;
    std::string passCells_;
    std::vector<float> evalTimes_;
    std::vector<std::string> evalTimeCells_;
    std::vector<ScanTotals> totals_;
    std::vector<float> chunkTimes_;
    static constexpr int kMaxCachedTimes = 1 << 20;
};

} // namespace tamrisk
