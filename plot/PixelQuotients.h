#pragma once

// Where the values of a curve fall along a plot axis, in pixels from the
// axis origin before truncation: one division per value, four at a time in
// the vector form (the same IEEE operations, so the same bits).

#include <cstddef>

namespace tamrisk {

// out[i] = (double(values[i]) - offset) / scale, negated when `negate`.
void PixelQuotients(const float* values, std::size_t count, double offset, double scale, bool negate, double* out);

namespace detail {
void PixelQuotientsScalar(const float* values, std::size_t count, double offset, double scale, bool negate,
                          double* out);
void PixelQuotientsAvx2(const float* values, std::size_t count, double offset, double scale, bool negate,
                        double* out);
} // namespace detail

} // namespace tamrisk
