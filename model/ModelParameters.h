// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace tamrisk {

// The numeric input of the model and the plots. Real values are stored in
// single precision; every computation that produces one runs in double
// precision and rounds when it stores.
struct ModelParameters {
    int depthPoints = 400;
    int timePoints = 450;
    float top = 0.0f;                   // top edge of the slab [mm]
    float bottom = 2.0f;                // bottom edge of the slab [mm]
    float extinction = 10.0f;           // extinction coefficient mu [1/mm]
    float halfValueDepth = 0.0f;        // ln 2 / extinction [mm]
    float transmission = 0.0f;          // exp(-extinction): light left after 1 mm
    float betaAttenuation = 0.8333333f; // natural beta dose-rate attenuation [1/mm]
    float transparencyExponent = 1.0f;  // exponent p of the intensity weighting
    float externalDoseRate = 0.0f;      // relative to the internal one
    float evalTime = 100.0f;            // evaluation interval [s]
    float signalDepth = 1.0f;           // depth of the single decay curve [mm]
    float rate1 = 0.05f;                // OSL decay rate, fraction per second
    float rate2 = 0.01f;                // parsed and kept; enters no computation
    bool transparencyCorrection = false;
    float plotMax = 1.5f;         // value axis maximum of the depth plot
    float integralScale = 0.005f; // factor on all running sums
    int curveStep = 10;           // every curveStep-th depth for summed curves
    float intensityMax = 0.1f;    // value axis maximum of the signal plot
    float intensityMin = 0.0f;
    float timeMax = 600.0f; // time axis maximum [s]
    float timeMin = 0.0f;
};

// Which curves are shown and whether the plot axes scale themselves.
struct DisplayFlags {
    bool showIntensity = false;
    bool showOslContribution = false;
    bool showNatRate = false;
    bool showLabDose = false;
    bool showRatio = false;
    bool showEffNatRate = false;
    bool showEffLabDose = false;
    bool showEffRatio = false;
    bool showIntNatRate = false;
    bool showIntLabDose = false;
    bool showIntRatio = false;
    bool showEffIntNatRate = false;
    bool showEffIntLabDose = false;
    bool showEffIntRatio = false;
    bool showTotalSignalNat = false;
    bool showTotalSignalLab = false;
    bool showTotalSignalHomogeneous = false;
    bool showSignalAtDepth = false;
    bool autoScaleProfile = true;
    bool autoScaleSignal = true;

    bool signalAtDepthShown() const { return showSignalAtDepth; }
    bool anySummedSignal() const { return showTotalSignalHomogeneous || showTotalSignalNat || showTotalSignalLab; }
};

// Sets halfValueDepth and transmission from extinction.
void DeriveFromExtinction(ModelParameters& params);

} // namespace tamrisk
