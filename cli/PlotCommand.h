// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/ModuleDrawing.h"
#include "cli/OutputWriter.h"
#include "plot/FigureOptions.h"
#include "plot/Recompute.h"

#include <array>
#include <iosfwd>
#include <optional>
#include <string>

namespace CLI {
class App;
}

namespace tamrisk::cli {

// One call of `tamrisk-cli plot depth|signal|fit -o FILE ...`.
struct FigureCommandRequest {
    FigureOptions figure;               // the plot (figure.kind) and how it is drawn
    bool fit = false;                   // the figure of a fit (drawn on the depth plot's page size)
    std::string output;                 // the figure file; "-" is standard output
    std::optional<FigureFormat> format; // --format; otherwise the output's extension decides
};

// The options of the plot command, for the option parser and its help. The
// window's inputs (--show, the edit texts, sliders, overrides) come on top.
struct PlotOptionRow {
    const char* name;
    const char* meaning;
    const char* defaultValue; // as the help shows it; "" for none
};

inline constexpr std::array<PlotOptionRow, 11> kPlotOptions{{
    {"kind", "the plot: depth, signal, or fit (the data, the fitted curve with its 95 % band and the residuals)", ""},
    {"-o,--output", "the figure file (.svg, .pdf or .png); - writes to standard output", ""},
    {"--format", "svg, pdf or png, whatever the file's extension", "the output's extension"},
    {"--width", "width in mm", "160"},
    {"--height", "height in mm", "150 for depth, 100 for signal"},
    {"--dpi", "resolution of a PNG in dots per inch", "300"},
    {"--font-size", "font size in pt", "9"},
    {"--title", "a title above the plot", ""},
    {"--language", "en or de: English labels, or the window's German texts", "en"},
    {"--log-values", "logarithmic value axis; values of 0 or below are left out", "off"},
    {"--log-time", "logarithmic time axis of the signal plot (of the fit: its horizontal axis); time 0 is left out",
     "off"},
}};

// The option texts before they are checked.
struct PlotOptionTexts {
    std::string kind;
    std::string format;
    std::string language = "en";
};

// Registers the options of kPlotOptions on the plot command.
void AddPlotOptions(CLI::App& command, FigureCommandRequest& request, PlotOptionTexts& texts);
// Moves the checked texts into the request; the reason when one is refused.
std::optional<std::string> ApplyPlotOptions(const PlotOptionTexts& texts, FigureCommandRequest& request);

// Writes the figure of `state`, which holds the window's recomputation for
// the command's inputs (automatic maxima in place), to the output. Nothing
// is written unless the whole figure could be drawn. Notes and failures go
// to err; the result is the process's exit code. Draws with `draw`, or with
// the figure module when it is nullptr.
int RunPlot(const FigureCommandRequest& request, const ModelState& state, std::ostream& err,
            DrawFigureFunction draw = nullptr);
// The drawing alone: the figure's bytes in `bytes`, or an exit code other
// than 0 after a message on err. An interrupt stops the drawing; writer
// then says so (128 + N).
int DrawPlot(const FigureCommandRequest& request, const ModelState& state, OutputWriter& writer, std::ostream& err,
             DrawFigureFunction draw, std::string& bytes);
// The same for the figure of a fit.
int DrawFitPlot(const FigureCommandRequest& request, const FitFigureData& fit, OutputWriter& writer, std::ostream& err,
                DrawFigureFunction draw, std::string& bytes);

} // namespace tamrisk::cli
