// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/DepthProfile.h"
#include "model/ModelParameters.h"
#include "output/ByteSink.h"

namespace tamrisk {

// The profile export file: ten parameter lines, the title line and one row of
// 14 cells per depth sample, cp1252, LF line ends, one NUL after every piece.
void WriteProfileExport(ByteSink& sink, const ModelParameters& params, const DepthProfile& profile);

} // namespace tamrisk
