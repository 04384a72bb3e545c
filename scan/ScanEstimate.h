// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/ModelParameters.h"
#include "output/CleanTable.h"
#include "scan/ScanGrid.h"

#include <cstdint>

namespace tamrisk {

// What a scan will cost, known before it starts.
struct ScanEstimate {
    std::uint64_t points = 0; // grid points, one data row each
    double bytes = 0.0;       // size of the result file, header included; absurd grids pass 2^64
    double seconds = 0.0;     // expected time of the whole scan
};

// Counts the grid points and evaluates a few sample rows to estimate the file
// size and the time with the given number of threads. Takes a millisecond or
// so, whatever the grid. The grid must have passed CheckScanGrid.
ScanEstimate EstimateScan(const ScanGrid& grid, const ModelParameters& params, int threads,
                          TableFormat format = TableFormat::Native);

} // namespace tamrisk
