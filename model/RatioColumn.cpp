#include "model/RatioColumn.h"

#include "model/ModelExp.h"

namespace tamrisk::detail {

void RatioColumnScalar(const float* num, const float* den, float* out, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        out[i] = static_cast<float>(double(num[i]) / double(den[i]));
}

void RatioColumn(const float* num, const float* den, float* out, std::size_t count)
{
    if (Avx2LoopsAllowed())
        RatioColumnAvx2(num, den, out, count);
    else
        RatioColumnScalar(num, den, out, count);
}

} // namespace tamrisk::detail
