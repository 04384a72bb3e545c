// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/DepthProfile.h"
#include "model/ModelParameters.h"
#include "model/SignalCurves.h"
#include "plot/FigureOptions.h"

#include <string>
#include <vector>

namespace tamrisk {

// A figure drawn in memory by the figure module: its bytes and notes, or why
// it could not be drawn.
struct FigureDrawing {
    std::string bytes;
    std::vector<std::string> notes;
    std::string error; // empty when the figure was drawn
};

// The figure module (a shared object beside the command-line tool) exports
// one function of this type under kDrawFigureSymbol. It draws like
// WriteFigure and throws nothing: a failure comes back in drawing.error.
using DrawFigureFunction = void (*)(const FigureOptions& options, const ModelParameters& params,
                                    const DisplayFlags& flags, const DepthProfile& profile, const SignalCurves& curves,
                                    FigureDrawing& drawing);

inline constexpr char kFigureModuleFile[] = "tamrisk-figures.so";
inline constexpr char kDrawFigureSymbol[] = "tamrisk_draw_figure";

} // namespace tamrisk

// Defined in the module only: a program that links the figures can call it
// directly instead of loading the module.
extern "C" void tamrisk_draw_figure(const tamrisk::FigureOptions& options, const tamrisk::ModelParameters& params,
                                    const tamrisk::DisplayFlags& flags, const tamrisk::DepthProfile& profile,
                                    const tamrisk::SignalCurves& curves, tamrisk::FigureDrawing& drawing);
