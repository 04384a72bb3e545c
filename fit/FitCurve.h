// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fit/FitProblem.h"
#include "plot/FigureOptions.h"
#include "plot/FitFigureData.h"

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace tamrisk {

// A data set's fitted curve at the abscissae x, with its pointwise 95 % band
// from the covariance of the estimates (the delta method: the curve's
// derivatives by the fit's central differences).
struct FitCurveSamples {
    std::vector<double> x;
    std::vector<double> y;
    std::vector<double> low;
    std::vector<double> high;
};

// Where a set's curve is drawn: `count` abscissae from 0 (or the smallest
// point, for a logarithmic axis or a total's input) to the largest point,
// within the model's samples where it interpolates. Nothing where the set
// has more than one independent column.
std::optional<std::vector<double>> CurveAbscissae(const DataSet& set, const Inputs& base, bool logarithmic,
                                                  int count = 200);

// False when stopped.
bool FitCurve(const FitSetup& setup, const FitResult& result, std::size_t set, const std::vector<double>& x,
              FitCurveSamples& curve);

// What the figure of a fit shows: each set's points with their errors (the
// residual standard deviation without given ones) and normalised residuals,
// its curve with the 95 % band, and the axis labels in the language. The reason instead
// where a set has more than one independent column. An empty figure when a
// stop was asked for.
std::variant<FitFigureData, std::string> FitFigure(const FitSetup& setup, const FitResult& result, bool logarithmic,
                                                   Language language = Language::En);

} // namespace tamrisk
