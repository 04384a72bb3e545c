// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cfloat>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace tamrisk {

// Relative step of the central differences. The model computes in single
// precision, and an input reaches it rounded to single precision, so a step
// must stay well above that rounding (2^-24 relative): the derivative's
// rounding error is about 2^-24 / h, its truncation error about h^2 / 6 times
// the third derivative's scale, and their sum is least near the cube root of
// the float epsilon, 2^(-23/3) = 0.0049. Running sums over 400 samples carry a
// larger rounding error (up to 2e-5 relative), which this step also keeps
// below 1 % of the derivative.
inline const double kRelativeStep = std::cbrt(double(FLT_EPSILON));

// A weighted least-squares problem in the parameters x: the sum of squared
// residuals (measured - model) / sigma is minimised.
struct LeastSquares {
    std::size_t points = 0;
    std::vector<double> start;
    std::vector<double> low;  // -inf when open
    std::vector<double> high; // +inf when open
    // Parameters the model takes in single precision: the step is measured
    // between the values it really uses.
    std::vector<bool> singlePrecision;
    // Whether the residuals are divided by given standard errors; without
    // them the errors are scaled by the residual variance.
    bool weighted = true;
    // The residuals at x; false when a stop was asked for.
    std::function<bool(const std::vector<double>& x, std::vector<double>& residuals)> residuals;
};

enum class SolverStatus { Converged, NotConverged, Stopped };

struct SolverResult {
    SolverStatus status = SolverStatus::NotConverged;
    std::vector<double> x;
    std::vector<double> residuals;
    double chi2 = 0.0;
    int iterations = 0;
};

// Minimises over the parameters that are not `fixed` (those stay at start),
// with GSL's trust-region Levenberg-Marquardt. Bounds are kept by a change of
// variables (a sine between two bounds, a square root beside one). Converged
// means that the Gauss-Newton step left is below 1 % of every standard error
// (or below a millionth of the value, beyond single precision), which stays
// meaningful where the model's rounding stops the cost from falling further.
SolverResult Minimize(const LeastSquares& problem, const std::vector<bool>& fixed, int maxIterations = 200);

// The Jacobian of the residuals at x by central differences with
// kRelativeStep (of 1 for a parameter at 0), kept inside the bounds:
// points rows of x.size() values, row after row. False when stopped.
bool ResidualJacobian(const LeastSquares& problem, const std::vector<double>& x, std::vector<double>& jacobian);

} // namespace tamrisk
