// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/ModelParameters.h"
#include "scan/ScanGrid.h"

#include <cstdint>
#include <functional>

namespace tamrisk {

// Where the numbers of a scan go, in arrays the caller owns: the values of
// each axis, and the totals and their ratio at every grid point, point
// (i, j) at i * (evaluation times) + j. The numbers are those the scan
// table writes, bit for bit.
struct ScanValueArrays {
    float* extinction;     // one per extinction value
    float* halfValueDepth; // one per extinction value
    float* transmission;   // one per extinction value
    float* evalTime;       // one per evaluation time
    float* effLabTotal;    // one per grid point
    float* effNatTotal;    // one per grid point
    double* effRatio;      // one per grid point, in the double it is computed in
};

// The number of values of an axis: steps + 1, none for a negative step count.
std::int64_t ScanAxisCount(const ScanAxis& axis);

// Evaluates the grid on up to `threads` threads with the table engine and
// fills `out`. params are those of ReadParameters with the directly set
// parameters applied; the grid must have passed CheckScanGrid. False when
// stopRequested (asked between blocks of rows) stopped it.
bool ComputeScanValues(const ScanGrid& grid, const ModelParameters& params, int threads, const ScanValueArrays& out,
                       const std::function<bool()>& stopRequested = {});

} // namespace tamrisk
