#include "plot/FigureOptions.h"

#include <cctype>
#include <string>

namespace tamrisk {

namespace {

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

} // namespace tamrisk
