// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Inputs.h"
#include "output/ByteSink.h"
#include "output/CleanTable.h"
#include "scan/SweepPlan.h"

#include <cstdint>
#include <functional>
#include <string>

namespace tamrisk {

// What a long sweep asks of its caller besides the rows.
struct SweepHooks {
    // Polled between blocks of rows; true stops the sweep after whole rows.
    std::function<bool()> cancelled;
    // After every block: rows written so far and rows in the range.
    std::function<void(std::int64_t done, std::int64_t total)> progress;
    int threads = 1;
};

// The header line of a CSV or TSV table.
std::string SweepHeader(const SweepPlan& plan, TableFormat format);

// Writes rows [first, last) of the table: CSV or TSV lines, or JSON arrays
// (",\n    [...]", the first row of the whole table without the comma), one
// block of rows per write. Points are evaluated on hooks.threads threads;
// the bytes do not depend on their number. Each point's values are those of the model run with the
// inputs set as their options set them. Returns false when cancelled.
// The plan must have passed CheckSweep.
bool WriteSweepRows(const SweepPlan& plan, const Inputs& base, TableFormat format, RowRange range, ByteSink& sink,
                    const SweepHooks& hooks = {});

// The bytes the rows of the range take, estimated from up to 64 of its rows
// evaluated (exact when the range has no more).
std::int64_t EstimateSweepRowBytes(const SweepPlan& plan, const Inputs& base, TableFormat format, RowRange range);

} // namespace tamrisk
