// SPDX-License-Identifier: GPL-3.0-or-later
#include "lanes/ColumnLoops.h"
#include "lanes/LaneKernel.h"
#include "lanes/ModelExp.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace tamrisk::detail {
namespace {

// The process follows TAMRISK_LANES, or, where it refuses the value (ctest
// runs this once more with TAMRISK_LANES=sse), reports why and runs the
// widest form, as the window does.
TEST(ChosenForm, FollowsTheSettingOrRunsTheWidestForm)
{
    const LaneChoice expected = ChooseLaneKernel(std::getenv("TAMRISK_LANES"));
    EXPECT_EQ(BestLaneKernel(), expected.kernel);
    EXPECT_EQ(LanesSettingProblem(), expected.problem);
    if (expected.problem) {
        LaneKernel widest = LaneKernel::Scalar;
        for (LaneKernel kernel : kLaneKernels)
            widest = LaneKernelAvailable(kernel) ? kernel : widest;
        EXPECT_EQ(BestLaneKernel(), widest);
    }

    double x[5] = {0.0, -1.0, 1.0, -1e300, 1e300};
    ModelExpBatch(x, x, 5);
    EXPECT_EQ(x[0], 1.0);
    EXPECT_EQ(x[1], ModelExp(-1.0));
    EXPECT_EQ(x[2], ModelExp(1.0));
    EXPECT_EQ(x[3], 0.0);
    const float num[5] = {1.0f, 2.0f, 3.0f, 4.0f, 5.0f};
    float ratio[5];
    RatioColumn(num, num, ratio, 5);
    for (float r : ratio)
        EXPECT_EQ(r, 1.0f);
}

} // namespace
} // namespace tamrisk::detail
