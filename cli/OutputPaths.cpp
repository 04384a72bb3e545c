// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/OutputPaths.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <ostream>
#include <vector>

#include <sys/stat.h>

namespace tamrisk::cli {

namespace {

// The length of the UTF-8 character at text[at] that a terminal shows as
// such (no C1 control, U+0080 to U+009F), or 0.
std::size_t PrintableCharacter(const std::string& text, std::size_t at)
{
    const auto byte = [&](std::size_t i) { return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u; };
    const unsigned first = byte(at);
    const auto continues = [&](std::size_t count) {
        for (std::size_t i = 1; i <= count; ++i)
            if ((byte(at + i) & 0xC0u) != 0x80u)
                return false;
        return true;
    };
    if (first >= 0xC2 && first <= 0xDF && continues(1))
        return first == 0xC2 && byte(at + 1) < 0xA0 ? 0 : 2;
    if (first >= 0xE0 && first <= 0xEF && continues(2)) {
        const unsigned second = byte(at + 1);
        const bool shortest = first != 0xE0 || second >= 0xA0;
        const bool surrogate = first == 0xED && second >= 0xA0;
        return shortest && !surrogate ? 3 : 0;
    }
    if (first >= 0xF0 && first <= 0xF4 && continues(3)) {
        const unsigned second = byte(at + 1);
        return (first != 0xF0 || second >= 0x90) && (first != 0xF4 || second < 0x90) ? 4 : 0;
    }
    return 0;
}

} // namespace

std::string Shown(const std::string& text)
{
    std::string shown;
    for (std::size_t at = 0; at < text.size();) {
        const auto byte = static_cast<unsigned char>(text[at]);
        if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
            shown += text[at++];
            continue;
        }
        if (const std::size_t length = byte >= 0x80 ? PrintableCharacter(text, at) : 0) {
            shown.append(text, at, length);
            at += length;
            continue;
        }
        char escaped[5];
        std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
        shown += escaped;
        ++at;
    }
    return shown;
}

namespace {

// Standard output, streams, pipes and devices are written directly: they may have part of it.
bool WrittenDirectly(const std::string& path)
{
    struct stat status {};
    return path == "-" || path == "/dev/stdout" || path == "/dev/stderr" || path.starts_with("/dev/fd/") ||
           path.starts_with("/proc/") || (::stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode));
}

std::string DirectText(const std::string& path)
{
    if (path == "-")
        return "the output on standard output is incomplete";
    return "the output to '" + Shown(path) + "' is incomplete";
}

} // namespace

std::string NotWrittenText(const std::string& path) { return NotWrittenText(std::vector<std::string>{path}); }

std::string NotWrittenText(const std::vector<std::string>& paths)
{
    std::vector<std::string> parts, files;
    for (const std::string& path : paths) {
        if (path.empty())
            continue;
        if (WrittenDirectly(path))
            parts.push_back(DirectText(path));
        else
            files.push_back("'" + Shown(path) + "'");
    }
    if (files.size() == 1)
        parts.insert(parts.begin(), files.front() + " was not written; an existing file is unchanged");
    if (files.size() > 1) {
        std::string names;
        for (std::size_t i = 0; i < files.size(); ++i)
            names += (i == 0 ? "" : i + 1 == files.size() ? " and " : ", ") + files[i];
        parts.insert(parts.begin(), names + " were not written; existing files are unchanged");
    }
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : "; ") + part;
    return text;
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
