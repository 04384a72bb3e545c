// SPDX-License-Identifier: GPL-3.0-or-later
#include "VectorExpFloor.h"
#include "model/CurveTable.h"
#include "plot/Recompute.h"

#include <benchmark/benchmark.h>

namespace tamrisk {
namespace {

ControlState EverythingShown()
{
    ControlState controls;
    controls.flags = AllCurvesShown();
    return controls;
}

void BM_RenderPlotsAllCurves(benchmark::State& state)
{
    ModelState model;
    Recompute(EverythingShown(), model);
    for (auto _ : state) {
        PlotReadouts out = RenderPlots(model.params, model.flags, model.profile, model.curves, model.pictures);
        benchmark::DoNotOptimize(out);
        benchmark::DoNotOptimize(model.pictures.depth.pixels().data());
    }
}
BENCHMARK(BM_RenderPlotsAllCurves)->Unit(benchmark::kMicrosecond);

// One slider step with everything shown (curveStep 10): model and both pictures.
void BM_FullSliderStep(benchmark::State& state)
{
    ModelState model;
    ReadParameters(EverythingShown(), model.params, model.flags);
    // Its exponentials: three per depth sample, the single curve's, and one
    // per sampled depth and time of the summed curves (plus each depth's own).
    const ModelParameters& p = model.params;
    const double sampled = double(p.depthPoints / p.curveStep);
    const double exps = 3.0 * p.depthPoints + (1.0 + p.timePoints) + sampled * (1.0 + p.timePoints);
    bench::RunBesideFloor(state, exps, [&] {
        ComputeModel(model.params, model.flags, model.profile, model.curves);
        PlotReadouts out = RenderPlots(model.params, model.flags, model.profile, model.curves, model.pictures);
        benchmark::DoNotOptimize(out);
    });
}
BENCHMARK(BM_FullSliderStep)->Unit(benchmark::kMicrosecond);

// A segment from -10^9 to 10^9 across the picture: costs only its visible part.
void BM_ClippedFarLine(benchmark::State& state)
{
    Raster picture(500, 500);
    for (auto _ : state) {
        picture.MoveTo(-1000000000, -300000000);
        picture.LineTo(1000000000, 300000007);
        benchmark::DoNotOptimize(picture.pixels().data());
    }
}
BENCHMARK(BM_ClippedFarLine);

} // namespace
} // namespace tamrisk
