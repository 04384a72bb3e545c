// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Inputs.h"
#include "scan/SweepPlan.h"
#include "scan/TableEngine.h"

#include <cstdint>
#include <functional>
#include <variant>
#include <vector>

namespace tamrisk {

// One column of a sweep's numbers in an array the caller owns, one value
// per row of the range: a stored float, or a value computed in double
// precision (the ratio of the totals and such read-outs).
using SweepValueColumn = std::variant<float*, double*>;

// Whether each column of SweepColumnNames holds a value computed in double precision.
std::vector<bool> SweepColumnsInDouble(const SweepPlan& plan);

// Evaluates rows [range.first, range.last) of the sweep on up to `threads`
// threads with the table engine and writes their numbers to the columns,
// one per SweepColumnNames, of the types SweepColumnsInDouble gives: the
// numbers the sweep table writes, bit for bit. The plan must have passed
// CheckSweep. False when stopRequested (asked between blocks) stopped it.
bool ComputeSweepValues(const SweepPlan& plan, const Inputs& base, RowRange range, int threads,
                        const std::vector<SweepValueColumn>& columns, const std::function<bool()>& stopRequested = {});

} // namespace tamrisk
