// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/FigurePage.h"

namespace tamrisk {

// The colour of a map's value on its colour axis; grey for a value that is not finite.
PenColor MapColour(double value, const FigureAxis& colourAxis);

// A scan map: the values as coloured cells over the grid, a colour bar and
// labelled contour lines.
FigureFrame DrawMap(const Page& page, const FigureData& data, std::vector<std::string>& notes);

} // namespace tamrisk
