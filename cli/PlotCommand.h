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
#include <vector>

namespace CLI {
class App;
}

namespace tamrisk::cli {

// One call of `tamrisk-cli plot depth|signal|scan|sweep|fit -o FILE ...`.
struct FigureCommandRequest {
    FigureOptions figure;               // the plot (figure.kind) and how it is drawn
    std::string output;                 // the figure file; "-" is standard output
    std::optional<FigureFormat> format; // --format; otherwise the output's extension decides
    // scan and sweep
    std::vector<std::string> vary; // sweep: the two inputs varied, as sweep's --vary
    std::string column = "eff_ratio";
    std::string from; // a scan's or a sweep's table to read instead of computing
    std::vector<double> levels;
};

// The options of the plot command, for the option parser and its help. The
// window's inputs (--show, the edit texts, sliders, overrides) come on top.
struct PlotOptionRow {
    const char* name;
    const char* meaning;
    const char* defaultValue; // as the help shows it; "" for none
};

inline constexpr std::array<PlotOptionRow, 18> kPlotOptions{{
    {"kind",
     "the plot: depth, signal, scan (the t-Scan as a map), sweep (a family of curves) or fit (measured data, the "
     "fitted curve with its 95 % band and the residuals; with the options of fit)",
     ""},
    {"-o,--output", "the figure file (.svg, .pdf or .png); - writes to standard output", ""},
    {"--format", "svg, pdf or png, whatever the file's extension", "the output's extension"},
    {"--width", "width in mm, or single (85 mm) or double (170 mm), a journal's column widths", "160"},
    {"--height", "height in mm", "150 for depth, 130 for scan, 100 for signal and sweep"},
    {"--dpi", "resolution of a PNG in dots per inch", "300"},
    {"--font-size", "font size in pt", "9"},
    {"--title", "a title above the plot", ""},
    {"--language", "en or de: English labels, or the window's German texts", "en"},
    {"--log-values", "logarithmic value axis; values of 0 or below are left out", "off"},
    {"--log-time", "logarithmic time axis of the signal plot (of a fit: its horizontal axis); time 0 is left out",
     "off"},
    {"--style",
     "print: colour-blind-safe pens told apart by line style too, axes ending on round numbers; window: the "
     "window's pens on the window's axis ranges",
     "print"},
    {"--legend", "auto, inside, right, below or none",
     "auto: inside where it covers no curve, otherwise below, or beside where below would take over a third"},
    {"--vary",
     "sweep: an input to vary, as sweep takes it, twice: the first along the horizontal axis, the second one "
     "curve per value",
     ""},
    {"--column", "scan and sweep: the table's column drawn", "eff_ratio"},
    {"--from", "scan and sweep: read the numbers from a scan's or a sweep's CSV or TSV table instead", ""},
    {"--levels", "scan: the values of the contour lines, comma-separated", "round numbers"},
    {"--threads", "scan and sweep: threads computing the numbers", "as many as the process may use"},
}};

// The option texts before they are checked.
struct PlotOptionTexts {
    std::string kind;
    std::string format;
    std::string language = "en";
    std::string width;
    std::string style = "print";
    std::string legend = "auto";
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
// The same for a scan map or a sweep family from its numbers.
int DrawDataPlot(const FigureCommandRequest& request, const FigureData& data, OutputWriter& writer, std::ostream& err,
                 DrawFigureFunction draw, std::string& bytes);
// The same for a fit's figure.
int DrawFitPlot(const FigureCommandRequest& request, const FitFigureData& fit, OutputWriter& writer, std::ostream& err,
                DrawFigureFunction draw, std::string& bytes);

} // namespace tamrisk::cli
