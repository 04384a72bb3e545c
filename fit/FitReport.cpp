// SPDX-License-Identifier: GPL-3.0-or-later
#include "fit/FitReport.h"

#include "output/CleanText.h"

#include <algorithm>
#include <cmath>

namespace tamrisk {

namespace {

struct IntervalColumn {
    const char* low;
    const char* high;
    Interval ParameterEstimate::*interval;
    bool profile;
};
constexpr IntervalColumn kIntervals[] = {
    {"ci68_low", "ci68_high", &ParameterEstimate::ci68, false},
    {"ci95_low", "ci95_high", &ParameterEstimate::ci95, false},
    {"profile68_low", "profile68_high", &ParameterEstimate::profile68, true},
    {"profile95_low", "profile95_high", &ParameterEstimate::profile95, true},
};

// The independent columns of all sets, in the order first met.
std::vector<std::string> KeyColumns(const FitSetup& setup)
{
    std::vector<std::string> keys;
    for (const DataSet& set : setup.sets)
        for (const std::string& key : set.keyColumns)
            if (std::find(keys.begin(), keys.end(), key) == keys.end())
                keys.push_back(key);
    return keys;
}

double ErrorOf(const FitSetup& setup, const FitResult& result, const DataSet& set, std::size_t i)
{
    return setup.Weighted() ? set.sigma[i] : std::sqrt(result.reducedChi2);
}

// Every residual row as numbers, in the residual table's columns.
std::vector<std::vector<double>> ResidualRows(const FitSetup& setup, const FitResult& result)
{
    const std::vector<std::string> keys = KeyColumns(setup);
    std::vector<std::vector<double>> rows;
    for (std::size_t s = 0; s < setup.sets.size(); ++s) {
        const DataSet& set = setup.sets[s];
        for (std::size_t i = 0; i < set.observed.size(); ++i) {
            std::vector<double> row{double(s + 1)};
            for (const std::string& key : keys) {
                const auto at = std::find(set.keyColumns.begin(), set.keyColumns.end(), key);
                const std::size_t c = std::size_t(at - set.keyColumns.begin());
                if (at == set.keyColumns.end())
                    row.push_back(std::nan(""));
                else
                    row.push_back(set.points.observable.kind == ObservableKind::Total ? set.points.rows[i][c]
                                                                                      : set.points.keys[i]);
            }
            const double fitted = result.fitted[s][i];
            const double sigma = ErrorOf(setup, result, set, i);
            const double residual = set.observed[i] - fitted;
            for (const double v : {set.observed[i], sigma, fitted, residual, residual / sigma})
                row.push_back(v);
            rows.push_back(row);
        }
    }
    return rows;
}

nlohmann::ordered_json Number(double value) { return JsonNumber(value); }

} // namespace

std::vector<std::string> FitColumnNames(const FitSetup& setup)
{
    std::vector<std::string> names = {"parameter", "set", "estimate", "std_error"};
    for (const IntervalColumn& c : kIntervals)
        if (!c.profile || setup.profile) {
            names.emplace_back(c.low);
            names.emplace_back(c.high);
        }
    for (const FitParameter& p : setup.parameters)
        names.push_back("corr_" + p.name);
    for (const char* name : {"chi2", "dof", "reduced_chi2", "p_value"})
        names.emplace_back(name);
    return names;
}

void WriteFitTable(ByteSink& sink, TableFormat format, const FitSetup& setup, const FitResult& result)
{
    sink.Write(CleanLine(format, FitColumnNames(setup)));
    const std::size_t p = setup.parameters.size();
    for (std::size_t j = 0; j < p; ++j) {
        const ParameterEstimate& e = result.estimates[j];
        std::vector<std::string> cells = {setup.parameters[j].name, std::to_string(setup.parameters[j].set + 1),
                                          CleanText(e.estimate), CleanText(e.stdError)};
        for (const IntervalColumn& c : kIntervals)
            if (!c.profile || setup.profile) {
                cells.push_back(CleanText((e.*c.interval).low));
                cells.push_back(CleanText((e.*c.interval).high));
            }
        for (std::size_t k = 0; k < p; ++k)
            cells.push_back(CleanText(result.correlation[j * p + k]));
        cells.push_back(CleanText(result.chi2));
        cells.push_back(std::to_string(result.dof));
        cells.push_back(CleanText(result.reducedChi2));
        cells.push_back(CleanText(result.pValue));
        sink.Write(CleanLine(format, cells));
    }
}

std::vector<std::string> ResidualColumnNames(const FitSetup& setup)
{
    std::vector<std::string> names = {"set"};
    for (const std::string& key : KeyColumns(setup))
        names.push_back(key);
    for (const char* name : {"observed", "sigma", "fitted", "residual", "normalized_residual"})
        names.emplace_back(name);
    return names;
}

void WriteResidualTable(ByteSink& sink, TableFormat format, const FitSetup& setup, const FitResult& result)
{
    sink.Write(CleanLine(format, ResidualColumnNames(setup)));
    for (const std::vector<double>& row : ResidualRows(setup, result)) {
        std::vector<std::string> cells = {std::to_string(int(row.front()))};
        for (std::size_t c = 1; c < row.size(); ++c)
            cells.push_back(CleanText(row[c]));
        sink.Write(CleanLine(format, cells));
    }
}

nlohmann::ordered_json FitJson(const FitSetup& setup, const FitResult& result)
{
    using Json = nlohmann::ordered_json;
    Json data = Json::array();
    for (const DataSet& set : setup.sets)
        data.push_back(set.name);
    Json fit = {{"data", data},
                {"observe", setup.sets.front().points.observable.column},
                {"weighted", setup.Weighted()},
                {"points", setup.Points()},
                {"free", setup.parameters.size()},
                {"iterations", result.iterations},
                {"chi2", Number(result.chi2)},
                {"dof", result.dof},
                {"reduced_chi2", Number(result.reducedChi2)},
                {"p_value", Number(result.pValue)}};
    Json estimates = Json::array();
    Json names = Json::array();
    const std::size_t p = setup.parameters.size();
    for (std::size_t j = 0; j < p; ++j) {
        const FitParameter& param = setup.parameters[j];
        const ParameterEstimate& e = result.estimates[j];
        Json row = {{"parameter", param.name},
                    {"set", param.set < 0 ? Json(nullptr) : Json(setup.sets[std::size_t(param.set)].name)},
                    {"estimate", Number(e.estimate)},
                    {"std_error", Number(e.stdError)}};
        for (const IntervalColumn& c : kIntervals)
            if (!c.profile || setup.profile) {
                std::string key = c.low;
                key.erase(key.rfind("_low"));
                row[key] = Json::array({Number((e.*c.interval).low), Number((e.*c.interval).high)});
            }
        estimates.push_back(row);
        names.push_back(param.name);
    }
    Json matrix = Json::array();
    for (std::size_t j = 0; j < p; ++j) {
        Json line = Json::array();
        for (std::size_t k = 0; k < p; ++k)
            line.push_back(Number(result.correlation[j * p + k]));
        matrix.push_back(line);
    }
    const std::vector<std::string> columns = ResidualColumnNames(setup);
    const std::vector<std::vector<double>> rows = ResidualRows(setup, result);
    Json residuals = Json::object();
    for (std::size_t c = 0; c < columns.size(); ++c) {
        Json column = Json::array();
        for (const std::vector<double>& row : rows)
            column.push_back(c == 0 ? Json(int(row[c])) : Number(row[c]));
        residuals[columns[c]] = column;
    }
    Json notes = Json::array();
    for (const std::string& note : result.notes)
        notes.push_back(note);
    return {{"fit", fit},
            {"estimates", estimates},
            {"correlation", {{"parameters", names}, {"matrix", matrix}}},
            {"residuals", residuals},
            {"notes", notes}};
}

} // namespace tamrisk
