// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/FigureOptions.h"

#include <cstddef>
#include <string>
#include <vector>

namespace tamrisk {

// The numbers of a scan map or a sweep family, as a table's columns name them.
//
// Scan map: x the evaluation times, y the extinction values, z the value at
// point (i, j) (extinction i, evaluation time j) at z[i * x.size() + j].
//
// Sweep family: x the values of the varied input along the horizontal axis,
// y the values of the second varied input, one curve each, and z that
// curve's values, curve k's value at x[j] at z[k * x.size() + j].
struct FigureData {
    std::string xColumn, yColumn, zColumn;
    std::vector<double> x, y, z;
    bool xLog = false;
    bool yLog = false;
    std::vector<double> levels; // contour levels of a map; empty: chosen round
};

// The axis label of a table column in the language, with its unit: a name
// the program knows, or the column's own name.
std::string ColumnLabel(const std::string& column, Language language);
// Whether every value is above the one before (NaN is not).
bool StrictlyRising(const std::vector<double>& values);

// Why the data cannot make a figure of their kind, or nothing.
std::optional<std::string> CheckFigureData(PlotKind kind, const FigureData& data);

} // namespace tamrisk
