// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Inputs.h"
#include "model/ModelParameters.h"
#include "plot/FigureData.h"
#include "scan/ScanGrid.h"
#include "scan/SweepPlan.h"

#include <functional>
#include <optional>
#include <string>

namespace tamrisk::cli {

// The numbers of a scan map: `column` (eff_ratio, eff_lab_total or
// eff_nat_total) over the grid, computed on the scan's engine. The grid
// must have passed CheckScanGrid. The reason when they cannot be made;
// false in `stopped` when stopRequested ended the computation.
std::optional<std::string> ComputeScanFigureData(const ScanGrid& grid, const ModelParameters& params, int threads,
                                                 const std::string& column, FigureData& out,
                                                 const std::function<bool()>& stopRequested, bool& stopped);

// The numbers of a sweep family: `column` against the first varied input,
// one curve per value of the second, computed on the sweep's engine. The
// plan must have passed CheckSweep and vary two inputs.
std::optional<std::string> ComputeSweepFigureData(const SweepPlan& plan, const Inputs& base, int threads,
                                                  const std::string& column, FigureData& out,
                                                  const std::function<bool()>& stopRequested, bool& stopped);

// The same numbers read from a scan's or a sweep's CSV or TSV table (TSV by
// the ending .tsv). A scan's grid is the extinctions × evaluation times; a
// sweep's varied inputs are the columns before eff_lab_total (its
// half_value_depth_mm and transmission aside), of which it must have two.
std::optional<std::string> ReadFigureTable(const std::string& path, PlotKind kind, const std::string& column,
                                           FigureData& out);

// Whether rising values are spaced evenly on a logarithmic scale rather than a linear one.
bool LogarithmicallySpaced(const std::vector<double>& values);

} // namespace tamrisk::cli
