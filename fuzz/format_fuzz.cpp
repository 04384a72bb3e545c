// SPDX-License-Identifier: GPL-3.0-or-later
// Number texts: every output is one word without TAB, LF, NUL or blank, and
// reading FormatGeneral(x, 6) back gives x to six significant digits.
#include "output/NumberText.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void RequireOneWord(const std::string& text)
{
    if (text.empty())
        std::abort();
    for (char c : text)
        if (c == '\t' || c == '\n' || c == '\0' || c == ' ' || c == '\r')
            std::abort();
}

void CheckReadBack(double x, const std::string& text)
{
    if (!std::isfinite(x)) {
        if (text != (std::isnan(x) ? "nan" : x < 0 ? "-inf" : "inf"))
            std::abort();
        return;
    }
    const double back = std::strtod(text.c_str(), nullptr);
    if (x == 0) {
        if (back != 0)
            std::abort();
        return;
    }
    // Half a unit of the sixth significant digit, with room for the
    // rounding of the comparison itself.
    const double exponent = std::floor(std::log10(std::fabs(x)));
    const double halfUnit = 0.5 * std::pow(10.0, exponent - 5);
    if (!(std::fabs(back - x) <= halfUnit * (1 + 1e-9)))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < sizeof(double) + 1)
        return 0;
    double x;
    std::memcpy(&x, data, sizeof x);
    const int digits = 3 + data[sizeof x] % 4;

    const std::string general = tamrisk::FormatGeneral(x, digits);
    RequireOneWord(general);
    const std::string six = tamrisk::FormatGeneral(x, 6);
    RequireOneWord(six);
    CheckReadBack(x, six);

    const std::string cell = tamrisk::FormatCell(x);
    RequireOneWord(cell);
    if (cell.find('.') != std::string::npos)
        std::abort();
    // A single-precision value, as most cells are.
    const float f = static_cast<float>(x);
    RequireOneWord(tamrisk::FormatCell(f));
    CheckReadBack(f, tamrisk::FormatGeneral(f, 6));
    return 0;
}
