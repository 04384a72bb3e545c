// The AVX-512 form of the batch exponential. Nothing here runs unless the
// processor has AVX-512 (see ModelExpBatch.cpp).
#include <cstddef>
#include <cstdint>
#include <immintrin.h>

#include "model/TargetAvx512Begin.h"

#include "model/Avx512Lanes.h"
#include "model/ExpLanes.h"

namespace tamrisk::detail {

void ModelExpBatchAvx512(const double* in, double* out, std::size_t count)
{
    std::size_t i = 0;
    for (; i + 8 <= count; i += 8)
        Avx512Ops::Store(out + i, ExpOf<Avx512Ops>(Avx512Ops::Load(in + i)));
    if (i < count) {
        double tail[8] = {};
        for (std::size_t t = 0; t < count - i; ++t)
            tail[t] = in[i + t];
        Avx512Ops::Store(tail, ExpOf<Avx512Ops>(Avx512Ops::Load(tail)));
        for (std::size_t t = 0; t < count - i; ++t)
            out[i + t] = tail[t];
    }
}

} // namespace tamrisk::detail

#include "model/TargetAvx512End.h"
