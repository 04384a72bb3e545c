#include "cli/OutputPaths.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <ostream>
#include <vector>

#include <sys/stat.h>

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
