// SPDX-License-Identifier: GPL-3.0-or-later
#include "lanes/LaneKernel.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace tamrisk::detail {
namespace {

bool All(LaneKernel) { return true; }

bool NoAvx512(LaneKernel kernel) { return kernel != LaneKernel::Avx512; }

bool ScalarOnly(LaneKernel kernel) { return kernel == LaneKernel::Scalar; }

struct ChoiceCase {
    const char* setting; // null: unset
    bool (*available)(LaneKernel);
    LaneKernel kernel;
    const char* problem; // null: none
};

// Unset or empty, the widest form runs; a name of a form the processor runs
// selects it; anything else (other spellings included) is refused with the
// valid names, and the widest form is what runs if the refusal is ignored.
TEST(LaneKernel, ChoiceFromTheSetting)
{
    const ChoiceCase cases[] = {
        {nullptr, All, LaneKernel::Avx512, nullptr},
        {"", All, LaneKernel::Avx512, nullptr},
        {nullptr, NoAvx512, LaneKernel::Avx2, nullptr},
        {nullptr, ScalarOnly, LaneKernel::Scalar, nullptr},
        {"scalar", All, LaneKernel::Scalar, nullptr},
        {"avx2", All, LaneKernel::Avx2, nullptr},
        {"avx512", All, LaneKernel::Avx512, nullptr},
        {"avx2", NoAvx512, LaneKernel::Avx2, nullptr},
        {"AVX2", All, LaneKernel::Avx512,
         "TAMRISK_LANES=AVX2 is not a form of the vector kernels (scalar, avx2 or avx512)"},
        {"avx-512", NoAvx512, LaneKernel::Avx2,
         "TAMRISK_LANES=avx-512 is not a form of the vector kernels (scalar, avx2 or avx512)"},
        {"sse", ScalarOnly, LaneKernel::Scalar,
         "TAMRISK_LANES=sse is not a form of the vector kernels (scalar, avx2 or avx512)"},
        {"avx2 ", All, LaneKernel::Avx512,
         "TAMRISK_LANES=avx2  is not a form of the vector kernels (scalar, avx2 or avx512)"},
        {"avx512", NoAvx512, LaneKernel::Avx2,
         "TAMRISK_LANES=avx512 is a form this processor cannot run (it runs scalar or avx2)"},
        {"avx2", ScalarOnly, LaneKernel::Scalar,
         "TAMRISK_LANES=avx2 is a form this processor cannot run (it runs scalar)"},
    };
    for (const ChoiceCase& c : cases) {
        const std::string setting = c.setting ? c.setting : "(unset)";
        const LaneChoice choice = ChooseLaneKernel(c.setting, c.available);
        EXPECT_EQ(choice.kernel, c.kernel) << setting;
        EXPECT_EQ(choice.problem, c.problem ? std::optional<std::string>(c.problem) : std::nullopt) << setting;
    }
}

// Each form's table answers to its own name and fits the callers' buffers.
TEST(LaneKernel, EveryFormByItsName)
{
    for (LaneKernel kernel : kLaneKernels) {
        const lanes::Forms& forms = FormsOf(kernel);
        EXPECT_EQ(ChooseLaneKernel(forms.name, All).kernel, kernel) << forms.name;
        EXPECT_LE(forms.lanes, kMaxLaneCount) << forms.name;
        EXPECT_EQ(LaneCount(kernel), forms.lanes) << forms.name;
    }
    EXPECT_EQ(FormsOf(LaneKernel::Scalar).lanes, 1u);
}

} // namespace
} // namespace tamrisk::detail
