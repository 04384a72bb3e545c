#include "output/CleanText.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace tamrisk {

namespace {

template <typename T>
std::string Shortest(T value)
{
    if (std::isnan(value))
        return "NaN";
    if (std::isinf(value))
        return value > 0 ? "Inf" : "-Inf";
    char buffer[64];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return error == std::errc() ? std::string(buffer, end) : std::string("NaN");
}

} // namespace

std::string CleanText(float value) { return Shortest(value); }
std::string CleanText(double value) { return Shortest(value); }

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
