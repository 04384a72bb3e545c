// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string_view>

namespace tamrisk {

// Text to number exactly as C atof reads it, but always in the C locale:
// leading white space skipped, the longest numeric prefix taken (sign,
// decimal point, exponent, hex, "inf", "nan"), 0 for no number at all.
double ParseNumber(std::string_view text);

// Text to integer as C atoi reads it, in the C locale; a value beyond the
// 32-bit range clamps to INT_MIN or INT_MAX instead of overflowing.
int ParseInteger(std::string_view text);

// The whole text is one number ("1e3", "-0.5", "inf"); nothing else. A
// value beyond double's range reads as atof reads it (infinity or 0).
std::optional<double> ParseStrictNumber(std::string_view text);

} // namespace tamrisk
