// SPDX-License-Identifier: GPL-3.0-or-later
// The scalar form of every vector kernel: one lane of plain arithmetic, the
// reference of the other forms, and what runs on processors without AVX2.
#include "lanes/Forms.h"

#include "lanes/ColumnKernels.h"
#include "lanes/CurveKernel.h"
#include "lanes/ExpKernel.h"
#include "lanes/ScalarOps.h"
#include "lanes/ScanKernel.h"

#include <cstddef>

namespace tamrisk::lanes::scalar {

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

const Forms kForms = {"scalar", 1, ExpBatch, SumCurves, SumScan, RatioColumn, PixelQuotients};

} // namespace tamrisk::lanes::scalar
