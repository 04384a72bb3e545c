// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/Contours.h"

#include "plot/FigureAxis.h"

#include <cmath>
#include <utility>

namespace tamrisk {

namespace {

struct Point {
    double x, y;
};

} // namespace

std::vector<ContourSegment> ContourSegments(const std::vector<double>& z, std::size_t columns, std::size_t rows,
                                            double level)
{
    std::vector<ContourSegment> segments;
    if (columns < 2 || rows < 2 || z.size() < columns * rows)
        return segments;
    for (std::size_t i = 0; i + 1 < rows; ++i)
        for (std::size_t j = 0; j + 1 < columns; ++j) {
            // Corners a (i, j), b (i, j + 1), c (i + 1, j + 1), d (i + 1, j).
            const double a = z[i * columns + j], b = z[i * columns + j + 1];
            const double c = z[(i + 1) * columns + j + 1], d = z[(i + 1) * columns + j];
            if (!std::isfinite(a) || !std::isfinite(b) || !std::isfinite(c) || !std::isfinite(d))
                continue;
            const int code = (a >= level) | (b >= level) << 1 | (c >= level) << 2 | (d >= level) << 3;
            if (code == 0 || code == 15)
                continue;
            const double x = double(j), y = double(i);
            const auto cut = [level](double v0, double v1) { return (level - v0) / (v1 - v0); };
            // Edges: 0 bottom a-b, 1 right b-c, 2 top d-c, 3 left a-d.
            const auto edge = [&](int e) -> Point {
                switch (e) {
                case 0:
                    return {x + cut(a, b), y};
                case 1:
                    return {x + 1.0, y + cut(b, c)};
                case 2:
                    return {x + cut(d, c), y + 1.0};
                default:
                    return {x, y + cut(a, d)};
                }
            };
            const auto add = [&](int e0, int e1) {
                const Point p = edge(e0), q = edge(e1);
                segments.push_back({p.x, p.y, q.x, q.y});
            };
            const bool centreHigh = (a + b + c + d) / 4.0 >= level;
            switch (code) {
            case 1:
            case 14:
                add(3, 0);
                break;
            case 2:
            case 13:
                add(0, 1);
                break;
            case 3:
            case 12:
                add(3, 1);
                break;
            case 4:
            case 11:
                add(1, 2);
                break;
            case 6:
            case 9:
                add(0, 2);
                break;
            case 7:
            case 8:
                add(3, 2);
                break;
            case 5: // a and c high
                if (centreHigh) {
                    add(0, 1);
                    add(2, 3);
                } else {
                    add(3, 0);
                    add(1, 2);
                }
                break;
            case 10: // b and d high
                if (centreHigh) {
                    add(3, 0);
                    add(1, 2);
                } else {
                    add(0, 1);
                    add(2, 3);
                }
                break;
            default:
                break;
            }
        }
    return segments;
}

std::vector<double> RoundLevels(double lo, double hi)
{
    std::vector<double> levels;
    if (!(hi > lo) || !std::isfinite(lo) || !std::isfinite(hi))
        return levels;
    const AxisTicks ticks = MakeTicks(FigureAxis{lo, hi, false});
    for (double v : ticks.major)
        if (v > lo && v < hi)
            levels.push_back(v);
    // Lines close together crowd a map: at most about six.
    if (levels.size() > 6) {
        std::vector<double> every;
        for (std::size_t k = levels.size() % 2 == 0 ? 1 : 0; k < levels.size(); k += 2)
            every.push_back(levels[k]);
        levels = std::move(every);
    }
    return levels;
}

} // namespace tamrisk
