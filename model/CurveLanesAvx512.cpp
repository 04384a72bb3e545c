// The AVX-512 form of the summed signal curves; runs only on processors with AVX-512.
#include <cstddef>
#include <cstdint>
#include <immintrin.h>

#include "model/TargetAvx512Begin.h"

#include "model/Avx512Lanes.h"
#include "model/CurveLanes.h"

namespace tamrisk::detail {

void SumCurveLanesAvx512(const CurveTables& tables, const double* times, float* hom, float* lab, float* nat)
{
    SumCurveLanes<Avx512Ops>(tables, times, hom, lab, nat);
}

} // namespace tamrisk::detail

#include "model/TargetAvx512End.h"
