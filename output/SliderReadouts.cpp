// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/SliderReadouts.h"

#include "model/SliderScale.h"
#include "output/NumberText.h"

namespace tamrisk {

std::string FormatReadout(double value) { return FormatGeneral(value, 4); }

SliderValues ComputeSliderValues(const SliderPositions& sliders, const ModelParameters& previous,
                                 const ParameterOverrides& overrides, const ModelParameters& used)
{
    // The half-value depth and transmission follow the slider's extinction,
    // not the one of the last ReadParameters.
    ModelParameters derived = previous;
    derived.extinction = PositionToValue(sliders.extinction, kExtinctionScale);
    DeriveFromExtinction(derived);

    SliderValues v{derived.extinction,
                   derived.halfValueDepth,
                   derived.transmission,
                   PositionToValue(sliders.doseRate, kDoseRateScale),
                   PositionToValue(sliders.evalTime, kEvalTimeScale),
                   PositionToValue(sliders.depth, DepthScale(previous.top, previous.bottom))};
    // A parameter set directly is shown as it was used, not as its slider stands.
    if (overrides.extinction) {
        v.extinction = used.extinction;
        v.halfValueDepth = used.halfValueDepth;
        v.transmission = used.transmission;
    }
    if (overrides.doseRate)
        v.doseRate = used.externalDoseRate;
    if (overrides.evalTime)
        v.evalTime = used.evalTime;
    if (overrides.depth)
        v.depth = used.signalDepth;
    return v;
}

SliderReadouts FormatSliderReadouts(const SliderValues& v)
{
    return {FormatReadout(v.extinction), FormatReadout(v.halfValueDepth), FormatReadout(v.transmission),
            FormatReadout(v.doseRate),   FormatReadout(v.evalTime),       FormatReadout(v.depth)};
}

SliderReadouts ComputeSliderReadouts(const SliderPositions& sliders, const ModelParameters& previous)
{
    return FormatSliderReadouts(ComputeSliderValues(sliders, previous));
}

} // namespace tamrisk
