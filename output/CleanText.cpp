// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/CleanText.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace tamrisk {

namespace {

char* Copy(char* out, const char* text)
{
    while (*text != '\0')
        *out++ = *text++;
    return out;
}

template <typename T>
char* WriteShortest(char* out, T value)
{
    if (std::isnan(value))
        return Copy(out, "NaN");
    if (std::isinf(value))
        return Copy(out, value > 0 ? "Inf" : "-Inf");
    // The longest shortest text of a double, "-2.2250738585072014e-308", has 24 characters.
    const auto [end, error] = std::to_chars(out, out + kCleanTextCapacity, value);
    return error == std::errc() ? end : Copy(out, "NaN");
}

template <typename T>
std::string Shortest(T value)
{
    char buffer[kCleanTextCapacity];
    return std::string(buffer, WriteShortest(buffer, value));
}

} // namespace

std::string CleanText(float value) { return Shortest(value); }
std::string CleanText(double value) { return Shortest(value); }
char* WriteCleanText(char* out, float value) { return WriteShortest(out, value); }
char* WriteCleanText(char* out, double value) { return WriteShortest(out, value); }

double FloatForJson(float value)
{
    if (!std::isfinite(value))
        return double(value);
    char buffer[64];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    double result = double(value);
    std::from_chars(buffer, end, result);
    return result;
}

} // namespace tamrisk
