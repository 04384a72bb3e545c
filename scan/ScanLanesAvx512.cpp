// The AVX-512 form of the scan's lane kernel; runs only on processors with AVX-512.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <immintrin.h>

#include "model/TargetAvx512Begin.h"

#include "model/Avx512Lanes.h"
#include "scan/ScanLanes.h"

namespace tamrisk::detail {

std::size_t SumLanesAvx512(const ScanPassTables& tables, const double* factors, std::size_t first, float* lab,
                           float* nat)
{
    return SumLanes<Avx512Ops>(tables, factors, first, lab, nat);
}

} // namespace tamrisk::detail

#include "model/TargetAvx512End.h"
