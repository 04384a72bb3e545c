// The AVX2 form of the scan's lane kernel; runs only on processors with AVX2.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <immintrin.h>

#include "model/TargetAvx2Begin.h"

#include "model/Avx2Lanes.h"
#include "scan/ScanLanes.h"

namespace tamrisk::detail {

std::size_t SumLanesAvx2(const ScanPassTables& tables, const double* factors, std::size_t first, float* lab,
                           float* nat)
{
    return SumLanes<Avx2PairOps>(tables, factors, first, lab, nat);
}

} // namespace tamrisk::detail

#include "model/TargetAvx2End.h"
