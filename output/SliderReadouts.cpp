#include "output/SliderReadouts.h"

#include "model/SliderScale.h"
#include "output/NumberText.h"

namespace tamrisk {

SliderReadouts ComputeSliderReadouts(const SliderPositions& sliders, const ModelParameters& previous)
{
    constexpr int kDigits = 4;

    // The half-value depth and transmission follow the slider's extinction,
    // not the one of the last ReadParameters.
    ModelParameters derived = previous;
    derived.extinction = PositionToValue(sliders.extinction, kExtinctionScale);
    DeriveFromExtinction(derived);

    SliderReadouts readouts;
    readouts.extinction = FormatGeneral(derived.extinction, kDigits);
    readouts.halfValueDepth = FormatGeneral(derived.halfValueDepth, kDigits);
    readouts.transmission = FormatGeneral(derived.transmission, kDigits);
    readouts.doseRate = FormatGeneral(PositionToValue(sliders.doseRate, kDoseRateScale), kDigits);
    readouts.evalTime = FormatGeneral(PositionToValue(sliders.evalTime, kEvalTimeScale), kDigits);
    readouts.depth = FormatGeneral(
        PositionToValue(sliders.depth, DepthScale(previous.top, previous.bottom)), kDigits);
    return readouts;
}

} // namespace tamrisk
