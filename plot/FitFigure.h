// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/FigurePage.h"
#include "plot/FitFigureData.h"

#include <string>
#include <vector>

namespace tamrisk {

// The figure of a fit: the data with error bars, each fitted curve with its
// 95 % band, and a panel of the normalised residuals below, sharing the
// horizontal axis (logarithmic with options.logTime, the value axis with
// options.logValues); one print colour per data set.
FigureFrame DrawFit(const Page& page, const FitFigureData& data, std::vector<std::string>& notes);

} // namespace tamrisk
