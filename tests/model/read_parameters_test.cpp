// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ReadParameters.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tamrisk {
namespace {

ModelParameters Read(const ControlState& controls)
{
    ModelParameters params;
    DisplayFlags flags;
    ReadParameters(controls, params, flags);
    return params;
}

TEST(ReadParameters, StartStateGivesTheDefaults)
{
    ControlState controls;
    controls.flags.showRatio = true;
    controls.transparencyCorrection = true;
    // Every field starts from a value the start state does not have, so each
    // check below shows that ReadParameters set it.
    ModelParameters params;
    for (float* field : {&params.top, &params.bottom, &params.extinction, &params.halfValueDepth, &params.transmission,
                         &params.externalDoseRate, &params.evalTime, &params.signalDepth, &params.rate1, &params.rate2,
                         &params.plotMax, &params.integralScale, &params.intensityMax, &params.intensityMin,
                         &params.timeMax, &params.timeMin})
        *field = -7.0f;
    params.depthPoints = 7;
    params.timePoints = 7;
    params.curveStep = 7;
    params.betaAttenuation = 0.25f; // fixed fields stay untouched
    params.transparencyExponent = 2.0f;
    DisplayFlags flags;
    flags.autoScaleProfile = false;
    flags.autoScaleSignal = false;
    ReadParameters(controls, params, flags);

    EXPECT_EQ(params.depthPoints, 400);
    EXPECT_EQ(params.timePoints, 450);
    EXPECT_EQ(params.top, 0.0f);
    EXPECT_EQ(params.bottom, 2.0f);
    EXPECT_EQ(params.extinction, 10.0f);
    EXPECT_NEAR(params.halfValueDepth, 0.06931f, 5e-6f);
    EXPECT_NEAR(params.transmission, 0.0000454f, 5e-8f);
    EXPECT_EQ(params.externalDoseRate, 0.0f);
    EXPECT_EQ(params.evalTime, 100.0f);
    EXPECT_EQ(params.signalDepth, 1.0f);
    EXPECT_EQ(params.rate1, 0.05f);
    EXPECT_EQ(params.rate2, 0.01f);
    EXPECT_EQ(params.plotMax, 1.5f);
    EXPECT_EQ(params.integralScale, 0.005f);
    EXPECT_EQ(params.curveStep, 10);
    EXPECT_EQ(params.intensityMax, 0.1f);
    EXPECT_EQ(params.intensityMin, 0.0f);
    EXPECT_EQ(params.timeMax, 600.0f);
    EXPECT_EQ(params.timeMin, 0.0f);
    EXPECT_TRUE(params.transparencyCorrection);
    EXPECT_EQ(params.betaAttenuation, 0.25f);
    EXPECT_EQ(params.transparencyExponent, 2.0f);
    EXPECT_TRUE(flags.showRatio);
    EXPECT_TRUE(flags.autoScaleProfile);
    EXPECT_TRUE(flags.autoScaleSignal);
}

TEST(ReadParameters, DepthSliderFollowsTheEdgesJustParsed)
{
    ControlState controls;
    controls.edits.top = "1";
    controls.edits.bottom = "3";
    EXPECT_EQ(Read(controls).signalDepth, 2.0f);

    controls.edits.bottom = "1.0";
    EXPECT_EQ(Read(controls).signalDepth, 1.0f);

    controls.edits.top = "2";
    controls.edits.bottom = "0";
    controls.sliders.depth = 150;
    EXPECT_EQ(Read(controls).signalDepth, 0.5f); // reversed edges run downward
}

TEST(ReadParameters, EditTextsParseAsAtofAndAtoi)
{
    ControlState controls;
    controls.edits.curveStep = "10.9";
    controls.edits.rate1 = "2e-3";
    controls.edits.timeMax = " 2.5mm";
    controls.edits.bottom = "1,5";
    controls.edits.integralScale = "";
    controls.edits.plotMax = "1e300"; // beyond single precision: infinity
    const ModelParameters params = Read(controls);
    EXPECT_EQ(params.curveStep, 10);
    EXPECT_EQ(params.rate1, 0.002f);
    EXPECT_EQ(params.timeMax, 2.5f);
    EXPECT_EQ(params.bottom, 1.0f);
    EXPECT_EQ(params.integralScale, 0.0f);
    EXPECT_TRUE(std::isinf(params.plotMax));
}

TEST(ReadParameters, SliderPositionsMapThroughTheirScales)
{
    ControlState controls;
    controls.sliders = {200, 100, 0, 0};
    const ModelParameters params = Read(controls);
    EXPECT_EQ(params.extinction, 1000.0f);
    EXPECT_EQ(params.externalDoseRate, 1.0f);
    EXPECT_EQ(params.evalTime, 1.0f);
    EXPECT_EQ(params.signalDepth, 0.0f);
    // DeriveFromExtinction ran with the new extinction.
    EXPECT_EQ(params.halfValueDepth, float(0.6931471805599453 / 1000.0));
    EXPECT_EQ(params.transmission, 0.0f);
}

TEST(DeriveFromExtinction, TransmissionIsAFractionPerMillimetre)
{
    ModelParameters params;
    params.extinction = 1.0f;
    DeriveFromExtinction(params);
    EXPECT_NEAR(params.transmission, 0.3679f, 5e-5f);
    EXPECT_NEAR(params.halfValueDepth, 0.6931f, 5e-5f);
    params.extinction = 0.0f;
    DeriveFromExtinction(params);
    EXPECT_TRUE(std::isinf(params.halfValueDepth));
    EXPECT_EQ(params.transmission, 1.0f);
}

} // namespace
} // namespace tamrisk
