// SPDX-License-Identifier: GPL-3.0-or-later
#include "lanes/LaneKernel.h"

#include <cstdlib>
#include <cstring>

namespace tamrisk::detail {

const lanes::Forms& FormsOf(LaneKernel kernel)
{
    switch (kernel) {
    case LaneKernel::Avx2:
        return lanes::avx2::kForms;
    case LaneKernel::Avx512:
        return lanes::avx512::kForms;
    case LaneKernel::Scalar:
        break;
    }
    return lanes::scalar::kForms;
}

bool LaneKernelAvailable(LaneKernel kernel)
{
    __builtin_cpu_init(); // safe to ask even before static constructors ran
    switch (kernel) {
    case LaneKernel::Scalar:
        return true;
    case LaneKernel::Avx2:
        return __builtin_cpu_supports("avx2");
    case LaneKernel::Avx512:
        // Also false where the system does not save the AVX-512 registers.
        return __builtin_cpu_supports("avx512f");
    }
    return false;
}

std::size_t LaneCount(LaneKernel kernel) { return FormsOf(kernel).lanes; }

namespace {

bool Every(LaneKernel) { return true; }

// The names of the forms that `include` admits: "scalar, avx2 or avx512".
std::string NamesOf(bool (*include)(LaneKernel))
{
    std::string names;
    const char* pending = nullptr;
    for (LaneKernel kernel : kLaneKernels) {
        if (!include(kernel))
            continue;
        if (pending)
            names += names.empty() ? pending : std::string(", ") + pending;
        pending = FormsOf(kernel).name;
    }
    if (pending == nullptr || names.empty())
        return pending == nullptr ? names : pending;
    return names + " or " + pending;
}

} // namespace

LaneChoice ChooseLaneKernel(const char* setting, bool (*available)(LaneKernel))
{
    LaneChoice choice;
    for (LaneKernel kernel : kLaneKernels) {
        if (available(kernel))
            choice.kernel = kernel;
    }
    if (setting == nullptr || *setting == '\0')
        return choice;
    const std::string named = std::string("TAMRISK_LANES=") + setting;
    for (LaneKernel kernel : kLaneKernels) {
        if (std::strcmp(setting, FormsOf(kernel).name) != 0)
            continue;
        if (available(kernel))
            choice.kernel = kernel;
        else
            choice.problem = named + " is a form this processor cannot run (it runs " + NamesOf(available) + ")";
        return choice;
    }
    choice.problem = named + " is not a form of the vector kernels (" + NamesOf(Every) + ")";
    return choice;
}

namespace {

const LaneChoice& ThisProcess()
{
    static const LaneChoice choice = ChooseLaneKernel(std::getenv("TAMRISK_LANES"));
    return choice;
}

} // namespace

LaneKernel BestLaneKernel() { return ThisProcess().kernel; }

std::optional<std::string> LanesSettingProblem() { return ThisProcess().problem; }

} // namespace tamrisk::detail
