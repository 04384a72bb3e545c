// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/InputTable.h"
#include "model/Inputs.h"

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tamrisk {

// The two parameters of the data side: measured = scale * model + offset.
inline constexpr const char* kScaleParameter = "scale";
inline constexpr const char* kOffsetParameter = "offset";

// One --free or --free-each: NAME[=START][:LO:HI].
struct FreeOption {
    std::string name;
    std::optional<double> start;
    std::optional<double> low;
    std::optional<double> high;
    bool each = false; // one value per data set
};

struct FreeOptionProblem {
    std::string message;
    std::string unknownName; // set when NAME is not a parameter that can be freed
};

// Reads NAME[=START][:LO:HI]; an empty LO or HI leaves that side open.
std::optional<FreeOptionProblem> ParseFreeOption(std::string_view text, bool each, FreeOption& freed);

// The names --free takes: the real inputs of the model, scale and offset.
std::vector<std::string> FreeableNames();

// One parameter of the fit.
struct FitParameter {
    std::string name;      // "extinction", or "scale[2]" for data set 2 of a per-set one
    std::string base;      // "extinction", "scale"
    const InputRow* input; // nullptr for scale and offset
    int set;               // -1: shared by every data set; else the set (from 0)
    double start;
    double low;  // -inf when open
    double high; // +inf when open
};

// The parameters of the freedOptions for `sets` data sets: the shared ones, then
// each per-set one for every set. The start is the input as it stands (1 for
// scale, 0 for offset) unless given; an input that cannot be negative
// (extinction, evaluation time, decay rate, dose rate) is bounded below by 0
// unless given. Refuses a name given twice and a start outside its bounds.
std::variant<std::vector<FitParameter>, std::string> MakeFitParameters(const std::vector<FreeOption>& freedOptions,
                                                                       std::size_t sets, const Inputs& base);

// What one data set is fitted with at parameter values x.
struct SetModel {
    Inputs inputs;
    double scale = 1.0;
    double offset = 0.0;
};
SetModel ApplyParameters(const std::vector<FitParameter>& parameters, const std::vector<double>& x, const Inputs& base,
                         int set);

} // namespace tamrisk
