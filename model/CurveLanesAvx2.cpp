// The AVX2 form of the summed signal curves; runs only on processors with AVX2.
#include <cstddef>
#include <cstdint>
#include <immintrin.h>

#include "model/TargetAvx2Begin.h"

#include "model/Avx2Lanes.h"
#include "model/CurveLanes.h"

namespace tamrisk::detail {

void SumCurveLanesAvx2(const CurveTables& tables, const double* times, float* hom, float* lab, float* nat)
{
    SumCurveLanes<Avx2PairOps>(tables, times, hom, lab, nat);
}

} // namespace tamrisk::detail

#include "model/TargetAvx2End.h"
