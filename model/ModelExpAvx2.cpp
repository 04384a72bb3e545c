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
    ExpBatchOf<Avx2Ops>(in, out, count);
}

} // namespace tamrisk::detail

#include "model/TargetAvx2End.h"
