// The AVX2 form of the pixel quotients; runs only on processors with AVX2.
#include "plot/PixelQuotients.h"

#include <cstddef>
#include <immintrin.h>

#include "model/TargetAvx2Begin.h"

namespace tamrisk::detail {

void PixelQuotientsAvx2(const float* values, std::size_t count, double offset, double scale, bool negate,
                        double* out)
{
    const __m256d by = _mm256_set1_pd(scale);
    const __m256d from = _mm256_set1_pd(offset);
    const __m256d sign = _mm256_set1_pd(negate ? -0.0 : 0.0);  // negation flips the sign bit only
    std::size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m256d v = _mm256_cvtps_pd(_mm_loadu_ps(values + i));
        _mm256_storeu_pd(out + i, _mm256_xor_pd(_mm256_div_pd(_mm256_sub_pd(v, from), by), sign));
    }
    PixelQuotientsScalar(values + i, count - i, offset, scale, negate, out + i);
}

} // namespace tamrisk::detail

#include "model/TargetAvx2End.h"
