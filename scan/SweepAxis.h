// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/InputTable.h"
#include "scan/ScanGrid.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tamrisk {

// One varied input of a sweep: a numeric input over a scan axis, or a switch
// over the listed states.
struct SweepAxis {
    const InputRow* input = nullptr;
    ScanAxis range;           // numeric inputs
    std::vector<bool> states; // switches, in the order given

    std::int64_t Count() const;
    // Value number k as the model uses it: the axis value rounded to single
    // precision, or 0 and 1 for a switch.
    double Value(std::int64_t k) const;
    // The column name: the input's name with its unit, "rate1_per_s".
    std::string ColumnName() const;
    // Sets the input to value number k as its option would.
    void Set(Inputs& inputs, std::int64_t k) const;
};

struct SweepAxisProblem {
    std::string message;
    std::string unknownName; // set when NAME is no input that can be varied
};

// Reads "NAME=START:END:STEPS[:log|:lin]" or, for a switch, "NAME=0,1".
// Refuses a name that is no real-valued input of the window, a number that
// is not one whole number text and an axis without defined values
// (CheckAxis). A step count below 0 gives an axis without values, as in the scan.
std::optional<SweepAxisProblem> ParseSweepAxis(std::string_view text, SweepAxis& axis);

// The names ParseSweepAxis takes.
std::vector<std::string> SweepableNames();

} // namespace tamrisk
