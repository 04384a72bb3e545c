// SPDX-License-Identifier: GPL-3.0-or-later
// The AVX-512 form of every vector kernel; runs only on processors with
// AVX-512 (LaneKernel.cpp checks). Eight lanes in one register.
#include "lanes/Forms.h"

#include <cstddef>
#include <cstdint>
#include <immintrin.h>

#include "lanes/TargetAvx512Begin.h"

#include "lanes/Avx512Ops.h"
#include "lanes/ColumnKernels.h"
#include "lanes/CurveKernel.h"
#include "lanes/ExpKernel.h"
#include "lanes/ScanKernel.h"

namespace tamrisk::lanes::avx512 {

namespace {

void ExpBatch(const double* in, double* out, std::size_t count) { ExpBatchOf<Ops>(in, out, count); }

void SumCurves(const detail::CurveTables& tables, const double* times, float* hom, float* lab, float* nat)
{
    SumCurveLanes<Ops>(tables, times, hom, lab, nat);
}

std::size_t SumScan(const detail::ScanPassTables& tables, const double* factors, std::size_t first, float* lab,
                    float* nat)
{
    return SumLanes<Ops>(tables, factors, first, lab, nat);
}

void RatioColumn(const float* num, const float* den, float* out, std::size_t count)
{
    RatioColumnOf<Ops>(num, den, out, count);
}

void PixelQuotients(const float* values, std::size_t count, double offset, double scale, bool negate, double* out)
{
    PixelQuotientsOf<Ops>(values, count, offset, scale, negate, out);
}

} // namespace

const Forms kForms = {"avx512", 8, ExpBatch, SumCurves, SumScan, RatioColumn, PixelQuotients};

} // namespace tamrisk::lanes::avx512

#include "lanes/TargetAvx512End.h"
