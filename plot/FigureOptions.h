// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/CurveTable.h"

#include <optional>
#include <string>
#include <string_view>

namespace tamrisk {

enum class FigureFormat { Svg, Pdf, Png };
enum class Language { En, De };

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
};

// Heights that keep the window's proportions of plot area and margins.
constexpr double DefaultFigureHeightMm(PlotKind kind) { return kind == PlotKind::Depth ? 150.0 : 100.0; }

// ".svg", ".pdf" or ".png" at the end of a path, in any letter case.
std::optional<FigureFormat> FigureFormatFromPath(std::string_view path);
// "svg", "pdf" or "png".
std::optional<FigureFormat> FigureFormatFromName(std::string_view name);
std::optional<Language> LanguageFromName(std::string_view name);

// Why a figure of these options cannot be made, or nothing.
std::optional<std::string> CheckFigureOptions(const FigureOptions& options);

} // namespace tamrisk
