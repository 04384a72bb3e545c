// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ParseText.h"

#include <charconv>
#include <climits>
#include <clocale>
#include <cstdlib>
#include <locale.h>
#include <string>

namespace tamrisk {

namespace {

// The user's locale may use a decimal comma; number texts always use the
// point, so every conversion runs in a private C locale.
locale_t CLocale()
{
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    // Creating the C locale cannot fail in practice; the global locale is the
    // least harmful fallback if it ever does.
    return c != static_cast<locale_t>(0) ? c : LC_GLOBAL_LOCALE;
}

} // namespace

double ParseNumber(std::string_view text)
{
    const std::string terminated(text);
    return strtod_l(terminated.c_str(), nullptr, CLocale());
}

int ParseInteger(std::string_view text)
{
    const std::string terminated(text);
    const long long value = strtoll_l(terminated.c_str(), nullptr, 10, CLocale());
    if (value > INT_MAX) {
        return INT_MAX;
    }
    if (value < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

std::optional<double> ParseStrictNumber(std::string_view text)
{
    // from_chars takes no leading '+'; a sign before a digit or point is still a number.
    if (text.size() > 1 && text.front() == '+' && text[1] != '-' && text[1] != '+')
        text.remove_prefix(1);
    double value = 0.0;
    const char* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || ptr != end || error == std::errc::invalid_argument)
        return std::nullopt;
    // Out of range: from_chars leaves value untouched; take atof's infinity or zero.
    if (error == std::errc::result_out_of_range)
        value = ParseNumber(text);
    return value;
}

} // namespace tamrisk
