// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/Figure.h"
#include "plot/FitFigureData.h"

#include <string>
#include <vector>

namespace tamrisk {

// Draws a fit as a figure in the style of the other figures: the data with
// error bars, each fitted curve with its 95 % band, and a panel of the
// normalised residuals below, sharing the horizontal axis (logarithmic with
// options.logTime, the value axis with options.logValues). Throws as
// WriteFigure does.
void WriteFitFigure(const FigureOptions& options, const FitFigureData& data, ByteSink& sink,
                    std::vector<std::string>* notes = nullptr, const FigureStopCheck& stop = {});

} // namespace tamrisk
