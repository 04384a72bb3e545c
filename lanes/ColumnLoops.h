// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Element-wise loops over single-precision columns, in the chosen form of
// the vector kernels (lanes/ColumnKernels.h); every form gives the same bits.

#include <cstddef>

namespace tamrisk::detail {

// The ratio of two columns: out[i] = float(double(num[i]) / double(den[i])).
void RatioColumn(const float* num, const float* den, float* out, std::size_t count);

// Where the values of a curve fall along a plot axis, in pixels from the axis
// origin before truncation: out[i] = (double(values[i]) - offset) / scale,
// negated when `negate`.
void PixelQuotients(const float* values, std::size_t count, double offset, double scale, bool negate, double* out);

} // namespace tamrisk::detail
