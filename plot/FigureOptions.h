// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/CurveTable.h"

#include <optional>
#include <string>
#include <string_view>

namespace tamrisk {

enum class FigureFormat { Svg, Pdf, Png };
enum class Language { En, De };
// Print: the colour-blind-safe palette with line styles and axes ending on
// round numbers; Window: the window's pens on the window's axis ranges.
enum class FigureStyle { Print, Window };
enum class LegendPlace { Auto, Inside, Right, Below, None };

// Journal column widths, mm.
inline constexpr double kSingleColumnMm = 85.0;
inline constexpr double kDoubleColumnMm = 170.0;

// How one figure of a plot is drawn. Sizes are in mm for every format; a PNG
// has widthMm / 25.4 * dpi pixels across.
struct FigureOptions {
    PlotKind kind = PlotKind::Depth;
    FigureFormat format = FigureFormat::Svg;
    double widthMm = 160.0;
    double heightMm = 0.0; // 0: the plot's own default, DefaultFigureHeightMm
    double dpi = 300.0;
    double fontSize = 9.0; // pt
    std::string title;     // UTF-8; empty: no title
    Language language = Language::En;
    bool logValues = false;
    bool logTime = false; // signal plot only
    FigureStyle style = FigureStyle::Print;
    LegendPlace legend = LegendPlace::Auto;
};

// Heights that keep the window's proportions of plot area and margins.
constexpr double DefaultFigureHeightMm(PlotKind kind)
{
    switch (kind) {
    case PlotKind::Depth:
    case PlotKind::Fit:
        return 150.0;
    case PlotKind::Scan:
        return 130.0;
    default:
        return 100.0;
    }
}

// ".svg", ".pdf" or ".png" at the end of a path, in any letter case.
std::optional<FigureFormat> FigureFormatFromPath(std::string_view path);
// "svg", "pdf" or "png".
std::optional<FigureFormat> FigureFormatFromName(std::string_view name);
std::optional<Language> LanguageFromName(std::string_view name);
std::optional<FigureStyle> StyleFromName(std::string_view name);
std::optional<LegendPlace> LegendFromName(std::string_view name);
// "single", "double" or a number of millimetres.
std::optional<double> WidthFromText(std::string_view text);

// Why a figure of these options cannot be made, or nothing.
std::optional<std::string> CheckFigureOptions(const FigureOptions& options);

} // namespace tamrisk
