// SPDX-License-Identifier: GPL-3.0-or-later
// Drawing a scan map of 201 × 201 grid points, the t-Scan's full resolution,
// in each format at a journal's single column: the numbers are computed
// once beforehand, so only the figure is timed.
#include "plot/Figure.h"
#include "scan/ScanValues.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

tamrisk::FigureData Map201()
{
    using namespace tamrisk;
    ScanGrid grid;
    grid.extinction = {1.0f, 10000.0f, 200, true};
    grid.evalTime = {1.0f, 100000.0f, 200, true};
    const std::size_t n = 201;
    std::vector<float> ext(n), half(n), trans(n), time(n), lab(n * n), nat(n * n);
    std::vector<double> ratio(n * n);
    ComputeScanValues(grid, ModelParameters{}, 1,
                      {ext.data(), half.data(), trans.data(), time.data(), lab.data(), nat.data(), ratio.data()});
    FigureData data;
    data.xColumn = "eval_time_s";
    data.yColumn = "extinction_per_mm";
    data.zColumn = "eff_ratio";
    data.x.assign(time.begin(), time.end());
    data.y.assign(ext.begin(), ext.end());
    data.z = ratio;
    data.xLog = data.yLog = true;
    return data;
}

void BM_ScanMap201(benchmark::State& state)
{
    static const tamrisk::FigureData data = Map201();
    tamrisk::FigureOptions options;
    options.kind = tamrisk::PlotKind::Scan;
    options.format = tamrisk::FigureFormat(state.range(0));
    options.widthMm = tamrisk::kSingleColumnMm;
    options.dpi = 300.0;
    for (auto _ : state) {
        tamrisk::StringSink sink;
        tamrisk::WriteDataFigure(options, data, sink);
        benchmark::DoNotOptimize(sink.data().size());
    }
}
// 0 SVG, 1 PDF, 2 PNG at 300 dpi.
BENCHMARK(BM_ScanMap201)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

} // namespace
