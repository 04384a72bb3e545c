// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/SliderReadouts.h"

#include <gtest/gtest.h>

namespace tamrisk {
namespace {

TEST(SliderReadouts, DefaultsReadAsTheWindowShowsThem)
{
    const SliderReadouts r = ComputeSliderReadouts(SliderPositions{}, ModelParameters{});
    EXPECT_EQ(r.extinction, "10.");
    EXPECT_EQ(r.halfValueDepth, "6.931e-002");
    EXPECT_EQ(r.transmission, "4.54e-005");
    EXPECT_EQ(r.doseRate, "0.");
    EXPECT_EQ(r.evalTime, "100.");
    EXPECT_EQ(r.depth, "1.");
}

TEST(SliderReadouts, EndPositionsOfTheSliders)
{
    const SliderReadouts low = ComputeSliderReadouts({0, 1, 0, 0}, ModelParameters{});
    EXPECT_EQ(low.extinction, "1.e-002");
    EXPECT_EQ(low.halfValueDepth, "69.31");
    EXPECT_EQ(low.transmission, "0.99");
    EXPECT_EQ(low.doseRate, "1.e-002");
    EXPECT_EQ(low.evalTime, "1.");
    EXPECT_EQ(low.depth, "0.");

    const SliderReadouts high = ComputeSliderReadouts({200, 200, 200, 200}, ModelParameters{});
    EXPECT_EQ(high.extinction, "1000");
    EXPECT_EQ(high.halfValueDepth, "6.931e-004");
    EXPECT_EQ(high.transmission, "0.");
    EXPECT_EQ(high.doseRate, "2.");
    EXPECT_EQ(high.evalTime, "1.e+005");
    EXPECT_EQ(high.depth, "2.");
}

TEST(SliderReadouts, ExtinctionDerivesFromTheSliderNotFromThePreviousRun)
{
    ModelParameters previous;
    previous.extinction = 1.0f;
    previous.halfValueDepth = 0.0f;
    const SliderReadouts r = ComputeSliderReadouts({130, 100, 81, 100}, previous);
    EXPECT_EQ(r.extinction, "17.78");
    EXPECT_EQ(r.halfValueDepth, "3.898e-002");
    EXPECT_EQ(r.transmission, "1.892e-008");
    EXPECT_EQ(r.doseRate, "1.");
    EXPECT_EQ(r.evalTime, "105.9");
}

// The depth read-out uses the edges of the last ReadParameters, so the same
// position means another depth when the edges change.
TEST(SliderReadouts, DepthFollowsThePreviousEdges)
{
    struct Case {
        float top, bottom;
        int position;
        const char* expected;
    };
    const Case cases[] = {
        {0.0f, 2.0f, 100, "1."}, {1.0f, 3.0f, 0, "1."},    {1.0f, 3.0f, 200, "3."},
        {2.0f, 0.0f, 50, "1.5"}, {0.5f, 0.5f, 150, "0.5"}, {0.0f, 0.2f, 1, "1.e-003"},
    };
    for (const Case& c : cases) {
        ModelParameters previous;
        previous.top = c.top;
        previous.bottom = c.bottom;
        SliderPositions sliders;
        sliders.depth = c.position;
        EXPECT_EQ(ComputeSliderReadouts(sliders, previous).depth, c.expected)
            << c.top << ".." << c.bottom << " at " << c.position;
    }
}

} // namespace
} // namespace tamrisk
