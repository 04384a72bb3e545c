// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/CurveTable.h"

namespace tamrisk {

// The viridis colour map, perceptually uniform and readable in colour-blind
// vision and in greyscale: dark blue at 0 to yellow at 1. Values outside are
// held to the ends.
PenColor Viridis(double fraction);

} // namespace tamrisk
