// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/ControlIds.h"
#include "model/ModelParameters.h"
#include "model/ProfileArrays.h"

#include <array>
#include <optional>
#include <string_view>

namespace tamrisk {

// The two window plots, the figures made from a scan (a map) and a sweep (a
// family of curves), and the figure of a fit to measured data.
enum class PlotKind { Depth, Signal, Scan, Sweep, Fit };

struct PenColor {
    int r, g, b;
};

// How a printed curve's line runs; the plain quantity is solid, its
// effective version dashed, integrals dotted and effective integrals dash-dotted.
enum class LineDash { Solid, Dashed, Dotted, DashDotted };

struct PrintPen {
    PenColor color;
    LineDash dash;
};

// The print palette: the colour-blind-safe colours of Okabe and Ito, without
// the yellow, which is too light on white paper. Any two of them stay at
// least kPrintMinDeltaE apart (CIEDE2000) in normal vision and under
// simulated protanopia, deuteranopia and tritanopia.
namespace print_palette {
inline constexpr PenColor kBlack{0, 0, 0};
inline constexpr PenColor kOrange{230, 159, 0};
inline constexpr PenColor kSkyBlue{86, 180, 233};
inline constexpr PenColor kBluishGreen{0, 158, 115};
inline constexpr PenColor kBlue{0, 114, 178};
inline constexpr PenColor kVermillion{213, 94, 0};
inline constexpr PenColor kReddishPurple{204, 121, 167};
} // namespace print_palette

inline constexpr double kPrintMinDeltaE = 10.0;

// Pens of a family of curves (one curve per value of a varied input), in
// order: every colour solid, then every colour again dashed, then dotted.
inline constexpr std::array<PenColor, 7> kFamilyColors{
    print_palette::kBlack,  print_palette::kVermillion, print_palette::kBlue,          print_palette::kBluishGreen,
    print_palette::kOrange, print_palette::kSkyBlue,    print_palette::kReddishPurple,
};
inline constexpr std::array<LineDash, 4> kFamilyDashes{LineDash::Solid, LineDash::Dashed, LineDash::Dotted,
                                                       LineDash::DashDotted};
constexpr PrintPen FamilyPen(std::size_t k)
{
    return {kFamilyColors[k % kFamilyColors.size()], kFamilyDashes[(k / kFamilyColors.size()) % kFamilyDashes.size()]};
}

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
    PrintPen print;         // its pen in printed figures
    const char* germanName; // its name in German legends, with unit (UTF-8)
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
    using namespace print_palette;
    constexpr LineDash Solid = LineDash::Solid, Dashed = LineDash::Dashed, Dotted = LineDash::Dotted,
                       DashDotted = LineDash::DashDotted;
    return std::array<CurveRow, 18>{{
        {&D::showIntensity,
         "showIntensity",
         M::ShowIntensityBox,
         {255, 0, 255},
         Depth,
         P(&DepthProfile::intensity),
         "Intensitätsverlauf / Stimulationsleistung",
         {kVermillion, Solid},
         "Lichtintensität [relativ]"},
        {&D::showOslContribution,
         "showOslContribution",
         M::ShowOslContributionBox,
         {150, 0, 150},
         Depth,
         P(&DepthProfile::oslContribution),
         "OSL-Beitrag",
         {kReddishPurple, Solid},
         "Ausgelesener OSL-Anteil [relativ]"},
        {&D::showNatRate,
         "showNatRate",
         M::ShowNatRateBox,
         {180, 180, 0},
         Depth,
         P(&DepthProfile::natDoseRate),
         "Nat. Beta-Dosisleistung",
         {kBluishGreen, Solid},
         "Natürliche Beta-Dosisleistung [relativ]"},
        {&D::showLabDose,
         "showLabDose",
         M::ShowLabDoseBox,
         {0, 0, 255},
         Depth,
         P(&DepthProfile::labDose),
         "Labor-Beta-Dosis",
         {kBlue, Solid},
         "Labor-Beta-Dosis [relativ]"},
        {&D::showRatio,
         "showRatio",
         M::ShowRatioBox,
         {255, 255, 255},
         Depth,
         P(&DepthProfile::ratio),
         "Verhältnis",
         {kBlack, Solid},
         "Verhältnis Labor-Dosis / natürliche Dosisleistung"},
        {&D::showIntNatRate,
         "showIntNatRate",
         M::ShowIntNatRateBox,
         {180, 100, 100},
         Depth,
         P(&DepthProfile::intNatDoseRate),
         "Integral nat. Beta-Dosisleist.",
         {kBluishGreen, Dotted},
         "Integral der natürlichen Beta-Dosisleistung [relativ]"},
        {&D::showIntLabDose,
         "showIntLabDose",
         M::ShowIntLabDoseBox,
         {100, 100, 180},
         Depth,
         P(&DepthProfile::intLabDose),
         "Integral Labor-Beta-Dosis",
         {kBlue, Dotted},
         "Integral der Labor-Beta-Dosis [relativ]"},
        {&D::showIntRatio,
         "showIntRatio",
         M::ShowIntRatioBox,
         {180, 180, 180},
         Depth,
         P(&DepthProfile::intRatio),
         "Verhältnis",
         {kBlack, Dotted},
         "Verhältnis Integral Labor-Dosis / Integral natürliche Dosisleistung"},
        {&D::showEffNatRate,
         "showEffNatRate",
         M::ShowEffNatRateBox,
         {160, 160, 0},
         Depth,
         P(&DepthProfile::effNatDoseRate),
         "Eff. Nat. Beta-Dosisleistung",
         {kBluishGreen, Dashed},
         "Effektive natürliche Beta-Dosisleistung [relativ]"},
        {&D::showEffLabDose,
         "showEffLabDose",
         M::ShowEffLabDoseBox,
         {0, 0, 200},
         Depth,
         P(&DepthProfile::effLabDose),
         "Eff. Labor-Beta-Dosis",
         {kBlue, Dashed},
         "Effektive Labor-Beta-Dosis [relativ]"},
        {&D::showEffRatio,
         "showEffRatio",
         M::ShowEffRatioBox,
         {150, 150, 150},
         Depth,
         P(&DepthProfile::effRatio),
         "Verhältnis",
         {kBlack, Dashed},
         "Effektives Verhältnis Labor-Dosis / natürliche Dosisleistung"},
        {&D::showEffIntNatRate,
         "showEffIntNatRate",
         M::ShowEffIntNatRateBox,
         {160, 80, 200},
         Depth,
         P(&DepthProfile::effIntNatDoseRate),
         "Eff. Int. nat. Beta-Dosisleist.",
         {kBluishGreen, DashDotted},
         "Effektives Integral der natürlichen Beta-Dosisleistung [relativ]"},
        {&D::showEffIntLabDose,
         "showEffIntLabDose",
         M::ShowEffIntLabDoseBox,
         {80, 80, 200},
         Depth,
         P(&DepthProfile::effIntLabDose),
         "Eff. Int. Labor-Beta-Dosis",
         {kBlue, DashDotted},
         "Effektives Integral der Labor-Beta-Dosis [relativ]"},
        {&D::showEffIntRatio,
         "showEffIntRatio",
         M::ShowEffIntRatioBox,
         {100, 100, 100},
         Depth,
         P(&DepthProfile::effIntRatio),
         "Verhältnis",
         {kBlack, DashDotted},
         "Effektives Verhältnis Integral Labor-Dosis / Integral natürliche Dosisleistung"},
        {&D::showSignalAtDepth,
         "showSignalAtDepth",
         M::ShowSignalAtDepthBox,
         {255, 0, 255},
         Signal,
         S(&SignalCurves::signalAtDepth),
         "OSL-Signal homogene Dosis",
         {kVermillion, Solid},
         "OSL-Signal in der Kurventiefe [relativ]"},
        {&D::showTotalSignalHomogeneous,
         "showTotalSignalHomogeneous",
         M::ShowTotalSignalHomogeneousBox,
         {180, 0, 180},
         Signal,
         S(&SignalCurves::totalSignalHomogeneous),
         "Gesamt OSL-Signal homogene Dosis",
         {kBlack, Solid},
         "Summiertes OSL-Signal, homogene Dosis [relativ]"},
        {&D::showTotalSignalNat,
         "showTotalSignalNat",
         M::ShowTotalSignalNatBox,
         {180, 180, 0},
         Signal,
         S(&SignalCurves::totalSignalNat),
         "Gesamt OSL-Signal nat. DL",
         {kBluishGreen, Solid},
         "Summiertes OSL-Signal, natürliche Dosisleistung [relativ]"},
        {&D::showTotalSignalLab,
         "showTotalSignalLab",
         M::ShowTotalSignalLabBox,
         {0, 0, 255},
         Signal,
         S(&SignalCurves::totalSignalLab),
         "Gesamt OSL-Signal Labor-Dosis",
         {kBlue, Solid},
         "Summiertes OSL-Signal, Labor-Dosis [relativ]"},
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

// Ratios are numbered in legend order where several are shown.
constexpr bool IsRatioCurve(const CurveRow& row)
{
    return row.plot == PlotKind::Depth && kProfileArrays[std::size_t(row.array)].ratioOfLab != nullptr;
}

// Every curve shown, the automatic scales as given.
constexpr DisplayFlags AllCurvesShown(DisplayFlags flags = {})
{
    for (const CurveRow& row : kCurves)
        flags.*row.flag = true;
    return flags;
}

} // namespace tamrisk
