// SPDX-License-Identifier: GPL-3.0-or-later
#include "fit/FitProblem.h"

#include "fit/FitSolver.h"
#include "model/ShortestText.h"

#include <gsl/gsl_cdf.h>
#include <gsl/gsl_linalg.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <memory>

namespace tamrisk {

namespace {

// Below this ratio of the smallest to the largest singular value of the
// Jacobian, its columns scaled to length 1, the data fix only a combination
// of the parameters: far above the derivatives' rounding (1e-4), far below
// any correlation a fit can report usefully (|r| > 0.999998 for two parameters).
constexpr double kIdentifiable = 1e-3;

using Matrix = std::unique_ptr<gsl_matrix, decltype(&gsl_matrix_free)>;
using Vector = std::unique_ptr<gsl_vector, decltype(&gsl_vector_free)>;
Matrix NewMatrix(std::size_t rows, std::size_t columns)
{
    return Matrix(gsl_matrix_calloc(rows, columns), gsl_matrix_free);
}
Vector NewVector(std::size_t size) { return Vector(gsl_vector_calloc(size), gsl_vector_free); }

std::string NameList(const std::vector<std::string>& names)
{
    std::string text;
    for (std::size_t k = 0; k < names.size(); ++k)
        text += (k == 0 ? "" : k + 1 == names.size() ? " and " : ", ") + names[k];
    return text;
}

LeastSquares Problem(const FitSetup& setup)
{
    LeastSquares problem;
    problem.points = setup.Points();
    problem.weighted = setup.Weighted();
    for (const FitParameter& p : setup.parameters) {
        problem.start.push_back(p.start);
        problem.low.push_back(p.low);
        problem.high.push_back(p.high);
        problem.singlePrecision.push_back(p.input != nullptr);
    }
    problem.residuals = [&setup](const std::vector<double>& x, std::vector<double>& r) {
        return FitResiduals(setup, x, r);
    };
    return problem;
}

// Parameters that the Jacobian leaves undetermined, alone or together.
std::vector<std::string> Unidentifiable(const FitSetup& setup, const std::vector<double>& jacobian)
{
    const std::size_t n = setup.Points(), p = setup.parameters.size();
    std::vector<std::string> refusals;
    Matrix a = NewMatrix(n, p);
    std::vector<bool> dead(p, false);
    for (std::size_t j = 0; j < p; ++j) {
        double norm = 0.0;
        for (std::size_t i = 0; i < n; ++i)
            norm += jacobian[i * p + j] * jacobian[i * p + j];
        norm = std::sqrt(norm);
        dead[j] = !(norm > 0.0) || !std::isfinite(norm);
        if (dead[j])
            refusals.push_back(setup.parameters[j].name +
                               " is not identifiable: it does not change the fitted values at all");
        for (std::size_t i = 0; i < n; ++i)
            gsl_matrix_set(a.get(), i, j, dead[j] ? 0.0 : jacobian[i * p + j] / norm);
    }
    if (!refusals.empty())
        return refusals;
    Matrix v = NewMatrix(p, p);
    Vector s = NewVector(p), work = NewVector(p);
    gsl_linalg_SV_decomp(a.get(), v.get(), s.get(), work.get());
    const double largest = gsl_vector_get(s.get(), 0);
    for (std::size_t k = 0; k < p; ++k) {
        if (gsl_vector_get(s.get(), k) > kIdentifiable * largest)
            continue;
        std::vector<std::string> names;
        for (std::size_t j = 0; j < p; ++j)
            if (std::abs(gsl_matrix_get(v.get(), j, k)) > 0.1)
                names.push_back(setup.parameters[j].name);
        refusals.push_back(names.size() > 1
                               ? NameList(names) + " are not identifiable: the data fix only a combination of them"
                               : NameList(names) + " is not identifiable from these data");
    }
    return refusals;
}

// (J'J)^-1, or nothing when it is singular.
std::optional<std::vector<double>> InverseNormal(const std::vector<double>& jacobian, std::size_t n, std::size_t p)
{
    Matrix a = NewMatrix(p, p);
    for (std::size_t j = 0; j < p; ++j)
        for (std::size_t k = 0; k < p; ++k) {
            double sum = 0.0;
            for (std::size_t i = 0; i < n; ++i)
                sum += jacobian[i * p + j] * jacobian[i * p + k];
            gsl_matrix_set(a.get(), j, k, sum);
        }
    if (gsl_linalg_cholesky_decomp1(a.get()) != GSL_SUCCESS || gsl_linalg_cholesky_invert(a.get()) != GSL_SUCCESS)
        return std::nullopt;
    std::vector<double> inverse(p * p);
    for (std::size_t j = 0; j < p; ++j)
        for (std::size_t k = 0; k < p; ++k)
            inverse[j * p + k] = gsl_matrix_get(a.get(), j, k);
    return inverse;
}

// The ends of the profile-likelihood intervals of parameter j: where the
// minimum of chi2 over the other parameters, with j held, has risen by the
// level's threshold.
class Profiler {
public:
    Profiler(const LeastSquares& problem, const std::vector<double>& best, double chi2, std::size_t j)
        : problem_(problem), best_(best), chi2_(chi2), j_(j)
    {
    }

    // The rise of the least chi2 at value, or NaN where a refit failed.
    double Rise(double value, bool& stopped)
    {
        LeastSquares held = problem_;
        held.start = best_;
        held.start[j_] = value;
        std::vector<bool> fixed(best_.size(), false);
        fixed[j_] = true;
        const SolverResult r = Minimize(held, fixed, 100);
        stopped = stopped || r.status == SolverStatus::Stopped;
        return r.status == SolverStatus::Converged ? r.chi2 - chi2_ : std::nan("");
    }

    // One end: from the estimate towards side (+1 or -1), the value whose rise
    // is `target`; the bound where the rise stays below it, NaN where it
    // cannot be found.
    double End(double side, double target, double se, bool& stopped)
    {
        const double x0 = best_[j_];
        const double bound = side > 0 ? problem_.high[j_] : problem_.low[j_];
        double inner = x0, innerRise = 0.0;
        // A little beyond where a quadratic chi2 reaches the target, so that it is bracketed at once.
        double outer = x0 + side * 1.05 * std::sqrt(target) * se, outerRise = 0.0;
        for (int k = 0;; ++k) {
            if ((side > 0 && outer >= bound) || (side < 0 && outer <= bound))
                outer = bound;
            outerRise = Rise(outer, stopped);
            if (stopped || std::isnan(outerRise))
                return std::nan("");
            if (outerRise >= target)
                break;
            if (outer == bound)
                return bound;
            if (k == 12)
                return std::nan("");
            inner = outer;
            innerRise = outerRise;
            outer = x0 + 2.0 * (outer - x0);
        }
        // The root of g = sqrt(rise) - sqrt(target), nearly linear in the
        // value: regula falsi with the Illinois rule, so that both ends move.
        const double root = std::sqrt(target);
        double gi = std::sqrt(std::max(innerRise, 0.0)) - root, go = std::sqrt(outerRise) - root;
        int kept = 0; // +1: the inner end was kept last time, -1: the outer one
        for (int k = 0; k < 60; ++k) {
            double next = go != gi ? inner + (outer - inner) * (-gi) / (go - gi) : 0.5 * (inner + outer);
            if (!(std::min(inner, outer) < next && next < std::max(inner, outer)))
                next = 0.5 * (inner + outer);
            const double rise = Rise(next, stopped);
            if (stopped || std::isnan(rise))
                return std::nan("");
            const double g = std::sqrt(std::max(rise, 0.0)) - root;
            // Within a millionth of a standard error of chi2's rise, or of the value.
            if (std::abs(g) < 1e-6 || std::abs(outer - inner) < 1e-6 * se)
                return next;
            if (g < 0.0) {
                inner = next;
                gi = g;
                if (kept == -1)
                    go *= 0.5;
                kept = -1;
            } else {
                outer = next;
                go = g;
                if (kept == 1)
                    gi *= 0.5;
                kept = 1;
            }
        }
        return 0.5 * (inner + outer);
    }

private:
    const LeastSquares& problem_;
    std::vector<double> best_;
    double chi2_;
    std::size_t j_;
};

std::string Shortest(double value) { return ShortestText(value); }

double FiniteSpan(const FitParameter& p) { return std::isfinite(p.high - p.low) ? p.high - p.low : 0.0; }

} // namespace

std::size_t FitSetup::Points() const
{
    std::size_t n = 0;
    for (const DataSet& set : sets)
        n += set.observed.size();
    return n;
}

std::vector<double> EstimateValues(const FitResult& result)
{
    std::vector<double> x;
    for (const ParameterEstimate& e : result.estimates)
        x.push_back(e.estimate);
    return x;
}

bool FitResiduals(const FitSetup& setup, const std::vector<double>& x, std::vector<double>& residuals,
                  std::vector<std::vector<double>>* fitted)
{
    residuals.clear();
    std::vector<double> values;
    for (std::size_t s = 0; s < setup.sets.size(); ++s) {
        const DataSet& set = setup.sets[s];
        const SetModel model = ApplyParameters(setup.parameters, x, setup.base, int(s));
        if (setup.stopRequested && setup.stopRequested())
            return false;
        if (!EvaluateObservable(set.points, model.inputs, setup.threads, setup.stopRequested, values))
            return false;
        if (fitted)
            fitted->emplace_back();
        for (std::size_t i = 0; i < values.size(); ++i) {
            const double y = model.scale * values[i] + model.offset;
            const double sigma = set.sigma.empty() ? 1.0 : set.sigma[i];
            residuals.push_back((set.observed[i] - y) / sigma);
            if (fitted)
                fitted->back().push_back(y);
        }
    }
    return true;
}

FitResult RunFit(const FitSetup& setup)
{
    FitResult result;
    const std::size_t n = setup.Points(), p = setup.parameters.size();
    if (n < p) {
        result.refusals.push_back(std::to_string(n) + " data points cannot fix " + std::to_string(p) +
                                  " free parameters");
        return result;
    }
    if (!setup.Weighted() && n == p) {
        result.refusals.push_back("as many data points as free parameters leave no residual variance to scale the "
                                  "errors by; give --sigma or more points");
        return result;
    }
    const LeastSquares problem = Problem(setup);
    const SolverResult solved = Minimize(problem, std::vector<bool>(p, false));
    result.iterations = solved.iterations;
    if (solved.status == SolverStatus::Stopped) {
        result.outcome = FitOutcome::Stopped;
        return result;
    }
    std::vector<double> jacobian;
    if (!ResidualJacobian(problem, solved.x, jacobian)) {
        result.outcome = FitOutcome::Stopped;
        return result;
    }
    result.refusals = Unidentifiable(setup, jacobian);
    if (!result.refusals.empty())
        return result;
    // An estimate pressed onto a bound stops the iterations there: say so
    // rather than that the fit did not converge.
    for (std::size_t j = 0; j < p; ++j) {
        const FitParameter& param = setup.parameters[j];
        for (const auto& [bound, side] : {std::pair{param.low, "lower"}, std::pair{param.high, "upper"}})
            if (std::isfinite(bound) &&
                std::abs(solved.x[j] - bound) <= 1e-6 * std::max({std::abs(bound), FiniteSpan(param), 1.0}))
                result.refusals.push_back(param.name + " sits on its " + side + " bound " + Shortest(bound) +
                                          ": the data pull it beyond, so no error can be given");
    }
    if (!result.refusals.empty())
        return result;
    if (solved.status != SolverStatus::Converged || !std::isfinite(solved.chi2)) {
        result.refusals.push_back("the fit did not converge in " + std::to_string(solved.iterations) +
                                  " iterations (try other starts or bounds)");
        return result;
    }
    const std::optional<std::vector<double>> inverse = InverseNormal(jacobian, n, p);
    if (!inverse) {
        result.refusals.push_back("the parameters are not identifiable together: their covariance is singular");
        return result;
    }
    result.chi2 = solved.chi2;
    result.dof = int(n) - int(p);
    result.reducedChi2 = result.dof > 0 ? result.chi2 / result.dof : std::nan("");
    result.pValue = setup.Weighted() && result.dof > 0 ? gsl_cdf_chisq_Q(result.chi2, result.dof) : std::nan("");
    const double variance = setup.Weighted() ? 1.0 : result.reducedChi2;
    // Without given errors the scale is estimated too: Student's t, not the Gaussian.
    const auto quantile = [&](double level) {
        const double q = 0.5 + 0.5 * level;
        return setup.Weighted() ? gsl_cdf_ugaussian_Pinv(q) : gsl_cdf_tdist_Pinv(q, result.dof);
    };
    const double z68 = quantile(kLevel68), z95 = quantile(kLevel95);
    for (std::size_t j = 0; j < p; ++j) {
        ParameterEstimate e;
        e.estimate = solved.x[j];
        e.stdError = std::sqrt((*inverse)[j * p + j] * variance);
        e.ci68 = {e.estimate - z68 * e.stdError, e.estimate + z68 * e.stdError};
        e.ci95 = {e.estimate - z95 * e.stdError, e.estimate + z95 * e.stdError};
        result.estimates.push_back(e);
        const FitParameter& param = setup.parameters[j];
        for (const auto& [bound, side] : {std::pair{param.low, "lower"}, std::pair{param.high, "upper"}})
            if (std::isfinite(bound) && std::abs(e.estimate - bound) <= 0.01 * e.stdError)
                result.refusals.push_back(param.name + " = " + Shortest(e.estimate) + " lies on its " + side +
                                          " bound " + Shortest(bound) +
                                          ": the data pull it beyond, so no error can be given");
    }
    if (!result.refusals.empty()) {
        result.estimates.clear();
        return result;
    }
    result.quantile95 = z95;
    for (const double c : *inverse)
        result.covariance.push_back(c * variance);
    for (std::size_t j = 0; j < p; ++j)
        for (std::size_t k = 0; k < p; ++k)
            result.correlation.push_back((*inverse)[j * p + k] /
                                         std::sqrt((*inverse)[j * p + j] * (*inverse)[k * p + k]));
    for (std::size_t j = 0; j < p; ++j)
        if (setup.parameters[j].input != nullptr &&
            result.estimates[j].stdError < std::abs(result.estimates[j].estimate) * double(FLT_EPSILON))
            result.notes.push_back("the standard error of " + setup.parameters[j].name +
                                   " is below the model's single-precision resolution of its value: the estimate "
                                   "is only as exact as single precision");
    if (result.pValue < 0.001)
        result.notes.push_back("chi2 = " + Shortest(result.chi2) + " for " + std::to_string(result.dof) +
                               " degrees of freedom is improbably large (p < 0.001): the model or the given errors "
                               "do not describe the data, and the intervals mean little");
    if (setup.profile) {
        // Thresholds of the rise of chi2: the chi-square quantiles of one
        // degree of freedom, or t^2 times the residual variance without errors.
        const auto threshold = [&](double z) { return z * z * variance; };
        for (std::size_t j = 0; j < p; ++j) {
            Profiler profiler(problem, solved.x, solved.chi2, j);
            ParameterEstimate& e = result.estimates[j];
            bool stopped = false;
            e.profile68 = {profiler.End(-1, threshold(z68), e.stdError, stopped),
                           profiler.End(+1, threshold(z68), e.stdError, stopped)};
            e.profile95 = {profiler.End(-1, threshold(z95), e.stdError, stopped),
                           profiler.End(+1, threshold(z95), e.stdError, stopped)};
            if (stopped) {
                result.outcome = FitOutcome::Stopped;
                return result;
            }
            const std::string& name = setup.parameters[j].name;
            for (const double end : {e.profile68.low, e.profile68.high, e.profile95.low, e.profile95.high}) {
                if (std::isnan(end)) {
                    result.notes.push_back("a profile-likelihood interval of " + name +
                                           " does not close: the data do not bound it on that side");
                    break;
                }
                if (end == setup.parameters[j].low || end == setup.parameters[j].high) {
                    result.notes.push_back("a profile-likelihood interval of " + name + " reaches its bound");
                    break;
                }
            }
        }
    }
    std::vector<double> residuals;
    FitResiduals(setup, solved.x, residuals, &result.fitted);
    result.outcome = FitOutcome::Fitted;
    return result;
}

} // namespace tamrisk
