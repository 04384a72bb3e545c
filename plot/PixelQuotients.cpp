#include "plot/PixelQuotients.h"

#include "model/ModelExp.h"

namespace tamrisk {

namespace detail {

void PixelQuotientsScalar(const float* values, std::size_t count, double offset, double scale, bool negate,
                          double* out)
{
    for (std::size_t i = 0; i < count; ++i) {
        const double q = (double(values[i]) - offset) / scale;
        out[i] = negate ? -q : q;
    }
}

} // namespace detail

void PixelQuotients(const float* values, std::size_t count, double offset, double scale, bool negate, double* out)
{
    if (detail::Avx2LoopsAllowed())
        detail::PixelQuotientsAvx2(values, count, offset, scale, negate, out);
    else
        detail::PixelQuotientsScalar(values, count, offset, scale, negate, out);
}

} // namespace tamrisk
