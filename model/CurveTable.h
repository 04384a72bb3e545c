// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/ControlIds.h"
#include "model/ModelParameters.h"
#include "model/ProfileArrays.h"

#include <array>
#include <optional>
#include <string_view>

namespace tamrisk {

enum class PlotKind { Depth, Signal };

struct PenColor {
    int r, g, b;
};

// One curve of the two plots: the check box that shows it, the array it
// draws and how it is named. The rows stand in drawing order within each
// plot: a later curve covers an earlier one where they cross.
struct CurveRow {
    bool DisplayFlags::*flag;
    const char* name; // the flag's name, as the command line takes it
    MainControl box;  // its check box
    PenColor pen;
    PlotKind plot;
    int array;              // index into kProfileArrays or kSignalArrays
    const char* germanText; // the check box's text (UTF-8)
};

namespace curve_table_detail {
constexpr int P(std::vector<float> DepthProfile::*values) { return ProfileArrayIndex(values); }
constexpr int S(std::vector<float> SignalCurves::*values) { return SignalArrayIndex(values); }
} // namespace curve_table_detail

inline constexpr std::array<CurveRow, 18> kCurves = [] {
    using namespace curve_table_detail;
    using D = DisplayFlags;
    using M = MainControl;
    constexpr PlotKind Depth = PlotKind::Depth;
    constexpr PlotKind Signal = PlotKind::Signal;
    return std::array<CurveRow, 18>{{
        {&D::showIntensity,
         "showIntensity",
         M::ShowIntensityBox,
         {255, 0, 255},
         Depth,
         P(&DepthProfile::intensity),
         "Intensitätsverlauf / Stimulationsleistung"},
        {&D::showOslContribution,
         "showOslContribution",
         M::ShowOslContributionBox,
         {150, 0, 150},
         Depth,
         P(&DepthProfile::oslContribution),
         "OSL-Beitrag"},
        {&D::showNatRate,
         "showNatRate",
         M::ShowNatRateBox,
         {180, 180, 0},
         Depth,
         P(&DepthProfile::natDoseRate),
         "Nat. Beta-Dosisleistung"},
        {&D::showLabDose,
         "showLabDose",
         M::ShowLabDoseBox,
         {0, 0, 255},
         Depth,
         P(&DepthProfile::labDose),
         "Labor-Beta-Dosis"},
        {&D::showRatio, "showRatio", M::ShowRatioBox, {255, 255, 255}, Depth, P(&DepthProfile::ratio), "Verhältnis"},
        {&D::showIntNatRate,
         "showIntNatRate",
         M::ShowIntNatRateBox,
         {180, 100, 100},
         Depth,
         P(&DepthProfile::intNatDoseRate),
         "Integral nat. Beta-Dosisleist."},
        {&D::showIntLabDose,
         "showIntLabDose",
         M::ShowIntLabDoseBox,
         {100, 100, 180},
         Depth,
         P(&DepthProfile::intLabDose),
         "Integral Labor-Beta-Dosis"},
        {&D::showIntRatio,
         "showIntRatio",
         M::ShowIntRatioBox,
         {180, 180, 180},
         Depth,
         P(&DepthProfile::intRatio),
         "Verhältnis"},
        {&D::showEffNatRate,
         "showEffNatRate",
         M::ShowEffNatRateBox,
         {160, 160, 0},
         Depth,
         P(&DepthProfile::effNatDoseRate),
         "Eff. Nat. Beta-Dosisleistung"},
        {&D::showEffLabDose,
         "showEffLabDose",
         M::ShowEffLabDoseBox,
         {0, 0, 200},
         Depth,
         P(&DepthProfile::effLabDose),
         "Eff. Labor-Beta-Dosis"},
        {&D::showEffRatio,
         "showEffRatio",
         M::ShowEffRatioBox,
         {150, 150, 150},
         Depth,
         P(&DepthProfile::effRatio),
         "Verhältnis"},
        {&D::showEffIntNatRate,
         "showEffIntNatRate",
         M::ShowEffIntNatRateBox,
         {160, 80, 200},
         Depth,
         P(&DepthProfile::effIntNatDoseRate),
         "Eff. Int. nat. Beta-Dosisleist."},
        {&D::showEffIntLabDose,
         "showEffIntLabDose",
         M::ShowEffIntLabDoseBox,
         {80, 80, 200},
         Depth,
         P(&DepthProfile::effIntLabDose),
         "Eff. Int. Labor-Beta-Dosis"},
        {&D::showEffIntRatio,
         "showEffIntRatio",
         M::ShowEffIntRatioBox,
         {100, 100, 100},
         Depth,
         P(&DepthProfile::effIntRatio),
         "Verhältnis"},
        {&D::showSignalAtDepth,
         "showSignalAtDepth",
         M::ShowSignalAtDepthBox,
         {255, 0, 255},
         Signal,
         S(&SignalCurves::signalAtDepth),
         "OSL-Signal homogene Dosis"},
        {&D::showTotalSignalHomogeneous,
         "showTotalSignalHomogeneous",
         M::ShowTotalSignalHomogeneousBox,
         {180, 0, 180},
         Signal,
         S(&SignalCurves::totalSignalHomogeneous),
         "Gesamt OSL-Signal homogene Dosis"},
        {&D::showTotalSignalNat,
         "showTotalSignalNat",
         M::ShowTotalSignalNatBox,
         {180, 180, 0},
         Signal,
         S(&SignalCurves::totalSignalNat),
         "Gesamt OSL-Signal nat. DL"},
        {&D::showTotalSignalLab,
         "showTotalSignalLab",
         M::ShowTotalSignalLabBox,
         {0, 0, 255},
         Signal,
         S(&SignalCurves::totalSignalLab),
         "Gesamt OSL-Signal Labor-Dosis"},
    }};
}();

// The row of a curve by its flag name, or nothing.
constexpr const CurveRow* FindCurve(std::string_view name)
{
    for (const CurveRow& row : kCurves)
        if (name == row.name)
            return &row;
    return nullptr;
}

// The check-box text of a curve's box; nullptr for a control that is no curve box.
constexpr const char* CurveBoxText(MainControl box)
{
    for (const CurveRow& row : kCurves)
        if (row.box == box)
            return row.germanText;
    return nullptr;
}

// Legends: the English name and unit of the array the curve draws.
constexpr const char* CurveEnglishName(const CurveRow& row)
{
    return row.plot == PlotKind::Depth ? kProfileArrays[std::size_t(row.array)].englishName
                                       : kSignalArrays[std::size_t(row.array)].englishName;
}

// Every curve shown, the automatic scales as given.
constexpr DisplayFlags AllCurvesShown(DisplayFlags flags = {})
{
    for (const CurveRow& row : kCurves)
        flags.*row.flag = true;
    return flags;
}

} // namespace tamrisk
