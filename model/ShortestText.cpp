// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ShortestText.h"

#include <charconv>

namespace tamrisk {

std::string ShortestText(double value)
{
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return error == std::errc() ? std::string(buffer, end) : std::string();
}

} // namespace tamrisk
