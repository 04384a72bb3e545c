// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace tamrisk {

// The shortest text that reads back to the same double ("0.1", "1e+39",
// "inf", "nan"); "" where it cannot be written.
std::string ShortestText(double value);

} // namespace tamrisk
