// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/FigureOptions.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <utility>
#include <string>

namespace tamrisk {

namespace {

constexpr double kMaxSizeMm = 2000.0;
constexpr double kMaxPngSide = 20000.0; // pixels; cairo's own limit is 32767

std::string Lower(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

} // namespace

std::optional<FigureFormat> FigureFormatFromName(std::string_view name)
{
    const std::string lower = Lower(name);
    if (lower == "svg")
        return FigureFormat::Svg;
    if (lower == "pdf")
        return FigureFormat::Pdf;
    if (lower == "png")
        return FigureFormat::Png;
    return std::nullopt;
}

std::optional<FigureFormat> FigureFormatFromPath(std::string_view path)
{
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = path.find_last_of("/\\");
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return std::nullopt;
    return FigureFormatFromName(path.substr(dot + 1));
}

std::optional<Language> LanguageFromName(std::string_view name)
{
    const std::string lower = Lower(name);
    if (lower == "en")
        return Language::En;
    if (lower == "de")
        return Language::De;
    return std::nullopt;
}

std::optional<FigureStyle> StyleFromName(std::string_view name)
{
    const std::string lower = Lower(name);
    if (lower == "print")
        return FigureStyle::Print;
    if (lower == "window")
        return FigureStyle::Window;
    return std::nullopt;
}

std::optional<LegendPlace> LegendFromName(std::string_view name)
{
    static constexpr std::pair<std::string_view, LegendPlace> kPlaces[]{{"auto", LegendPlace::Auto},
                                                                        {"inside", LegendPlace::Inside},
                                                                        {"right", LegendPlace::Right},
                                                                        {"below", LegendPlace::Below},
                                                                        {"none", LegendPlace::None}};
    const std::string lower = Lower(name);
    for (const auto& [text, place] : kPlaces)
        if (lower == text)
            return place;
    return std::nullopt;
}

std::optional<double> WidthFromText(std::string_view text)
{
    const std::string lower = Lower(text);
    if (lower == "single")
        return kSingleColumnMm;
    if (lower == "double")
        return kDoubleColumnMm;
    if (lower.empty())
        return std::nullopt;
    char* end = nullptr;
    const double mm = std::strtod(lower.c_str(), &end);
    if (end != lower.c_str() + lower.size() || !std::isfinite(mm))
        return std::nullopt;
    return mm;
}

std::optional<std::string> CheckFigureOptions(const FigureOptions& o)
{
    const double height = o.heightMm == 0.0 ? DefaultFigureHeightMm(o.kind) : o.heightMm;
    if (!(o.widthMm >= 20.0 && o.widthMm <= kMaxSizeMm) || !(height >= 20.0 && height <= kMaxSizeMm))
        return "width and height must lie between 20 and 2000 mm";
    if (!(o.fontSize >= 3.0 && o.fontSize <= 72.0))
        return "the font size must lie between 3 and 72 pt";
    if (o.format == FigureFormat::Png) {
        if (!(o.dpi >= 10.0 && o.dpi <= 2400.0))
            return "the resolution must lie between 10 and 2400 dpi";
        if (std::max(o.widthMm, height) / 25.4 * o.dpi > kMaxPngSide)
            return "the picture would be wider or higher than 20000 pixels";
    }
    return std::nullopt;
}

} // namespace tamrisk
