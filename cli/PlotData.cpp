// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/PlotData.h"

#include "plot/FigureData.h"
#include "scan/ScanValues.h"
#include "scan/SweepValues.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <variant>

namespace tamrisk::cli {

namespace {

constexpr const char* kScanColumns[] = {"eff_ratio", "eff_lab_total", "eff_nat_total"};

std::string ScanColumnList()
{
    std::string list;
    for (const char* name : kScanColumns)
        list += (list.empty() ? "" : ", ") + std::string(name);
    return list;
}

struct Table {
    std::vector<std::string> names;
    std::vector<std::vector<double>> columns;

    const std::vector<double>* Column(const std::string& name) const
    {
        const auto at = std::find(names.begin(), names.end(), name);
        return at == names.end() ? nullptr : &columns[std::size_t(at - names.begin())];
    }
};

std::vector<std::string> Split(const std::string& line, char separator)
{
    std::vector<std::string> cells;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = line.find(separator, start);
        cells.push_back(line.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            return cells;
        start = end + 1;
    }
}

std::optional<std::string> ReadTable(const std::string& path, Table& table)
{
    if (path.ends_with(".json") || path.ends_with(".txt"))
        return path + " is no CSV or TSV table: write the scan or the sweep with --format csv or tsv";
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return "cannot read " + path;
    const bool tsv = path.size() >= 4 && path.substr(path.size() - 4) == ".tsv";
    const char separator = tsv ? '\t' : ',';
    std::string line;
    std::size_t number = 0;
    while (std::getline(file, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        const std::vector<std::string> cells = Split(line, separator);
        if (table.names.empty()) {
            table.names = cells;
            table.columns.resize(cells.size());
            continue;
        }
        if (cells.size() != table.names.size())
            return path + ", line " + std::to_string(number) + ": " + std::to_string(cells.size()) +
                   " cells where the header names " + std::to_string(table.names.size());
        for (std::size_t c = 0; c < cells.size(); ++c) {
            char* end = nullptr;
            const double value = std::strtod(cells[c].c_str(), &end);
            if (cells[c].empty() || end != cells[c].c_str() + cells[c].size())
                return path + ", line " + std::to_string(number) + ": \"" + cells[c] + "\" is not a number";
            table.columns[c].push_back(value);
        }
    }
    if (table.names.empty() || table.columns.front().empty())
        return path + " holds no rows: a scan's or a sweep's CSV or TSV table is needed";
    return std::nullopt;
}

// The distinct values of a column in the order they first appear.
std::vector<double> Distinct(const std::vector<double>& values)
{
    std::vector<double> distinct;
    for (double v : values)
        if (std::find(distinct.begin(), distinct.end(), v) == distinct.end())
            distinct.push_back(v);
    return distinct;
}

} // namespace

bool LogarithmicallySpaced(const std::vector<double>& values)
{
    if (values.size() < 3 || !(values.front() > 0.0))
        return false;
    const double n = double(values.size() - 1);
    const double linearStep = (values.back() - values.front()) / n;
    const double logStep = std::log(values.back() / values.front()) / n;
    double linearMiss = 0.0, logMiss = 0.0;
    for (std::size_t k = 0; k < values.size(); ++k) {
        linearMiss = std::max(linearMiss, std::fabs(values[k] - (values.front() + linearStep * double(k))) /
                                              std::fabs(values.back() - values.front()));
        logMiss = std::max(logMiss, std::fabs(std::log(values[k] / values.front()) - logStep * double(k)) /
                                        std::fabs(std::log(values.back() / values.front())));
    }
    return logMiss < linearMiss;
}

std::optional<std::string> ComputeScanFigureData(const ScanGrid& grid, const ModelParameters& params, int threads,
                                                 const std::string& column, FigureData& out,
                                                 const std::function<bool()>& stopRequested, bool& stopped)
{
    if (std::find(std::begin(kScanColumns), std::end(kScanColumns), column) == std::end(kScanColumns))
        return "a scan map shows one of " + ScanColumnList() + ", not " + column;
    const std::int64_t passes = ScanAxisCount(grid.extinction), times = ScanAxisCount(grid.evalTime);
    if (passes < 2 || times < 2)
        return "a map needs at least two values on each axis (--ext-steps and --time-steps of 1 or more)";
    const auto perPass = static_cast<std::size_t>(passes), perTime = static_cast<std::size_t>(times);
    std::vector<float> extinction(perPass), halfValue(perPass), transmission(perPass), evalTime(perTime);
    std::vector<float> lab(perPass * perTime), nat(perPass * perTime);
    std::vector<double> ratio(perPass * perTime);
    const ScanValueArrays arrays{extinction.data(), halfValue.data(), transmission.data(), evalTime.data(),
                                 lab.data(),        nat.data(),       ratio.data()};
    stopped = !ComputeScanValues(grid, params, threads, arrays, stopRequested);
    if (stopped)
        return std::nullopt;
    out.xColumn = "eval_time_s";
    out.yColumn = "extinction_per_mm";
    out.zColumn = column;
    out.x.assign(evalTime.begin(), evalTime.end());
    out.y.assign(extinction.begin(), extinction.end());
    out.xLog = grid.evalTime.logarithmic;
    out.yLog = grid.extinction.logarithmic;
    if (column == "eff_ratio")
        out.z = ratio;
    else
        out.z.assign(column == "eff_lab_total" ? lab.begin() : nat.begin(),
                     column == "eff_lab_total" ? lab.end() : nat.end());
    if (!StrictlyRising(out.x) || !StrictlyRising(out.y))
        return "a map needs rising axes: give each axis's start below its end";
    return std::nullopt;
}

std::optional<std::string> ComputeSweepFigureData(const SweepPlan& plan, const Inputs& base, int threads,
                                                  const std::string& column, FigureData& out,
                                                  const std::function<bool()>& stopRequested, bool& stopped)
{
    if (plan.axes.size() != 2)
        return "a family of curves varies two inputs: --vary the input along the horizontal axis, then --vary "
               "the one whose values make the curves";
    const std::vector<std::string> names = SweepColumnNames(plan);
    const auto at = std::find(names.begin(), names.end(), column);
    if (at == names.end()) {
        std::string list;
        for (const std::string& name : names)
            list += (list.empty() ? "" : ", ") + name;
        return "the sweep has no column " + column + "; it has " + list;
    }
    const std::size_t wanted = std::size_t(at - names.begin());
    const std::int64_t points = SweepPointCount(plan);
    const std::vector<bool> inDouble = SweepColumnsInDouble(plan);
    std::vector<std::vector<float>> floats(names.size());
    std::vector<std::vector<double>> doubles(names.size());
    std::vector<SweepValueColumn> columns;
    for (std::size_t c = 0; c < names.size(); ++c) {
        if (inDouble[c]) {
            doubles[c].resize(std::size_t(points));
            columns.emplace_back(doubles[c].data());
        } else {
            floats[c].resize(std::size_t(points));
            columns.emplace_back(floats[c].data());
        }
    }
    stopped = !ComputeSweepValues(plan, base, {0, points}, threads, columns, stopRequested);
    if (stopped)
        return std::nullopt;
    const std::int64_t n0 = plan.axes[0].Count(), n1 = plan.axes[1].Count();
    out.xColumn = plan.axes[0].ColumnName();
    out.yColumn = plan.axes[1].ColumnName();
    out.zColumn = column;
    out.x.clear();
    out.y.clear();
    for (std::int64_t k = 0; k < n0; ++k)
        out.x.push_back(plan.axes[0].Value(k));
    for (std::int64_t k = 0; k < n1; ++k)
        out.y.push_back(plan.axes[1].Value(k));
    out.xLog = plan.axes[0].input->kind != InputKind::Switch && plan.axes[0].range.logarithmic;
    // Row a * n1 + b holds x[a] and curve b.
    out.z.assign(std::size_t(n0 * n1), 0.0);
    for (std::int64_t a = 0; a < n0; ++a)
        for (std::int64_t b = 0; b < n1; ++b) {
            const std::size_t row = std::size_t(a * n1 + b);
            out.z[std::size_t(b * n0 + a)] = inDouble[wanted] ? doubles[wanted][row] : double(floats[wanted][row]);
        }
    return std::nullopt;
}

std::optional<std::string> ReadFigureTable(const std::string& path, PlotKind kind, const std::string& column,
                                           FigureData& out)
{
    Table table;
    if (std::optional<std::string> problem = ReadTable(path, table))
        return problem;
    const std::vector<double>* values = table.Column(column);
    if (values == nullptr)
        return path + " has no column " + column;
    std::string xName, yName;
    if (kind == PlotKind::Scan) {
        xName = "eval_time_s";
        yName = "extinction_per_mm";
    } else {
        std::vector<std::string> axes;
        for (const std::string& name : table.names) {
            if (name == "eff_lab_total")
                break;
            if (name != "half_value_depth_mm" && name != "transmission")
                axes.push_back(name);
        }
        if (axes.size() != 2)
            return path + " is not a sweep over two inputs: its columns before eff_lab_total name " +
                   std::to_string(axes.size()) + " varied inputs";
        xName = axes[0];
        yName = axes[1];
    }
    const std::vector<double>* xs = table.Column(xName);
    const std::vector<double>* ys = table.Column(yName);
    if (xs == nullptr || ys == nullptr)
        return path + " is not a scan table: it needs the columns " + xName + " and " + yName;
    // A scan's rows run over the evaluation times within each extinction, a
    // sweep's over the second input within each value of the first.
    const std::vector<double>& outer = kind == PlotKind::Scan ? *ys : *xs;
    const std::vector<double>& inner = kind == PlotKind::Scan ? *xs : *ys;
    const std::vector<double> outerValues = Distinct(outer), innerValues = Distinct(inner);
    const std::size_t no = outerValues.size(), ni = innerValues.size();
    if (no * ni != values->size())
        return path + " does not hold a whole grid: " + std::to_string(values->size()) + " rows for " +
               std::to_string(no) + " × " + std::to_string(ni) + " points";
    for (std::size_t r = 0; r < values->size(); ++r)
        if (outer[r] != outerValues[r / ni] || inner[r] != innerValues[r % ni])
            return path + ", row " + std::to_string(r + 1) + ": the rows are not in the table's grid order";
    out.xColumn = xName;
    out.yColumn = yName;
    out.zColumn = column;
    out.z.assign(values->size(), 0.0);
    // Inputs and totals are stored in single precision: their shortest texts
    // are read back to the very numbers the computation gives.
    const auto single = [](std::vector<double> v) {
        for (double& x : v)
            x = double(float(x));
        return v;
    };
    const bool singleValues = column == "eff_lab_total" || column == "eff_nat_total";
    if (kind == PlotKind::Scan) {
        out.x = single(innerValues);
        out.y = single(outerValues);
        out.z = singleValues ? single(*values) : *values; // extinction i, time j at i * times + j
        out.xLog = LogarithmicallySpaced(out.x);
        out.yLog = LogarithmicallySpaced(out.y);
    } else {
        out.x = single(outerValues);
        out.y = single(innerValues);
        const std::vector<double> z = singleValues ? single(*values) : *values;
        for (std::size_t a = 0; a < no; ++a)
            for (std::size_t b = 0; b < ni; ++b)
                out.z[b * no + a] = z[a * ni + b];
        out.xLog = LogarithmicallySpaced(out.x);
    }
    return std::nullopt;
}

} // namespace tamrisk::cli
