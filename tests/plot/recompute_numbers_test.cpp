// SPDX-License-Identifier: GPL-3.0-or-later
// The chain without pictures gives every number and read-out of the full one.
#include "plot/Recompute.h"
#include "model/CurveTable.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tamrisk {
namespace {

TEST(RecomputeNumbers, SameNumbersAndReadoutsWithoutDrawing)
{
    ControlState everything;
    everything.flags = AllCurvesShown();
    ControlState fixedAxes = everything;
    fixedAxes.flags.autoScaleProfile = false;
    fixedAxes.flags.autoScaleSignal = false;
    for (const ControlState& controls : {ControlState{}, everything, fixedAxes}) {
        ModelState drawn;
        const PlotReadouts full = Recompute(controls, drawn);
        ModelState numbers;
        const PlotReadouts scaled = RecomputeNumbers(controls, numbers);

        EXPECT_EQ(scaled.depthAutoMax, full.depthAutoMax);
        EXPECT_EQ(scaled.signalAutoMax, full.signalAutoMax);
        EXPECT_EQ(scaled.effLabTotal, full.effLabTotal);
        EXPECT_EQ(scaled.effNatTotal, full.effNatTotal);
        EXPECT_EQ(scaled.effRatio, full.effRatio);
        EXPECT_TRUE(testing::SameBits(numbers.params.plotMax, drawn.params.plotMax));
        EXPECT_TRUE(testing::SameBits(numbers.params.intensityMax, drawn.params.intensityMax));
        testing::ExpectSameProfile(numbers.profile, drawn.profile);
        testing::ExpectSameCurves(numbers.curves, drawn.curves);

        const auto untouched = [](const Raster& r) {
            return std::all_of(r.pixels().begin(), r.pixels().end(), [](Color c) { return c == 0; });
        };
        EXPECT_TRUE(untouched(numbers.pictures.depth));
        EXPECT_TRUE(untouched(numbers.pictures.signal));
    }
}

} // namespace
} // namespace tamrisk
