// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fit/FitObservable.h"

#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tamrisk {

// One file of measured data: the points, the measured values and their
// standard errors.
struct DataSet {
    std::string name;
    ObservablePoints points;
    std::vector<std::string> keyColumns; // the independent columns, in the file's order
    std::vector<double> observed;
    std::vector<double> sigma; // empty: equal weights
    std::vector<int> lines;    // each point's line in the file, the header being line 1
};

// Why a data file cannot be fitted; `unknownName` and `known` give a "did you mean".
struct DataProblem {
    std::string message;
    std::string unknownName;
    std::vector<std::string> known;
};

// Reads a clean table (CSV, or TSV for a name ending in .tsv or a header with
// TABs and no commas) of measured values of the observable `column` (one
// FindObservable knows) in the column of that name, against the independent column its kind needs: depth_mm for a
// profile column, time_s for a curve, and for a total or read-out every
// column that names a real input (eval_time_s, extinction_per_mm, ...).
// `sigmaColumn` names the standard errors; "" for equal weights. Refuses a
// missing column, a cell of a needed column that is not a finite number
// (naming its row and column), a standard error of 0 or below, duplicate
// points and a file without data rows. A name that is a profile column and a
// total (eff_ratio) is the profile's where the file has depth_mm.
std::variant<DataSet, DataProblem> ReadDataSet(const std::string& name, std::string_view text,
                                               const std::string& column, const std::string& sigmaColumn);

} // namespace tamrisk
