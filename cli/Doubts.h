// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/ModelParameters.h"

#include <span>
#include <string>
#include <vector>

namespace tamrisk::cli {

// What the tool warns of rather than pass silently: inputs outside their
// physical range and results that are not finite numbers. The output is
// still written as the model defines it, unless --strict is given.
class Doubts {
public:
    // The model parameters outside their physical range, named by their options.
    // `varied` parameters (set by a scan's or sweep's axes) are left to the axis checks.
    void CheckParameters(const ModelParameters& params, std::span<const std::string> varied = {});
    // Values of one kind of result that are not finite.
    void CheckFinite(const std::string& what, std::span<const float> values);
    void CheckFinite(const std::string& what, double value);
    void Add(std::string note) { notes_.push_back(std::move(note)); }

    const std::vector<std::string>& notes() const { return notes_; }

private:
    std::vector<std::string> notes_;
};

} // namespace tamrisk::cli
