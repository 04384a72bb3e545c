// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The one exponential of the model, in its scalar form, and a batch form in
// the chosen form of the vector kernels. Every form returns the same bits for
// every argument (see lanes/ExpKernel.h).

#include "lanes/ExpKernel.h"
#include "lanes/LaneKernel.h"
#include "lanes/ScalarOps.h"

#include <cstddef>

namespace tamrisk::detail {

inline double ModelExp(double x) { return lanes::ExpOf<lanes::scalar::Ops>(x); }

// out[i] = ModelExp(in[i]); in and out may be the same array.
void ModelExpBatch(const double* in, double* out, std::size_t count);
void ModelExpBatch(LaneKernel kernel, const double* in, double* out, std::size_t count);

} // namespace tamrisk::detail
