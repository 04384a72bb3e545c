// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/FigureOptions.h"

#include <optional>
#include <string>
#include <vector>

namespace tamrisk {

// One axis of a figure: the values at its two ends, linear or logarithmic.
struct FigureAxis {
    double lo = 0.0;
    double hi = 1.0;
    bool log = false;

    // Where v lies along the axis, 0 at lo and 1 at hi (beyond for values
    // outside); nothing for a value with no place on it: not finite, or 0
    // or below on a logarithmic axis.
    std::optional<double> Fraction(double v) const;
};

struct AxisTicks {
    std::vector<double> major; // numbered
    std::vector<double> minor;
    double step = 0.0; // linear axes: distance of the major ticks
};

// Ticks at round numbers: 1, 2 or 5 x 10^k apart on a linear axis, whole
// decades on a logarithmic one (1, 2, 5 x 10^k where the axis spans less
// than a decade). They cover the axis: no gap of a whole step at either end.
AxisTicks MakeTicks(const FigureAxis& axis);

// The number of a major tick as Pango markup: as many decimals as the step
// needs, powers of ten beyond 10^-3 .. 10^4 on logarithmic axes, the decimal
// comma and a true minus sign where the language asks for them. Exponents
// are raised by a share of the font size (pt).
std::string TickText(double value, const FigureAxis& axis, const AxisTicks& ticks, Language language, double fontSize);

// An axis that ends on round numbers, for printed figures. Linear: the top
// raised by `headroom` of the span, then both ends moved out to the next
// major tick, so the axis ends on numbered ticks. Logarithmic: whole decades.
FigureAxis RoundedAxis(double lo, double hi, bool log, double headroom);

// An integer as superscript characters: "⁻¹²".
std::string Superscript(int n);

// The power of ten a linear axis's numbers are written in units of (its
// label then carries "×10ⁿ"), or 0 where the numbers read well as they are.
int AxisExponent(const FigureAxis& axis, const AxisTicks& ticks);

// The number of a major tick in a printed figure, plain text: decades of a
// logarithmic axis all as 10ⁿ; a linear axis's numbers in units of
// 10^exponent with as many decimals as the step needs, the decimal comma and
// a true minus sign where the language asks for them.
std::string PrintTickText(double value, const FigureAxis& axis, const AxisTicks& ticks, Language language,
                          int exponent);

// "×10⁻¹²" put into an axis label: inside its unit's brackets, or after it.
std::string LabelWithFactor(const std::string& label, int exponent);

} // namespace tamrisk
