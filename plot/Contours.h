// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <vector>

namespace tamrisk {

// A piece of a contour line in grid coordinates: x the column index j, y the
// row index i, fractional between grid points.
struct ContourSegment {
    double x0, y0, x1, y1;
};

// Where the values z (row i, column j at z[i * columns + j]) cross `level`,
// by marching squares with straight interpolation along the cell edges.
// Cells with a value that is not finite are left out; a saddle cell is
// decided by the mean of its corners.
std::vector<ContourSegment> ContourSegments(const std::vector<double>& z, std::size_t columns, std::size_t rows,
                                            double level);

// Round contour levels strictly between lo and hi: the numbered ticks of an
// axis over that range.
std::vector<double> RoundLevels(double lo, double hi);

} // namespace tamrisk
