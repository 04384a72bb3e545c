#include "output/SliderReadouts.h"

#include "model/SliderScale.h"
#include "output/NumberText.h"

namespace tamrisk {

std::string FormatReadout(double value) { return FormatGeneral(value, 4); }

SliderReadouts ComputeSliderReadouts(const SliderPositions& sliders, const ModelParameters& previous)
{
    // The half-value depth and transmission follow the slider's extinction,
    // not the one of the last ReadParameters.
    ModelParameters derived = previous;
    derived.extinction = PositionToValue(sliders.extinction, kExtinctionScale);
    DeriveFromExtinction(derived);

    SliderReadouts readouts;
    readouts.extinction = FormatReadout(derived.extinction);
    readouts.halfValueDepth = FormatReadout(derived.halfValueDepth);
    readouts.transmission = FormatReadout(derived.transmission);
    readouts.doseRate = FormatReadout(PositionToValue(sliders.doseRate, kDoseRateScale));
    readouts.evalTime = FormatReadout(PositionToValue(sliders.evalTime, kEvalTimeScale));
    readouts.depth = FormatReadout(PositionToValue(sliders.depth, DepthScale(previous.top, previous.bottom)));
    return readouts;
}

SliderReadouts ComputeSliderReadouts(const SliderPositions& sliders, const ModelParameters& previous,
                                     const ParameterOverrides& overrides, const ModelParameters& used)
{
    SliderReadouts readouts = ComputeSliderReadouts(sliders, previous);
    if (overrides.extinction) {
        readouts.extinction = FormatReadout(used.extinction);
        readouts.halfValueDepth = FormatReadout(used.halfValueDepth);
        readouts.transmission = FormatReadout(used.transmission);
    }
    if (overrides.doseRate)
        readouts.doseRate = FormatReadout(used.externalDoseRate);
    if (overrides.evalTime)
        readouts.evalTime = FormatReadout(used.evalTime);
    if (overrides.depth)
        readouts.depth = FormatReadout(used.signalDepth);
    return readouts;
}

} // namespace tamrisk
