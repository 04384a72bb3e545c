// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ReadParameters.h"

#include "model/ParseText.h"
#include "model/SliderScale.h"

namespace tamrisk {

namespace {

float ParseFloat(const std::string& text) { return static_cast<float>(ParseNumber(text)); }

} // namespace

void ReadParameters(const ControlState& controls, ModelParameters& params, DisplayFlags& flags)
{
    const EditTexts& edits = controls.edits;
    const SliderPositions& sliders = controls.sliders;

    flags = controls.flags;
    params.transparencyCorrection = controls.transparencyCorrection;

    params.depthPoints = 400;
    params.top = ParseFloat(edits.top);
    params.bottom = ParseFloat(edits.bottom);
    params.intensityMin = 0.0f;
    params.timeMin = 0.0f;
    params.intensityMax = ParseFloat(edits.intensityMax);
    params.timeMax = ParseFloat(edits.timeMax);
    params.timePoints = 450;

    params.extinction = PositionToValue(sliders.extinction, kExtinctionScale);
    DeriveFromExtinction(params);
    params.externalDoseRate = PositionToValue(sliders.doseRate, kDoseRateScale);
    params.evalTime = PositionToValue(sliders.evalTime, kEvalTimeScale);
    // The depth slider's scale follows the edges just parsed.
    params.signalDepth = PositionToValue(sliders.depth, DepthScale(params.top, params.bottom));

    params.plotMax = ParseFloat(edits.plotMax);
    params.integralScale = ParseFloat(edits.integralScale);
    params.rate1 = ParseFloat(edits.rate1);
    params.rate2 = ParseFloat(edits.rate2);
    params.curveStep = ParseInteger(edits.curveStep);
}

} // namespace tamrisk
