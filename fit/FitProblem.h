// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fit/FitData.h"
#include "fit/FitParameters.h"

#include <functional>
#include <string>
#include <vector>

namespace tamrisk {

// Everything a fit needs: the data sets, the free parameters and the fixed
// background of inputs.
struct FitSetup {
    std::vector<DataSet> sets;
    std::vector<FitParameter> parameters;
    Inputs base;
    bool profile = false; // also profile-likelihood intervals
    int threads = 1;
    std::function<bool()> stopRequested;
    bool Weighted() const { return !sets.empty() && !sets.front().sigma.empty(); }
    std::size_t Points() const;
};

// An interval of a parameter; NaN ends where it could not be closed.
struct Interval {
    double low = 0.0;
    double high = 0.0;
};

struct ParameterEstimate {
    double estimate = 0.0;
    double stdError = 0.0;
    Interval ci68; // estimate -+ one standard error (or Student's t without sigmas)
    Interval ci95;
    Interval profile68; // with FitSetup::profile
    Interval profile95;
};

enum class FitOutcome { Fitted, Refused, Stopped };

struct FitResult {
    FitOutcome outcome = FitOutcome::Refused;
    std::vector<std::string> refusals; // why no number can be trusted
    std::vector<std::string> notes;    // said beside the numbers
    std::vector<ParameterEstimate> estimates;
    std::vector<double> correlation; // parameters x parameters, row after row
    std::vector<double> covariance;  // the same, of the estimates
    double quantile95 = 0.0;         // of the 95 % intervals: 1.96, or Student's t
    double chi2 = 0.0;
    int dof = 0;
    double reducedChi2 = 0.0;
    double pValue = 0.0; // NaN without standard errors
    int iterations = 0;
    std::vector<std::vector<double>> fitted; // per set and point: scale * model + offset
};

// The estimates as a parameter vector.
std::vector<double> EstimateValues(const FitResult& result);

// The weighted residuals (measured - fitted) / sigma of every set in turn at
// parameter values x, and each set's fitted values; false when stopped.
bool FitResiduals(const FitSetup& setup, const std::vector<double>& x, std::vector<double>& residuals,
                  std::vector<std::vector<double>>* fitted = nullptr);

// The confidence levels of the intervals.
inline constexpr double kLevel68 = 0.6826894921370859; // one standard error of a Gaussian
inline constexpr double kLevel95 = 0.95;

// Fits, then checks that the numbers mean something: enough points, every
// parameter identifiable, convergence, no estimate on a bound. A refused
// fit names its parameters and carries no estimates.
FitResult RunFit(const FitSetup& setup);

} // namespace tamrisk
