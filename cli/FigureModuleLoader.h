// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/ModuleDrawing.h"

#include <string>

namespace tamrisk::cli {

// The figure module's draw function, loaded from beside the executable or
// from the installed library folder; nullptr with the reason in `problem`
// when it cannot be loaded.
DrawFigureFunction LoadFigureModule(std::string& problem);

} // namespace tamrisk::cli
