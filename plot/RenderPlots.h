// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/DepthProfile.h"
#include "model/ModelParameters.h"
#include "model/SignalCurves.h"
#include "plot/Raster.h"

#include <optional>
#include <string>

namespace tamrisk {

inline constexpr Color kPlotBackground = Rgb(212, 208, 200);

struct PlotPictures {
    Raster depth{500, 500};
    Raster signal{500, 250};
};

// The read-out texts that a rendering writes; the read-out table ties each to
// its label. The automatic maxima are only written while their "Automatisch"
// flag is set.
struct PlotReadouts {
    std::optional<std::string> depthAutoMax;
    std::optional<std::string> signalAutoMax;
    std::string effLabTotal;
    std::string effNatTotal;
    std::string effRatio;
};

// Draws both pictures anew. Under automatic scaling plotMax and intensityMax
// are replaced by the maxima of the shown curves.
PlotReadouts RenderPlots(ModelParameters& params, const DisplayFlags& flags, const DepthProfile& profile,
                         const SignalCurves& curves, PlotPictures& pictures);

// What RenderPlots does to the parameters and the read-outs, without the
// pictures: for programs that need the numbers only.
PlotReadouts ScalePlots(ModelParameters& params, const DisplayFlags& flags, const DepthProfile& profile,
                        const SignalCurves& curves);

} // namespace tamrisk
