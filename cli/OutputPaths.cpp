// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/OutputPaths.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <ostream>

namespace tamrisk::cli {

std::string Shown(const std::string& text)
{
    std::string shown;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '\\') {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            shown += escaped;
        } else {
            shown += c;
        }
    }
    return shown;
}

std::string NotWrittenText(const std::string& path)
{
    if (path == "-")
        return "the output on standard output is incomplete";
    return "'" + Shown(path) + "' was not written; an existing file is unchanged";
}

std::string SizeText(double bytes)
{
    static constexpr const char* kUnits[] = {"bytes", "kB", "MB", "GB", "TB", "PB", "EB", "ZB", "YB"};
    double value = bytes;
    std::size_t unit = 0;
    while (value >= 1000.0 && unit + 1 < std::size(kUnits)) {
        value /= 1000.0;
        ++unit;
    }
    char text[32];
    if (unit == 0)
        std::snprintf(text, sizeof text, "%.0f bytes", value);
    else
        std::snprintf(text, sizeof text, "%.1f %s", value, kUnits[unit]);
    return text;
}

std::string DurationText(double seconds)
{
    if (!std::isfinite(seconds) || seconds > 3.15e9)
        return "more than a century";
    const auto total = static_cast<unsigned long long>(std::llround(std::max(seconds, 0.0)));
    char text[48];
    if (total < 60)
        std::snprintf(text, sizeof text, "%llu s", total);
    else if (total < 3600)
        std::snprintf(text, sizeof text, "%llu min %llu s", total / 60, total % 60);
    else if (total < 86400 * 2)
        std::snprintf(text, sizeof text, "%llu h %llu min", total / 3600, total % 3600 / 60);
    else
        std::snprintf(text, sizeof text, "%llu days", total / 86400);
    return text;
}

} // namespace tamrisk::cli
