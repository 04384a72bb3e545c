#pragma once

#include "model/ModelParameters.h"
#include "scan/ScanGrid.h"
#include "scan/ScanPointModel.h"

#include <cstdint>
#include <string>

namespace tamrisk {

// Builds the data rows of a scan file, each the bytes of its seven cells with
// their NULs. Keeps the model tables of the extinction value it handled last,
// so rows are cheapest in grid order; any order gives the same bytes.
class ScanRowMaker {
public:
    // Keeps a reference to grid.
    ScanRowMaker(const ScanGrid& grid, const ModelParameters& params);

    // Appends the row of grid point (i, j) to out.
    void AppendRow(std::int64_t i, std::int64_t j, std::string& out);

private:
    const ScanGrid& grid_;
    ModelParameters point_;
    ScanPointModel model_;
    std::int64_t pass_ = -1;
    std::string passCells_;
};

} // namespace tamrisk
