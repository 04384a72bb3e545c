// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace tamrisk {

// The eight members of the grid dialog, as texts and check states.
struct ScanGridTexts {
    std::string evalTimeSteps = "20";
    std::string evalTimeStart = "1";
    std::string evalTimeEnd = "10000";
    bool extinctionLog = true;
    std::string extinctionSteps = "20";
    std::string extinctionStart = "1";
    std::string extinctionEnd = "10000";
    bool evalTimeLog = true;
};

} // namespace tamrisk
