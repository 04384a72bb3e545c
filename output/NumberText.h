// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace tamrisk {

// General notation with `digits` significant digits and the decimal point:
// fixed for 0.1 <= |x| < 10^digits, otherwise d.ddde+XXX; the notation is
// chosen from the exact value, halves round away from zero, trailing zeros
// are dropped but the point stays ("10.", "1.e-005"). Non-finite values
// give "nan", "inf" or "-inf".
std::string FormatGeneral(double value, int digits);

// One data cell of the output files: FormatGeneral with 6 digits, "0"
// appended after a final point, and the decimal comma ("1,0", "5,e-002").
std::string FormatCell(double value);

// The room WriteFormatCell needs.
inline constexpr int kFormatCellCapacity = 72;
// Writes FormatCell(value) to out and returns the end of the text.
char* WriteFormatCell(char* out, double value);

} // namespace tamrisk
