// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/ComputeModel.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tamrisk::testing {

inline DisplayFlags AllSignalFlags() { return CurvesOf(PlotKind::Signal); }

// Parameters with the dialog's start values and their derived fields.
inline ModelParameters DefaultParameters()
{
    ModelParameters params;
    DeriveFromExtinction(params);
    return params;
}

} // namespace tamrisk::testing
