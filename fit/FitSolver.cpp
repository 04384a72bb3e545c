// SPDX-License-Identifier: GPL-3.0-or-later
#include "fit/FitSolver.h"

#include <gsl/gsl_blas.h>
#include <gsl/gsl_errno.h>
#include <gsl/gsl_linalg.h>
#include <gsl/gsl_multifit_nlinear.h>

#include <algorithm>
#include <memory>

namespace tamrisk {

namespace {

// The change of variables that keeps a parameter within its bounds: x(u).
struct Bounds {
    double low;
    double high;

    double External(double u) const
    {
        const bool lo = std::isfinite(low), hi = std::isfinite(high);
        if (lo && hi)
            return low + (high - low) * 0.5 * (std::sin(u) + 1.0);
        if (lo)
            return low - 1.0 + std::sqrt(u * u + 1.0);
        if (hi)
            return high + 1.0 - std::sqrt(u * u + 1.0);
        return u;
    }
    double Internal(double x) const
    {
        const bool lo = std::isfinite(low), hi = std::isfinite(high);
        if (lo && hi)
            return std::asin(std::clamp(2.0 * (x - low) / (high - low) - 1.0, -1.0, 1.0));
        if (lo)
            return std::sqrt(std::max((x - low + 1.0) * (x - low + 1.0) - 1.0, 0.0));
        if (hi)
            return std::sqrt(std::max((high - x + 1.0) * (high - x + 1.0) - 1.0, 0.0));
        return x;
    }
    double Slope(double u) const // dx/du
    {
        const bool lo = std::isfinite(low), hi = std::isfinite(high);
        if (lo && hi)
            return (high - low) * 0.5 * std::cos(u);
        if (lo)
            return u / std::sqrt(u * u + 1.0);
        if (hi)
            return -u / std::sqrt(u * u + 1.0);
        return 1.0;
    }
};

// A start on a bound sits where the change of variables has no slope: moved
// a little inside.
double Inside(double x, const Bounds& b)
{
    const double span = std::isfinite(b.high - b.low) ? b.high - b.low : std::max(std::abs(x), 1.0);
    const double nudge = 1e-3 * span;
    if (std::isfinite(b.low) && x <= b.low)
        return b.low + nudge;
    if (std::isfinite(b.high) && x >= b.high)
        return b.high - nudge;
    return x;
}

struct Context {
    const LeastSquares& problem;
    std::vector<std::size_t> free;
    std::vector<Bounds> bounds;
    std::vector<double> x;
    std::vector<double> r;
    std::vector<double> jacobian;
    bool stopped = false;

    void ToExternal(const gsl_vector* u)
    {
        for (std::size_t k = 0; k < free.size(); ++k)
            x[free[k]] = bounds[k].External(gsl_vector_get(u, k));
    }
};

int Residuals(const gsl_vector* u, void* data, gsl_vector* f)
{
    Context& c = *static_cast<Context*>(data);
    c.ToExternal(u);
    if (!c.problem.residuals(c.x, c.r)) {
        c.stopped = true;
        return GSL_EBADFUNC;
    }
    for (std::size_t i = 0; i < c.r.size(); ++i)
        gsl_vector_set(f, i, c.r[i]);
    return GSL_SUCCESS;
}

int Jacobian(const gsl_vector* u, void* data, gsl_matrix* J)
{
    Context& c = *static_cast<Context*>(data);
    c.ToExternal(u);
    if (!ResidualJacobian(c.problem, c.x, c.jacobian)) {
        c.stopped = true;
        return GSL_EBADFUNC;
    }
    const std::size_t p = c.x.size();
    for (std::size_t i = 0; i < c.problem.points; ++i)
        for (std::size_t k = 0; k < c.free.size(); ++k)
            gsl_matrix_set(J, i, k, c.jacobian[i * p + c.free[k]] * c.bounds[k].Slope(gsl_vector_get(u, k)));
    return GSL_SUCCESS;
}

// Whether the Gauss-Newton step from the current point is below 1 % of every
// standard error, or below a millionth of the parameter's value, which is
// beyond what the model's single precision resolves (data more precise than
// that cannot pin a parameter down further); true also where J'J is
// singular, which the caller's identifiability check reports by name.
// `values` and `slopes` are the free parameters and dx/du at the point.
bool StepNegligible(const gsl_matrix* J, const gsl_vector* f, bool weighted, const std::vector<double>& values,
                    const std::vector<double>& slopes)
{
    const std::size_t n = J->size1, p = J->size2;
    std::unique_ptr<gsl_matrix, decltype(&gsl_matrix_free)> a(gsl_matrix_alloc(p, p), gsl_matrix_free);
    std::unique_ptr<gsl_vector, decltype(&gsl_vector_free)> g(gsl_vector_alloc(p), gsl_vector_free);
    gsl_blas_dgemm(CblasTrans, CblasNoTrans, 1.0, J, J, 0.0, a.get());
    gsl_blas_dgemv(CblasTrans, 1.0, J, f, 0.0, g.get());
    if (gsl_linalg_cholesky_decomp1(a.get()) != GSL_SUCCESS)
        return true;
    std::unique_ptr<gsl_vector, decltype(&gsl_vector_free)> step(gsl_vector_alloc(p), gsl_vector_free);
    gsl_linalg_cholesky_solve(a.get(), g.get(), step.get());
    gsl_linalg_cholesky_invert(a.get());
    double chi2 = 0.0;
    gsl_blas_ddot(f, f, &chi2);
    const double variance = weighted || n <= p ? 1.0 : chi2 / double(n - p);
    for (std::size_t k = 0; k < p; ++k) {
        const double se = std::sqrt(gsl_matrix_get(a.get(), k, k) * variance);
        const double move = std::abs(gsl_vector_get(step.get(), k));
        if (!(move <= 0.01 * se || move * std::abs(slopes[k]) <= 1e-6 * std::abs(values[k])))
            return false;
    }
    return true;
}

} // namespace

bool ResidualJacobian(const LeastSquares& problem, const std::vector<double>& x, std::vector<double>& jacobian)
{
    const std::size_t n = problem.points, p = x.size();
    jacobian.assign(n * p, 0.0);
    std::vector<double> plus, minus, at = x;
    for (std::size_t j = 0; j < p; ++j) {
        const double h = kRelativeStep * (x[j] != 0.0 ? std::abs(x[j]) : 1.0);
        double high = std::min(x[j] + h, problem.high[j]);
        double low = std::max(x[j] - h, problem.low[j]);
        if (problem.singlePrecision[j]) {
            high = double(float(high));
            low = double(float(low));
        }
        at[j] = high;
        if (!problem.residuals(at, plus))
            return false;
        at[j] = low;
        if (!problem.residuals(at, minus))
            return false;
        at[j] = x[j];
        const double width = high - low;
        for (std::size_t i = 0; i < n; ++i)
            jacobian[i * p + j] = width > 0.0 ? (plus[i] - minus[i]) / width : 0.0;
    }
    return true;
}

SolverResult Minimize(const LeastSquares& problem, const std::vector<bool>& fixed, int maxIterations)
{
    gsl_set_error_handler_off();
    Context c{problem, {}, {}, problem.start, {}, {}};
    for (std::size_t j = 0; j < problem.start.size(); ++j)
        if (!fixed[j]) {
            c.free.push_back(j);
            c.bounds.push_back({problem.low[j], problem.high[j]});
            c.x[j] = Inside(c.x[j], c.bounds.back());
        }
    SolverResult result;
    const std::size_t n = problem.points, m = c.free.size();
    if (m == 0 || n < m) {
        result.x = c.x;
        if (!problem.residuals(c.x, result.residuals)) {
            result.status = SolverStatus::Stopped;
            return result;
        }
        for (double r : result.residuals)
            result.chi2 += r * r;
        result.status = m == 0 ? SolverStatus::Converged : SolverStatus::NotConverged;
        return result;
    }

    gsl_multifit_nlinear_fdf fdf{};
    fdf.f = Residuals;
    fdf.df = Jacobian;
    fdf.fvv = nullptr;
    fdf.n = n;
    fdf.p = m;
    fdf.params = &c;
    gsl_multifit_nlinear_parameters settings = gsl_multifit_nlinear_default_parameters();
    settings.trs = gsl_multifit_nlinear_trs_lm;
    std::unique_ptr<gsl_multifit_nlinear_workspace, decltype(&gsl_multifit_nlinear_free)> w(
        gsl_multifit_nlinear_alloc(gsl_multifit_nlinear_trust, &settings, n, m), gsl_multifit_nlinear_free);
    std::unique_ptr<gsl_vector, decltype(&gsl_vector_free)> u(gsl_vector_alloc(m), gsl_vector_free);
    for (std::size_t k = 0; k < m; ++k)
        gsl_vector_set(u.get(), k, c.bounds[k].Internal(c.x[c.free[k]]));

    int status = gsl_multifit_nlinear_init(u.get(), &fdf, w.get());
    int iterations = 0;
    while (status == GSL_SUCCESS && iterations < maxIterations) {
        status = gsl_multifit_nlinear_iterate(w.get());
        ++iterations;
        if (status != GSL_SUCCESS)
            break;
        int info = 0;
        if (gsl_multifit_nlinear_test(1e-10, 1e-10, 0.0, &info, w.get()) == GSL_SUCCESS)
            break;
    }
    result.iterations = iterations;
    if (c.stopped) {
        result.status = SolverStatus::Stopped;
        return result;
    }
    c.ToExternal(gsl_multifit_nlinear_position(w.get()));
    result.x = c.x;
    const gsl_vector* f = gsl_multifit_nlinear_residual(w.get());
    for (std::size_t i = 0; i < n; ++i)
        result.residuals.push_back(gsl_vector_get(f, i));
    gsl_blas_ddot(f, f, &result.chi2);
    // Whatever ended the iterations (a small step, no further progress at the
    // model's rounding, the iteration limit), the step left decides.
    const bool usable = status == GSL_SUCCESS || status == GSL_ENOPROG;
    std::vector<double> values, slopes;
    for (std::size_t k = 0; k < m; ++k) {
        values.push_back(c.x[c.free[k]]);
        slopes.push_back(c.bounds[k].Slope(gsl_vector_get(gsl_multifit_nlinear_position(w.get()), k)));
    }
    result.status = usable && StepNegligible(gsl_multifit_nlinear_jac(w.get()), f, problem.weighted, values, slopes)
                        ? SolverStatus::Converged
                        : SolverStatus::NotConverged;
    return result;
}

} // namespace tamrisk
