// SPDX-License-Identifier: GPL-3.0-or-later
#include "fit/FitData.h"

#include "model/ParseText.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>

namespace tamrisk {

namespace {

std::vector<std::string> SplitCells(std::string_view line, char separator)
{
    std::vector<std::string> cells;
    for (std::size_t begin = 0;;) {
        const std::size_t end = line.find(separator, begin);
        cells.emplace_back(line.substr(begin, end == std::string_view::npos ? std::string_view::npos : end - begin));
        if (end == std::string_view::npos)
            return cells;
        begin = end + 1;
    }
}

bool EndsWithTsv(std::string_view name)
{
    if (name.size() < 4)
        return false;
    std::string ending(name.substr(name.size() - 4));
    std::transform(ending.begin(), ending.end(), ending.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return ending == ".tsv";
}

std::string Quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

std::string RowName(std::size_t row, int line)
{
    return "row " + std::to_string(row) + " (line " + std::to_string(line) + ")";
}

} // namespace

std::variant<DataSet, DataProblem> ReadDataSet(const std::string& name, std::string_view text,
                                               const std::string& column, const std::string& sigmaColumn)
{
    const std::string file = Quoted(name);
    // A spreadsheet's UTF-8 mark before the header is no part of its first name.
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    std::vector<std::string_view> lines;
    for (std::size_t begin = 0; begin < text.size();) {
        std::size_t end = text.find('\n', begin);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(begin, end - begin);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        begin = end + 1;
    }
    while (!lines.empty() && lines.back().empty())
        lines.pop_back();
    if (lines.empty())
        return DataProblem{file + " is empty: it needs a header row and data rows", {}, {}};

    const std::string_view head = lines.front();
    const bool tabs = EndsWithTsv(name) ||
                      (head.find('\t') != std::string_view::npos && head.find(',') == std::string_view::npos);
    const char separator = tabs ? '\t' : ',';
    const std::vector<std::string> header = SplitCells(head, separator);
    const auto columnOf = [&](std::string_view wanted) -> std::optional<std::size_t> {
        const auto at = std::find(header.begin(), header.end(), wanted);
        return at == header.end() ? std::nullopt : std::optional(std::size_t(at - header.begin()));
    };

    std::optional<Observable> found;
    if (columnOf(kDepthColumn))
        found = FindObservable(column, ObservableKind::Profile);
    if (!found && columnOf(kTimeColumn))
        found = FindObservable(column, ObservableKind::Curve);
    if (!found)
        found = FindObservable(column, ObservableKind::Total);
    if (!found)
        found = FindObservable(column);
    if (!found)
        return DataProblem{"'" + column + "' is no column of the model's tables", column, ObservableNames()};
    const Observable& observable = *found;
    DataSet set;
    set.name = name;
    set.points.observable = observable;
    std::vector<std::size_t> keyAt;
    if (observable.kind == ObservableKind::Total) {
        for (std::size_t c = 0; c < header.size(); ++c)
            if (const InputRow* input = FindInputColumn(header[c]); input && header[c] != sigmaColumn) {
                set.points.inputs.push_back(input);
                set.keyColumns.push_back(header[c]);
                keyAt.push_back(c);
            }
        if (keyAt.empty()) {
            std::string names;
            for (const InputColumn& c : InputColumns())
                names += (names.empty() ? "" : ", ") + c.column;
            return DataProblem{file + " has no column that names an input of the model, against which " +
                                   Quoted(observable.column) + " is fitted (one or more of " + names + ")",
                               {},
                               {}};
        }
    } else {
        const char* key = observable.kind == ObservableKind::Profile ? kDepthColumn : kTimeColumn;
        const std::optional<std::size_t> at = columnOf(key);
        if (!at)
            return DataProblem{file + " has no column " + Quoted(key) + ", against which " + Quoted(observable.column) +
                                   " is fitted",
                               key, header};
        set.keyColumns.push_back(key);
        keyAt.push_back(*at);
    }
    const std::optional<std::size_t> observedAt = columnOf(observable.column);
    if (!observedAt)
        return DataProblem{file + " has no column " + Quoted(observable.column) + " (--observe)", observable.column,
                           header};
    std::optional<std::size_t> sigmaAt;
    if (!sigmaColumn.empty()) {
        sigmaAt = columnOf(sigmaColumn);
        if (!sigmaAt)
            return DataProblem{file + " has no column " + Quoted(sigmaColumn) + " (--sigma)", sigmaColumn, header};
    }

    // The point of each row, to find rows that repeat one: the values as the model uses them.
    std::map<std::vector<float>, std::size_t> seen;
    for (std::size_t k = 1; k < lines.size(); ++k) {
        const int line = int(k) + 1;
        const std::string where = file + " " + RowName(k, line);
        const std::vector<std::string> cells = SplitCells(lines[k], separator);
        if (cells.size() != header.size())
            return DataProblem{where + " has " + std::to_string(cells.size()) + " cells, the header " +
                                   std::to_string(header.size()),
                               {},
                               {}};
        const auto number = [&](std::size_t c, double& value) -> std::optional<DataProblem> {
            const std::string cell = where + ", column " + Quoted(header[c]) + ": " + Quoted(cells[c]);
            const std::optional<double> parsed = ParseStrictNumber(cells[c]);
            if (!parsed)
                return DataProblem{cell + " is not a number", {}, {}};
            if (!std::isfinite(*parsed))
                return DataProblem{cell + " is not a finite number", {}, {}};
            value = *parsed;
            return std::nullopt;
        };
        std::vector<double> keys(keyAt.size());
        for (std::size_t c = 0; c < keyAt.size(); ++c)
            if (std::optional<DataProblem> problem = number(keyAt[c], keys[c]))
                return *problem;
        double observed = 0.0;
        if (std::optional<DataProblem> problem = number(*observedAt, observed))
            return *problem;
        if (sigmaAt) {
            double sigma = 0.0;
            if (std::optional<DataProblem> problem = number(*sigmaAt, sigma))
                return *problem;
            if (!(sigma > 0.0))
                return DataProblem{where + ", column " + Quoted(sigmaColumn) + ": the standard error " +
                                       Quoted(cells[*sigmaAt]) + " must be above 0",
                                   {},
                                   {}};
            set.sigma.push_back(sigma);
        }
        std::vector<float> point(keys.begin(), keys.end());
        if (const auto [at, fresh] = seen.emplace(point, k); !fresh)
            return DataProblem{file + " " + RowName(at->second, int(at->second) + 1) + " and " + RowName(k, line) +
                                   " are the same point (" + set.keyColumns.front() + " " + cells[keyAt.front()] +
                                   (keys.size() > 1 ? ", ..." : "") + ")",
                               {},
                               {}};
        if (observable.kind == ObservableKind::Total)
            set.points.rows.push_back(keys);
        else
            set.points.keys.push_back(keys.front());
        set.observed.push_back(observed);
        set.lines.push_back(line);
    }
    if (set.observed.empty())
        return DataProblem{file + " has a header but no data rows", {}, {}};
    return set;
}

} // namespace tamrisk
