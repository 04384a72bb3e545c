// The AVX2 form of the ratio columns; runs only on processors with AVX2.
#include "model/RatioColumn.h"

#include <cstddef>
#include <immintrin.h>

#include "model/TargetAvx2Begin.h"

namespace tamrisk::detail {

void RatioColumnAvx2(const float* num, const float* den, float* out, std::size_t count)
{
    std::size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m256d n = _mm256_cvtps_pd(_mm_loadu_ps(num + i));
        const __m256d d = _mm256_cvtps_pd(_mm_loadu_ps(den + i));
        _mm_storeu_ps(out + i, _mm256_cvtpd_ps(_mm256_div_pd(n, d)));
    }
    RatioColumnScalar(num + i, den + i, out + i, count - i);
}

} // namespace tamrisk::detail

#include "model/TargetAvx2End.h"
