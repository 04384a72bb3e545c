// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The table of forms: every vector kernel compiled for one instruction set,
// one table per set, each defined in its own file and namespace
// (ScalarForms.cpp, Avx2Forms.cpp, Avx512Forms.cpp). LaneKernel.cpp picks one
// at run time. Every form gives the bits of the scalar one.
//
// Declarations only: the files of the vector forms include this before they
// switch their target.

#include "lanes/CurveTables.h"
#include "lanes/ScanPassTables.h"

#include <cstddef>

namespace tamrisk::lanes {

struct Forms {
    const char* name;  // as TAMRISK_LANES names the form
    std::size_t lanes; // time samples or grid points of one sumCurves or sumScan call
    // out[i] = ModelExp(in[i]); in and out may be the same array.
    void (*expBatch)(const double* in, double* out, std::size_t count);
    detail::SumCurveLanesFunction sumCurves;
    detail::SumLanesFunction sumScan;
    // out[i] = float(double(num[i]) / double(den[i])).
    void (*ratioColumn)(const float* num, const float* den, float* out, std::size_t count);
    // out[i] = (double(values[i]) - offset) / scale, negated when `negate`.
    void (*pixelQuotients)(const float* values, std::size_t count, double offset, double scale, bool negate,
                           double* out);
};

namespace scalar {
extern const Forms kForms;
} // namespace scalar

namespace avx2 {
extern const Forms kForms;
} // namespace avx2

namespace avx512 {
extern const Forms kForms;
} // namespace avx512

} // namespace tamrisk::lanes
