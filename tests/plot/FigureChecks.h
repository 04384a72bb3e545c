// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/Figure.h"
#include "plot/Recompute.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace tamrisk::test {

// The window's state after a recomputation with the named curves shown.
inline ModelState StateShowing(std::initializer_list<const char*> names)
{
    ControlState controls;
    for (const char* name : names)
        controls.flags.*FindCurve(name)->flag = true;
    ModelState state;
    Recompute(controls, state);
    return state;
}

struct Written {
    std::string bytes;
    FigureFrame frame;
    std::vector<std::string> notes;
};

inline Written Write(const ModelState& state, FigureOptions options)
{
    Written w;
    StringSink sink;
    w.frame = WriteFigure(options, state.params, state.flags, state.profile, state.curves, sink, &w.notes);
    w.bytes = sink.data();
    return w;
}

// Well-formed XML in the small form the SVG uses: elements, attributes in
// quotes, the declaration and no comments. Every start tag has its end tag.
inline bool WellFormedXml(std::string_view xml)
{
    std::vector<std::string_view> open;
    std::size_t i = 0;
    bool root = false;
    while ((i = xml.find('<', i)) != std::string_view::npos) {
        const std::size_t end = xml.find('>', i);
        if (end == std::string_view::npos)
            return false;
        std::string_view tag = xml.substr(i + 1, end - i - 1);
        i = end + 1;
        if (tag.starts_with("?"))
            continue;
        if (std::count(tag.begin(), tag.end(), '"') % 2 != 0)
            return false;
        if (tag.starts_with("/")) {
            if (open.empty() || open.back() != tag.substr(1))
                return false;
            open.pop_back();
            continue;
        }
        const std::string_view name = tag.substr(0, tag.find_first_of(" \n\t/"));
        if (open.empty() && root)
            return false; // a second root element
        root = true;
        if (!tag.ends_with("/"))
            open.push_back(name);
    }
    return root && open.empty();
}

struct SvgPath {
    double r, g, b;                                             // stroke colour, 0 .. 1
    bool beforeLegend;                                          // drawn before the legend's box: a curve
    std::vector<std::vector<std::pair<double, double>>> pieces; // one per moveto
    std::size_t PointCount() const
    {
        std::size_t n = 0;
        for (const auto& p : pieces)
            n += p.size();
        return n;
    }
};

// The stroked paths of a cairo SVG, with their colours and points.
inline std::vector<SvgPath> StrokedPaths(const std::string& svg)
{
    std::vector<SvgPath> paths;
    bool legendSeen = false;
    std::size_t at = 0;
    while ((at = svg.find('<', at)) != std::string::npos) {
        const std::size_t end = svg.find('>', at);
        const std::string element = svg.substr(at, end - at);
        at = end;
        const std::size_t stroke = element.find(";stroke:rgb(");
        const std::size_t d = element.find(" d=\"");
        if (!element.starts_with("<path ") || stroke == std::string::npos || d == std::string::npos)
            continue;
        // The legend's box is the one stroked path filled white.
        legendSeen |= element.find("fill:rgb(100%,100%,100%)") != std::string::npos;
        SvgPath path{};
        path.beforeLegend = !legendSeen;
        const char* p = element.c_str() + stroke + 12;
        char* next;
        path.r = std::strtod(p, &next) / 100.0;
        path.g = std::strtod(next + 2, &next) / 100.0;
        path.b = std::strtod(next + 2, &next) / 100.0;
        p = element.c_str() + d + 4;
        while (*p && *p != '"') {
            if (*p == 'M')
                path.pieces.emplace_back();
            if ((*p == 'M' || *p == 'L') && !path.pieces.empty()) {
                const double x = std::strtod(p + 1, &next);
                const double y = std::strtod(next, &next);
                path.pieces.back().emplace_back(x, y);
                p = next;
            } else {
                ++p;
            }
        }
        paths.push_back(path);
    }
    return paths;
}

inline bool SameColour(const SvgPath& path, const PenColor& pen)
{
    return std::fabs(path.r - pen.r / 255.0) < 1e-4 && std::fabs(path.g - pen.g / 255.0) < 1e-4 &&
           std::fabs(path.b - pen.b / 255.0) < 1e-4;
}

// The curves of a pen: the paths of that colour drawn before the legend (a
// light pen's dark casing has another colour).
inline std::vector<const SvgPath*> CurvesOf(const std::vector<SvgPath>& paths, const PenColor& pen)
{
    std::vector<const SvgPath*> found;
    for (const SvgPath& p : paths)
        if (p.beforeLegend && SameColour(p, pen))
            found.push_back(&p);
    return found;
}

inline double DistanceToSegment(std::pair<double, double> p, std::pair<double, double> a, std::pair<double, double> b)
{
    const double dx = b.first - a.first, dy = b.second - a.second;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? ((p.first - a.first) * dx + (p.second - a.second) * dy) / length2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.first - (a.first + t * dx), p.second - (a.second + t * dy));
}

// True when the piece runs through the expected points in order: each of
// its vertices is one of them (to `tolerance`), it starts on the first and
// ends on the last, and the points it passes over without a vertex lie on
// its segments (the drawing library merges collinear segments).
inline ::testing::AssertionResult RunsThrough(const std::vector<std::pair<double, double>>& piece,
                                              const std::vector<std::pair<double, double>>& expected, double tolerance)
{
    const auto near = [&](std::pair<double, double> a, std::pair<double, double> b) {
        return std::hypot(a.first - b.first, a.second - b.second) <= tolerance;
    };
    if (piece.empty() || expected.empty() || !near(piece.front(), expected.front()) ||
        !near(piece.back(), expected.back()))
        return ::testing::AssertionFailure() << "ends differ";
    std::size_t j = 0;
    for (std::size_t v = 1; v < piece.size(); ++v) {
        std::size_t k = j + 1;
        while (k < expected.size() && !near(piece[v], expected[k]))
            ++k;
        if (k == expected.size())
            return ::testing::AssertionFailure() << "vertex " << v << " (" << piece[v].first << ", " << piece[v].second
                                                 << ") is no sample after " << j;
        for (std::size_t m = j + 1; m < k; ++m)
            if (DistanceToSegment(expected[m], piece[v - 1], piece[v]) > tolerance)
                return ::testing::AssertionFailure() << "sample " << m << " lies off the path";
        j = k;
    }
    return j + 1 == expected.size() ? ::testing::AssertionSuccess()
                                    : ::testing::AssertionFailure() << "path ends at sample " << j;
}

} // namespace tamrisk::test
