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
    ExpBatchOf<Avx512Ops>(in, out, count);
}

} // namespace tamrisk::detail

#include "model/TargetAvx512End.h"
