// SPDX-License-Identifier: GPL-3.0-or-later
// Text to number: ParseNumber and ParseInteger must read any bytes exactly as
// the C library's strtod and strtol do in the C locale, without ever
// overflowing an integer.
#include "model/ParseText.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string_view view(text);

    // The reference reads up to the first NUL, as a C string would.
    const char* cstr = text.c_str();
    const double expected = std::strtod(cstr, nullptr);
    const double got = tamrisk::ParseNumber(view.substr(0, std::strlen(cstr)));
    if (!(std::isnan(expected) && std::isnan(got)) && std::memcmp(&expected, &got, sizeof got) != 0)
        std::abort();

    const long wide = std::strtol(cstr, nullptr, 10);
    const long clamped = wide < INT_MIN ? INT_MIN : wide > INT_MAX ? INT_MAX : wide;
    if (tamrisk::ParseInteger(view.substr(0, std::strlen(cstr))) != clamped)
        std::abort();
    return 0;
}
