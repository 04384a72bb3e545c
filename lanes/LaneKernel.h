// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Which form of the vector kernels this process runs: the widest the
// processor has, or the one TAMRISK_LANES names (scalar, avx2 or avx512),
// for timing and checking the forms. Every form gives the same bits.

#include "lanes/Forms.h"

#include <cstddef>
#include <optional>
#include <string>

namespace tamrisk::detail {

enum class LaneKernel { Scalar, Avx2, Avx512 };
inline constexpr LaneKernel kLaneKernels[] = {LaneKernel::Scalar, LaneKernel::Avx2, LaneKernel::Avx512};
// Time samples or grid points of one call of a lane kernel, in any form.
inline constexpr std::size_t kMaxLaneCount = 8;

const lanes::Forms& FormsOf(LaneKernel kernel);
bool LaneKernelAvailable(LaneKernel kernel);
std::size_t LaneCount(LaneKernel kernel);

// What a TAMRISK_LANES value selects (null: the variable is unset). A value
// that names no form, or a form that `available` denies, selects the widest
// available form and comes with a text saying why (an empty value counts as
// unset).
struct LaneChoice {
    LaneKernel kernel = LaneKernel::Scalar;
    std::optional<std::string> problem;
};
LaneChoice ChooseLaneKernel(const char* setting, bool (*available)(LaneKernel) = LaneKernelAvailable);

// This process's choice, made once from TAMRISK_LANES.
LaneKernel BestLaneKernel();
// Why TAMRISK_LANES was not followed, if it was not: for a program to refuse
// to start. Whoever does not ask runs the widest form.
std::optional<std::string> LanesSettingProblem();

} // namespace tamrisk::detail
