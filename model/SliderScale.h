// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace tamrisk {

// Mapping between a slider's integer positions and a parameter value. On a
// logarithmic scale lo and hi are decimal exponents.
struct SliderScale {
    float lo;
    float hi;
    float posMin;
    float posMax;
    bool logarithmic;
};

inline constexpr int kSliderMin = 0;
inline constexpr int kSliderMax = 200;

// Every slider has the positions kSliderMin to kSliderMax.
inline constexpr SliderScale kExtinctionScale{-2.0f, 3.0f, float(kSliderMin), float(kSliderMax), true};
inline constexpr SliderScale kDoseRateScale{0.0f, 2.0f, float(kSliderMin), float(kSliderMax), false};
inline constexpr SliderScale kEvalTimeScale{0.0f, 5.0f, float(kSliderMin), float(kSliderMax), true};
// The depth slider runs from the current top to the current bottom edge.
inline constexpr SliderScale DepthScale(float top, float bottom)
{
    return {top, bottom, float(kSliderMin), float(kSliderMax), false};
}

float PositionToValue(int position, float lo, float hi, float posMin, float posMax, bool logarithmic);
int ValueToPosition(float value, float lo, float hi, float posMin, float posMax, bool logarithmic);

inline float PositionToValue(int position, const SliderScale& s)
{
    return PositionToValue(position, s.lo, s.hi, s.posMin, s.posMax, s.logarithmic);
}
inline int ValueToPosition(float value, const SliderScale& s)
{
    return ValueToPosition(value, s.lo, s.hi, s.posMin, s.posMax, s.logarithmic);
}

} // namespace tamrisk
