#pragma once

// The ratio of two single-precision columns, element by element: the
// quotient of the widened values, rounded once to float. The vector form
// divides four at a time with the same IEEE operations, so both forms give
// the same bits.

#include <cstddef>

namespace tamrisk::detail {

// out[i] = float(double(num[i]) / double(den[i])).
void RatioColumn(const float* num, const float* den, float* out, std::size_t count);
void RatioColumnScalar(const float* num, const float* den, float* out, std::size_t count);
void RatioColumnAvx2(const float* num, const float* den, float* out, std::size_t count);

} // namespace tamrisk::detail
