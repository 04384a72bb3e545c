// The AVX2 form of the batch exponential. Nothing here runs unless the
// processor has AVX2 (see ModelExpBatch.cpp).
#include <cstddef>
#include <cstdint>
#include <immintrin.h>

#include "model/TargetAvx2Begin.h"

#include "model/Avx2Lanes.h"
#include "model/ExpLanes.h"

namespace tamrisk::detail {

void ModelExpBatchAvx2(const double* in, double* out, std::size_t count)
{
    std::size_t i = 0;
    for (; i + 4 <= count; i += 4)
        Avx2Ops::Store(out + i, ExpOf<Avx2Ops>(Avx2Ops::Load(in + i)));
    if (i < count) {
        double tail[4] = {0.0, 0.0, 0.0, 0.0};
        for (std::size_t t = 0; t < count - i; ++t)
            tail[t] = in[i + t];
        Avx2Ops::Store(tail, ExpOf<Avx2Ops>(Avx2Ops::Load(tail)));
        for (std::size_t t = 0; t < count - i; ++t)
            out[i + t] = tail[t];
    }
}

} // namespace tamrisk::detail

#include "model/TargetAvx2End.h"
