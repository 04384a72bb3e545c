// SPDX-License-Identifier: GPL-3.0-or-later
#include "fit/FitCurve.h"

#include "fit/FitSolver.h"

#include <algorithm>
#include <filesystem>
#include <cmath>

namespace tamrisk {

namespace {

// The set's points replaced by the abscissae.
ObservablePoints PointsAt(const DataSet& set, const std::vector<double>& x)
{
    ObservablePoints points;
    points.observable = set.points.observable;
    points.inputs = set.points.inputs;
    if (points.observable.kind == ObservableKind::Total)
        for (const double v : x)
            points.rows.push_back({v});
    else
        points.keys = x;
    return points;
}

bool Values(const FitSetup& setup, const ObservablePoints& points, const std::vector<double>& theta, std::size_t set,
            std::vector<double>& y)
{
    const SetModel model = ApplyParameters(setup.parameters, theta, setup.base, int(set));
    if (!EvaluateObservable(points, model.inputs, setup.threads, setup.stopRequested, y))
        return false;
    for (double& v : y)
        v = model.scale * v + model.offset;
    return true;
}

} // namespace

std::optional<std::vector<double>> CurveAbscissae(const DataSet& set, const Inputs& base, bool logarithmic, int count)
{
    std::vector<double> keys = set.points.keys;
    if (set.points.observable.kind == ObservableKind::Total) {
        if (set.points.inputs.size() != 1)
            return std::nullopt;
        for (const std::vector<double>& row : set.points.rows)
            keys.push_back(row.front());
    }
    const auto [lowest, highest] = std::minmax_element(keys.begin(), keys.end());
    double first = set.points.observable.kind == ObservableKind::Total || logarithmic ? *lowest
                                                                                      : std::min(0.0, *lowest);
    double last = *highest;
    if (const std::optional<SampleSpan> span = InterpolatedSpan(set.points.observable, base)) {
        first = std::max(first, span->first);
        last = std::min(last, span->last);
    }
    std::vector<double> x;
    const bool log = logarithmic && first > 0.0;
    for (int k = 0; k < count; ++k) {
        const double f = count > 1 ? double(k) / (count - 1) : 0.0;
        x.push_back(log ? std::exp(std::log(first) + f * (std::log(last) - std::log(first)))
                        : first + f * (last - first));
    }
    return x;
}

bool FitCurve(const FitSetup& setup, const FitResult& result, std::size_t set, const std::vector<double>& x,
              FitCurveSamples& curve)
{
    const ObservablePoints points = PointsAt(setup.sets[set], x);
    const std::vector<double> theta = EstimateValues(result);
    curve.x = x;
    if (!Values(setup, points, theta, set, curve.y))
        return false;
    // The curve's gradient in each parameter, by the fit's own differences.
    const std::size_t p = theta.size(), n = x.size();
    std::vector<double> gradient(n * p), plus, minus;
    for (std::size_t j = 0; j < p; ++j) {
        const FitParameter& param = setup.parameters[j];
        const double h = kRelativeStep * (theta[j] != 0.0 ? std::abs(theta[j]) : 1.0);
        double high = std::min(theta[j] + h, param.high), low = std::max(theta[j] - h, param.low);
        if (param.input != nullptr) {
            high = double(float(high));
            low = double(float(low));
        }
        std::vector<double> at = theta;
        at[j] = high;
        if (!Values(setup, points, at, set, plus))
            return false;
        at[j] = low;
        if (!Values(setup, points, at, set, minus))
            return false;
        for (std::size_t i = 0; i < n; ++i)
            gradient[i * p + j] = high > low ? (plus[i] - minus[i]) / (high - low) : 0.0;
    }
    curve.low.resize(n);
    curve.high.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        double variance = 0.0;
        for (std::size_t j = 0; j < p; ++j)
            for (std::size_t k = 0; k < p; ++k)
                variance += gradient[i * p + j] * result.covariance[j * p + k] * gradient[i * p + k];
        const double half = result.quantile95 * std::sqrt(std::max(variance, 0.0));
        curve.low[i] = curve.y[i] - half;
        curve.high[i] = curve.y[i] + half;
    }
    return true;
}

std::variant<FitFigureData, std::string> FitFigure(const FitSetup& setup, const FitResult& result, bool logarithmic,
                                                   Language language)
{
    const bool de = language == Language::De;
    FitFigureData figure;
    const DataSet& first = setup.sets.front();
    const Observable& observable = first.points.observable;
    switch (observable.kind) {
    case ObservableKind::Profile:
        figure.xLabel = de ? "Tiefe [mm]" : kDepthEnglishName;
        figure.yLabel = observable.profile->englishName;
        break;
    case ObservableKind::Curve:
        figure.xLabel = de ? "Stimulationszeit [s]" : kTimeEnglishName;
        figure.yLabel = observable.curve->englishName;
        break;
    case ObservableKind::Total:
        figure.xLabel = first.keyColumns.front();
        figure.yLabel = observable.column;
        break;
    }
    const double spread = setup.Weighted() ? 1.0 : std::sqrt(result.reducedChi2);
    for (std::size_t s = 0; s < setup.sets.size(); ++s) {
        const DataSet& set = setup.sets[s];
        const std::optional<std::vector<double>> x = CurveAbscissae(set, setup.base, logarithmic);
        if (!x || set.keyColumns != first.keyColumns)
            return "a fit figure draws every data set against one and the same independent column; '" + set.name +
                   "' has " + std::to_string(set.keyColumns.size());
        FitFigureSet shown;
        shown.name = std::filesystem::path(set.name).filename().string(); // the legend's name of the set
        for (std::size_t i = 0; i < set.observed.size(); ++i) {
            shown.x.push_back(observable.kind == ObservableKind::Total ? set.points.rows[i].front()
                                                                       : set.points.keys[i]);
            shown.y.push_back(set.observed[i]);
            const double sigma = set.sigma.empty() ? spread : set.sigma[i];
            shown.sigma.push_back(sigma);
            shown.residual.push_back((set.observed[i] - result.fitted[s][i]) / sigma);
        }
        FitCurveSamples curve;
        if (!FitCurve(setup, result, s, *x, curve))
            return FitFigureData{};
        shown.curveX = curve.x;
        shown.curveY = curve.y;
        shown.low = curve.low;
        shown.high = curve.high;
        figure.sets.push_back(std::move(shown));
    }
    return figure;
}

} // namespace tamrisk
