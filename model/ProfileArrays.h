// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/DepthProfile.h"
#include "model/SignalCurves.h"

#include <array>
#include <vector>

namespace tamrisk {

// One per-depth array of DepthProfile, in the column order of the tables
// (clean tables: all 14; the profile export: those with an export header).
struct ProfileArrayRow {
    std::vector<float> DepthProfile::*values;
    const char* column;       // clean-table header: ASCII, unit suffixed where there is one
    const char* englishName;  // legends and descriptions, with unit
    const char* exportHeader; // cp1252 header of the profile export; nullptr: not exported
    bool endsHeaderPiece;     // the export's header piece ends after this column
    // A ratio column: the lab array over the natural one it divides; nullptr for the others.
    std::vector<float> DepthProfile::*ratioOfLab;
    std::vector<float> DepthProfile::*ratioOfNat;
};

// The depth itself, first column of every profile table.
inline constexpr const char* kDepthColumn = "depth_mm";
inline constexpr const char* kDepthEnglishName = "Depth [mm]";

inline constexpr std::array<ProfileArrayRow, 14> kProfileArrays = [] {
    using P = DepthProfile;
    return std::array<ProfileArrayRow, 14>{{
        {&P::intensity, "intensity", "Light intensity [relative]", "Intensit\xE4t", true, nullptr, nullptr},
        {&P::oslContribution, "osl_fraction", "OSL fraction read out", nullptr, false, nullptr, nullptr},
        {&P::natDoseRate, "nat_dose_rate", "Natural beta dose rate [relative]", "Nat.DL", false, nullptr, nullptr},
        {&P::labDose, "lab_dose", "Laboratory beta dose [relative]", "Labor-Dosis", false, nullptr, nullptr},
        {&P::ratio, "ratio", "Lab dose / natural dose rate", "Verh\xE4ltnis 1", true, &P::labDose, &P::natDoseRate},
        {&P::effNatDoseRate, "eff_nat_dose_rate", "Effective natural dose rate [relative]", "Eff.Nat.DL", false,
         nullptr, nullptr},
        {&P::effLabDose, "eff_lab_dose", "Effective lab dose [relative]", "Eff.Lab.Dosis", false, nullptr, nullptr},
        {&P::effRatio, "eff_ratio", "Effective lab / natural ratio", "Verh\xE4ltnis 2", true, &P::effLabDose,
         &P::effNatDoseRate},
        {&P::intNatDoseRate, "int_nat_dose_rate", "Integral of natural dose rate [relative]", "Int.Nat.DL", false,
         nullptr, nullptr},
        {&P::intLabDose, "int_lab_dose", "Integral of lab dose [relative]", "Int.Lab.Dosis", false, nullptr, nullptr},
        {&P::intRatio, "int_ratio", "Integral lab / natural ratio", "Verh\xE4ltnis 3", true, &P::intLabDose,
         &P::intNatDoseRate},
        {&P::effIntNatDoseRate, "eff_int_nat_dose_rate", "Effective integral of natural dose rate [relative]",
         "Eff.Int.Nat.DL", false, nullptr, nullptr},
        {&P::effIntLabDose, "eff_int_lab_dose", "Effective integral of lab dose [relative]", "Eff.Int.Lab.Dosis", false,
         nullptr, nullptr},
        {&P::effIntRatio, "eff_int_ratio", "Effective integral lab / natural ratio", "Verh\xE4ltnis 4", true,
         &P::effIntLabDose, &P::effIntNatDoseRate},
    }};
}();

// Every array of the results is a row of its table: the model sizes exactly these.
static_assert(sizeof(DepthProfile) == kProfileArrays.size() * sizeof(std::vector<float>) + 2 * sizeof(float));

// One array of SignalCurves, in the column order of the curve tables.
struct SignalArrayRow {
    std::vector<float> SignalCurves::*values;
    bool SignalCurves::*computed; // the array holds values of the last run
    const char* column;
    const char* englishName;
};

inline constexpr const char* kTimeColumn = "time_s";
inline constexpr const char* kTimeEnglishName = "Stimulation time [s]";

inline constexpr std::array<SignalArrayRow, 4> kSignalArrays{{
    {&SignalCurves::signalAtDepth, &SignalCurves::signalAtDepthComputed, "signal_at_depth",
     "OSL signal at the curve depth [relative]"},
    {&SignalCurves::totalSignalNat, &SignalCurves::summedComputed, "total_signal_nat",
     "Summed OSL signal, natural dose rate [relative]"},
    {&SignalCurves::totalSignalLab, &SignalCurves::summedComputed, "total_signal_lab",
     "Summed OSL signal, lab dose [relative]"},
    {&SignalCurves::totalSignalHomogeneous, &SignalCurves::summedComputed, "total_signal_homogeneous",
     "Summed OSL signal, homogeneous dose [relative]"},
}};

static_assert(sizeof(SignalCurves) == kSignalArrays.size() * sizeof(std::vector<float>) + alignof(std::vector<float>));

// Index of a profile or signal array in its table.
constexpr int ProfileArrayIndex(std::vector<float> DepthProfile::*values)
{
    for (int i = 0; i < int(kProfileArrays.size()); ++i)
        if (kProfileArrays[std::size_t(i)].values == values)
            return i;
    return -1;
}

constexpr int SignalArrayIndex(std::vector<float> SignalCurves::*values)
{
    for (int i = 0; i < int(kSignalArrays.size()); ++i)
        if (kSignalArrays[std::size_t(i)].values == values)
            return i;
    return -1;
}

} // namespace tamrisk
