// SPDX-License-Identifier: GPL-3.0-or-later
// The entry points that the model, the plots and the scan call: each runs
// its kernel in the form chosen for this process (or the one asked for).
#include "lanes/ColumnLoops.h"
#include "lanes/CurveTables.h"
#include "lanes/LaneKernel.h"
#include "lanes/ModelExp.h"
#include "lanes/ScanPassTables.h"

namespace tamrisk::detail {

namespace {

const lanes::Forms& Chosen()
{
    static const lanes::Forms& forms = FormsOf(BestLaneKernel());
    return forms;
}

} // namespace

void ModelExpBatch(const double* in, double* out, std::size_t count) { Chosen().expBatch(in, out, count); }

void ModelExpBatch(LaneKernel kernel, const double* in, double* out, std::size_t count)
{
    FormsOf(kernel).expBatch(in, out, count);
}

void RatioColumn(const float* num, const float* den, float* out, std::size_t count)
{
    Chosen().ratioColumn(num, den, out, count);
}

void PixelQuotients(const float* values, std::size_t count, double offset, double scale, bool negate, double* out)
{
    Chosen().pixelQuotients(values, count, offset, scale, negate, out);
}

SumCurveLanesFunction SumCurveLanesWith(LaneKernel kernel) { return FormsOf(kernel).sumCurves; }

SumLanesFunction SumLanesWith(LaneKernel kernel) { return FormsOf(kernel).sumScan; }

} // namespace tamrisk::detail
