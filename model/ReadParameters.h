// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/ModelParameters.h"

#include <string>

namespace tamrisk {

// The raw texts of the nine edit fields, as the user typed them.
struct EditTexts {
    std::string top = "0.000";           // 1003
    std::string bottom = "2.000";        // 1004
    std::string plotMax = "1.5";         // 1031
    std::string integralScale = "0.005"; // 1032
    std::string intensityMax = "0.1";    // 1037
    std::string timeMax = "600.0";       // 1038
    std::string rate1 = "0.05";          // 1040
    std::string rate2 = "0.01";          // 1041
    std::string curveStep = "10";        // 1047
};

// Positions of the four sliders, kSliderMin to kSliderMax (model/SliderScale.h).
struct SliderPositions {
    int extinction = 120; // 1001
    int doseRate = 0;     // 1006
    int evalTime = 80;    // 1015
    int depth = 100;      // 1017
};

// Everything ReadParameters needs: the state of the window's controls.
// The defaults are the window's start state.
struct ControlState {
    EditTexts edits;
    SliderPositions sliders;
    bool transparencyCorrection = false; // 1046
    DisplayFlags flags;
};

// Fills params and flags from the controls. betaAttenuation and
// transparencyExponent are left as they are.
void ReadParameters(const ControlState& controls, ModelParameters& params, DisplayFlags& flags);

} // namespace tamrisk
