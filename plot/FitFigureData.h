// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace tamrisk {

// One data set of a fit figure: its points with their errors and normalised
// residuals, and its fitted curve with the curve's 95 % band.
struct FitFigureSet {
    std::string name;
    std::vector<double> x;
    std::vector<double> y;
    std::vector<double> sigma;
    std::vector<double> residual; // (measured - fitted) / sigma
    std::vector<double> curveX;
    std::vector<double> curveY;
    std::vector<double> low;
    std::vector<double> high;
};

// What a figure of a fit shows: the data against the fitted curves above,
// the residuals below, on one horizontal axis.
struct FitFigureData {
    std::string xLabel;
    std::string yLabel;
    std::vector<FitFigureSet> sets;
};

} // namespace tamrisk
