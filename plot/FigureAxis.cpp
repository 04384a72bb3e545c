// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/FigureAxis.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tamrisk {

namespace {

// Tolerance for "on a tick" in units of the step: the products i * step are
// not exact in binary.
constexpr double kOnTick = 1e-9;

double NiceStep(double span, double intervals)
{
    const double raw = span / intervals;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double mantissa : {1.0, 2.0, 5.0})
        if (mantissa * power >= raw * (1.0 - kOnTick))
            return mantissa * power;
    return 10.0 * power;
}

// i * step for every whole i with lo <= i * step <= hi.
std::vector<double> Multiples(double lo, double hi, double step)
{
    std::vector<double> values;
    const double first = std::ceil(lo / step - kOnTick);
    const double last = std::floor(hi / step + kOnTick);
    for (double i = first; i <= last; i += 1.0)
        values.push_back(i * step == 0.0 ? 0.0 : i * step);
    return values;
}

AxisTicks LinearTicks(const FigureAxis& axis)
{
    AxisTicks ticks;
    const double span = axis.hi - axis.lo;
    ticks.step = NiceStep(span, 8.0);
    ticks.major = Multiples(axis.lo, axis.hi, ticks.step);
    const double mantissa = ticks.step / std::pow(10.0, std::floor(std::log10(ticks.step) + kOnTick));
    const double minorStep = ticks.step / (std::fabs(mantissa - 2.0) < 0.5 ? 4.0 : 5.0);
    for (double v : Multiples(axis.lo, axis.hi, minorStep))
        if (std::fabs(std::remainder(v, ticks.step)) > minorStep * 0.5)
            ticks.minor.push_back(v);
    return ticks;
}

AxisTicks LogTicks(const FigureAxis& axis)
{
    AxisTicks ticks;
    const double lo = std::log10(axis.lo);
    const double hi = std::log10(axis.hi);
    const double firstDecade = std::ceil(lo - kOnTick);
    const double lastDecade = std::floor(hi + kOnTick);
    const double decades = lastDecade - firstDecade + 1.0;
    // At most about eight numbered decades; many decades are thinned out,
    // counted from the top, so that an axis ending on a decade numbers its end.
    const double every = std::max(1.0, std::ceil(decades / 8.0));
    for (double k = firstDecade; k <= lastDecade; k += 1.0) {
        const double decade = std::pow(10.0, k);
        if (std::fmod(lastDecade - k, every) == 0.0)
            ticks.major.push_back(decade);
        else
            ticks.minor.push_back(decade);
    }
    const bool narrow = ticks.major.size() < 2;
    if (hi - lo <= 6.0) {
        for (double k = std::floor(lo); k <= std::ceil(hi); k += 1.0)
            for (double m = 2.0; m <= 9.0; m += 1.0) {
                const double v = m * std::pow(10.0, k);
                if (v < axis.lo * (1.0 - kOnTick) || v > axis.hi * (1.0 + kOnTick))
                    continue;
                if (narrow && (m == 2.0 || m == 5.0))
                    ticks.major.push_back(v);
                else
                    ticks.minor.push_back(v);
            }
    }
    std::sort(ticks.major.begin(), ticks.major.end());
    return ticks;
}

std::string Localised(std::string text, Language language)
{
    if (language == Language::De)
        std::replace(text.begin(), text.end(), '.', ',');
    if (!text.empty() && text.front() == '-')
        text.replace(0, 1, "\u2212");
    return text;
}

// Decimals a number in units of `unit` needs when ticks lie `step` apart.
int Decimals(double step, double unit) { return int(std::max(0.0, -std::floor(std::log10(step / unit) + kOnTick))); }

} // namespace

FigureAxis RoundedAxis(double lo, double hi, bool log, double headroom)
{
    if (log) {
        double a = std::pow(10.0, std::floor(std::log10(lo) + kOnTick));
        double b = std::pow(10.0, std::ceil(std::log10(hi) - kOnTick));
        if (!(b > a))
            b = a * 10.0;
        return {a, b, true};
    }
    if (!(hi > lo))
        hi = lo + 1.0;
    FigureAxis axis{lo, hi + headroom * (hi - lo), false};
    // The step follows the span, and the span the step: a few rounds settle both.
    for (int round = 0; round < 4; ++round) {
        const double step = MakeTicks(axis).step;
        const FigureAxis next{std::floor(lo / step + kOnTick) * step,
                              std::ceil((hi + headroom * (hi - lo)) / step - kOnTick) * step, false};
        if (next.lo == axis.lo && next.hi == axis.hi)
            break;
        axis = next;
    }
    if (std::fabs(axis.lo) < 1e-300)
        axis.lo = 0.0;
    return axis;
}

std::string Superscript(int n)
{
    static const char* const kDigits[] = {"\u2070", "\u00b9", "\u00b2", "\u00b3", "\u2074",
                                          "\u2075", "\u2076", "\u2077", "\u2078", "\u2079"};
    std::string text = n < 0 ? "\u207b" : "";
    for (char c : std::to_string(n < 0 ? -n : n))
        text += kDigits[c - '0'];
    return text;
}

int AxisExponent(const FigureAxis& axis, const AxisTicks& ticks)
{
    if (axis.log || ticks.major.empty())
        return 0;
    const double largest = std::max(std::fabs(ticks.major.front()), std::fabs(ticks.major.back()));
    if (!(largest > 0.0) || (largest >= 1e-3 && largest < 1e4))
        return 0;
    return int(std::floor(std::log10(largest) + kOnTick));
}

std::string PrintTickText(double value, const FigureAxis& axis, const AxisTicks& ticks, Language language, int exponent)
{
    if (axis.log) {
        const double k = std::floor(std::log10(value) + kOnTick);
        const double mantissa = std::round(value / std::pow(10.0, k));
        const std::string power = "10" + Superscript(int(k));
        return mantissa == 1.0 ? power : std::to_string(int(mantissa)) + "\u00d7" + power;
    }
    const double unit = std::pow(10.0, exponent);
    if (std::fabs(value) < ticks.step * kOnTick)
        value = 0.0;
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", Decimals(ticks.step, unit), value / unit);
    std::string localised = Localised(text, language);
    if (localised == "\u22120" || localised.starts_with("\u22120,") || localised.starts_with("\u22120.")) {
        if (localised.find_first_not_of("0.,", 3) == std::string::npos)
            localised.erase(0, 3); // no minus sign before a zero
    }
    return localised;
}

std::string LabelWithFactor(const std::string& label, int exponent)
{
    if (exponent == 0)
        return label;
    const std::string factor = "\u00d710" + Superscript(exponent);
    const std::size_t open = label.rfind(" [");
    if (open != std::string::npos && label.ends_with("]"))
        return label.substr(0, label.size() - 1) + ", " + factor + "]";
    return label + " [" + factor + "]";
}

std::optional<double> FigureAxis::Fraction(double v) const
{
    if (!std::isfinite(v))
        return std::nullopt;
    if (!log)
        return (v - lo) / (hi - lo);
    if (!(v > 0.0))
        return std::nullopt;
    return (std::log10(v) - std::log10(lo)) / (std::log10(hi) - std::log10(lo));
}

AxisTicks MakeTicks(const FigureAxis& axis) { return axis.log ? LogTicks(axis) : LinearTicks(axis); }

std::string TickText(double value, const FigureAxis& axis, const AxisTicks& ticks, Language language, double fontSize)
{
    char text[64];
    if (axis.log) {
        const double k = std::floor(std::log10(value) + kOnTick);
        const double mantissa = std::round(value / std::pow(10.0, k));
        if (k >= -3.0 && k <= 4.0) {
            std::snprintf(text, sizeof text, "%.*f", int(std::max(0.0, -k)), value);
            return Localised(text, language);
        }
        // Pango's <sup> misjudges fonts of absolute size: raise a smaller span instead.
        const std::string power = "<span size=\"smaller\" rise=\"" + std::to_string(int(fontSize * 0.4 * 1024.0)) +
                                  "\">" + Localised(std::to_string(int(k)), language) + "</span>";
        if (mantissa == 1.0)
            return "10" + power;
        return std::to_string(int(mantissa)) + "\u00d710" + power;
    }
    const double largest = std::max(std::fabs(axis.lo), std::fabs(axis.hi));
    if (std::fabs(value) < ticks.step * kOnTick)
        value = 0.0;
    if (largest >= 1e6 || ticks.step < 1e-6)
        std::snprintf(text, sizeof text, "%g", value);
    else
        std::snprintf(text, sizeof text, "%.*f", int(std::max(0.0, -std::floor(std::log10(ticks.step) + kOnTick))),
                      value);
    return Localised(text, language);
}

} // namespace tamrisk
