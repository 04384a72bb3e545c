// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A literal, unoptimised transcription of the model run (time outer, depth
// inner, every value through the public per-depth functions), used to check
// the optimised ComputeModel bit for bit.

#include "model/ComputeModel.h"

#include <cmath>
#include <vector>

namespace tamrisk::testing {

inline float Weighted(float intensity, float p, float value)
{
    return float(std::pow(double(intensity), double(p)) * double(value));
}

inline void ReferenceModel(const ModelParameters& m, const DisplayFlags& flags, DepthProfile& d, SignalCurves& c)
{
    const auto n = static_cast<std::size_t>(m.depthPoints > 0 ? m.depthPoints : 0);
    const auto tn = static_cast<std::size_t>(m.timePoints > 0 ? m.timePoints : 0);
    d = DepthProfile{};
    for (auto* a : {&d.intensity, &d.oslContribution, &d.labDose, &d.natDoseRate, &d.ratio, &d.intLabDose,
                    &d.intNatDoseRate, &d.intRatio, &d.effLabDose, &d.effNatDoseRate, &d.effRatio, &d.effIntLabDose,
                    &d.effIntNatDoseRate, &d.effIntRatio}) {
        a->assign(n, 0.0f);
    }
    c = SignalCurves{};
    for (auto* a : {&c.totalSignalLab, &c.totalSignalNat, &c.totalSignalHomogeneous, &c.signalAtDepth}) {
        a->assign(tn, 0.0f);
    }
    const float depthStep = float((double(m.bottom) - double(m.top)) / m.depthPoints);
    const float timeStep = float((double(m.timeMax) - double(m.timeMin)) / m.timePoints);
    const float p = m.transparencyExponent;
    float sumLab = 0, sumNat = 0, sumEffLab = 0, sumEffNat = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const float z = float(double(i) * depthStep);
        d.intensity[i] = IntensityAt(z, m.extinction);
        d.oslContribution[i] = OslFraction(z, m.evalTime, m.extinction, m.rate1);
        if (m.transparencyCorrection) {
            d.oslContribution[i] = Weighted(d.intensity[i], p, d.oslContribution[i]);
        }
        d.labDose[i] = LabDoseFit(z);
        d.natDoseRate[i] = NatDoseRateAt(z, m.betaAttenuation, m.externalDoseRate);
        d.ratio[i] = float(double(d.labDose[i]) / d.natDoseRate[i]);
        sumLab = float(double(sumLab) + d.labDose[i]);
        sumNat = float(double(sumNat) + d.natDoseRate[i]);
        d.intLabDose[i] = float(double(sumLab) * m.integralScale);
        d.intNatDoseRate[i] = float(double(sumNat) * m.integralScale);
        d.intRatio[i] = float(double(d.intLabDose[i]) / d.intNatDoseRate[i]);
        const double w = std::pow(double(d.intensity[i]), double(p));
        d.effLabDose[i] = float(w * d.labDose[i] * d.oslContribution[i]);
        d.effNatDoseRate[i] = float(w * d.natDoseRate[i] * d.oslContribution[i]);
        d.effRatio[i] = float(double(d.effLabDose[i]) / d.effNatDoseRate[i]);
        sumEffLab = float(double(sumEffLab) + d.effLabDose[i]);
        sumEffNat = float(double(sumEffNat) + d.effNatDoseRate[i]);
        d.effIntLabDose[i] = float(double(sumEffLab) * m.integralScale);
        d.effIntNatDoseRate[i] = float(double(sumEffNat) * m.integralScale);
        d.effIntRatio[i] = float(double(d.effIntLabDose[i]) / d.effIntNatDoseRate[i]);
    }
    d.effLabTotal = sumEffLab;
    d.effNatTotal = sumEffNat;

    const int count = (m.curveStep != 0 && m.depthPoints > 0) ? m.depthPoints / m.curveStep : 0;
    for (std::size_t k = 0; k < tn; ++k) {
        const float t = float(double(k) * timeStep);
        if (flags.showSignalAtDepth) {
            c.signalAtDepth[k] = DecaySignal(t, m.extinction, m.signalDepth, m.rate1);
        }
        if (flags.anySummedSignal()) {
            float hom = 0, lab = 0, nat = 0;
            for (int j = 0; j < count; ++j) {
                const int idx = j * m.curveStep;
                const float z = float(double(idx) * depthStep);
                float a = DecaySignal(t, m.extinction, z, m.rate1);
                if (m.transparencyCorrection) {
                    a = Weighted(d.intensity[idx], p, a);
                }
                hom = float(double(hom) + a);
                lab = float(double(lab) + double(a) * d.labDose[idx]);
                nat = float(double(nat) + double(a) * d.natDoseRate[idx]);
            }
            c.totalSignalHomogeneous[k] = hom;
            c.totalSignalLab[k] = lab;
            c.totalSignalNat[k] = nat;
        }
    }
    c.summedComputed = flags.anySummedSignal();
    c.signalAtDepthComputed = flags.showSignalAtDepth;
}

} // namespace tamrisk::testing
