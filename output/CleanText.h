// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace tamrisk {

// Number texts of the clean tables: the shortest decimal text that reads back
// to the same value, with a decimal point; "NaN", "Inf" and "-Inf" for
// non-finite values, as pandas and R read them.
std::string CleanText(float value);
std::string CleanText(double value);

// The room WriteCleanText needs.
inline constexpr int kCleanTextCapacity = 32;
// Writes CleanText(value) to out and returns the end of the text.
char* WriteCleanText(char* out, float value);
char* WriteCleanText(char* out, double value);

// A float as the double that its shortest text reads as, so that a JSON
// writer's shortest double text is the float's shortest text ("0.1", not
// "0.10000000149011612"); reading it back and rounding to float gives the
// same float.
double FloatForJson(float value);

} // namespace tamrisk
