// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/ScanGridTexts.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <string>

namespace tamrisk {

// One axis of the scan grid: steps intervals, steps + 1 values.
struct ScanAxis {
    float start = 1.0f;
    float end = 10000.0f;
    int steps = 20;
    bool logarithmic = true;
};

struct ScanGrid {
    ScanAxis extinction; // outer loop
    ScanAxis evalTime;   // inner loop
};

// Converts the dialog's texts as atof/atoi read them.
ScanGrid ReadScanGrid(const ScanGridTexts& texts);

// Why an axis has no defined values: an end that is not a finite number in
// single precision, or a logarithmic axis whose start or end is 0 or below
// (or NaN). An axis without values (negative step count) and the unused end
// of a single-value axis (0 steps) need no positive ends.
enum class AxisFault { LogarithmicThroughZero, NotFinite };
std::optional<AxisFault> CheckAxis(const ScanAxis& axis);

// A message for a grid that has no defined values (an axis end that is not a
// finite single-precision number, a logarithmic axis whose start or end is 0
// or below), or nothing when the grid can be scanned.
std::optional<std::string> CheckScanGrid(const ScanGrid& grid);

// The grid as a record states it: each axis's start, end, steps, scale and
// number of values, and the number of points.
nlohmann::ordered_json GridJson(const ScanGrid& grid);

// Value number k of an axis, in double precision; the caller rounds it to
// single precision when it stores it. steps 0 gives start.
double AxisValue(float start, float end, int steps, int k, bool logarithmic);

} // namespace tamrisk
