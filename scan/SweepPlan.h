// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/ReadoutTable.h"
#include "scan/SweepAxis.h"
#include "scan/TableEngine.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tamrisk {

// What a sweep varies and which columns it adds: one row per point of the
// axes' product, the first axis varying slowest.
struct SweepPlan {
    std::vector<SweepAxis> axes;
    std::vector<std::string> readouts; // further columns: read-outs by name (ReadoutNames)
};

// Refuses a sweep without axes, an input varied twice, an unknown read-out
// name (unknownName set) and more points than a row index can count.
std::optional<SweepAxisProblem> CheckSweep(const SweepPlan& plan);

// Whether one of the axes varies the extinction coefficient.
bool VariesExtinction(const SweepPlan& plan);

std::int64_t SweepPointCount(const SweepPlan& plan);

// The header: the varied inputs in the order given, with half_value_depth_mm
// and transmission directly after extinction_per_mm (the scan's order), the
// two totals and their ratio, then the read-outs asked for.
std::vector<std::string> SweepColumnNames(const SweepPlan& plan);

// The axes as a record states them, and the number of points.
nlohmann::ordered_json SweepJson(const SweepPlan& plan);

// Block k (1 to n) of n contiguous blocks of the rows; block sizes differ by
// at most one row and the blocks in order cover every row once.
RowRange ShardRows(std::int64_t points, std::int64_t k, std::int64_t n);

} // namespace tamrisk
