// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fit/FitProblem.h"
#include "output/ByteSink.h"
#include "output/CleanTable.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace tamrisk {

// The columns of the parameter table: one row per parameter with its set (0
// for a parameter shared by all), estimate, standard error, intervals, its
// correlations with every parameter, and the fit's chi2, degrees of freedom,
// reduced chi2 and p-value.
std::vector<std::string> FitColumnNames(const FitSetup& setup);
void WriteFitTable(ByteSink& sink, TableFormat format, const FitSetup& setup, const FitResult& result);

// The columns of the residual table: the set, the independent columns of
// every set, then observed, sigma (the given error, or the residual standard
// deviation without), fitted, residual (observed - fitted) and the residual
// over sigma.
std::vector<std::string> ResidualColumnNames(const FitSetup& setup);
void WriteResidualTable(ByteSink& sink, TableFormat format, const FitSetup& setup, const FitResult& result);

// The whole result as JSON: "fit" (data, observable, statistics),
// "estimates", "correlation" and "residuals" (as columns).
nlohmann::ordered_json FitJson(const FitSetup& setup, const FitResult& result);

} // namespace tamrisk
